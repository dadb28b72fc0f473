// tonnik info: the instrument as a host reads it, through its properties.

#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "Instrument.h"

namespace {

std::string fourCC(OSType code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
  return text;
}

std::string unitText(const AUHostParamInfo& info) {
  switch (info.unit) {
    case kAudioUnitParameterUnit_Generic:
      return "generic";
    case kAudioUnitParameterUnit_Indexed:
      return "indexed";
    case kAudioUnitParameterUnit_Boolean:
      return "boolean";
    case kAudioUnitParameterUnit_CustomUnit:
      return "\"" + info.unitName + "\"";
    default:
      return "unit " + std::to_string(info.unit);
  }
}

void printIdentity(AUHost& host) {
  const ComponentDescription cd = InstrumentDescription();
  SInt32 version = 0;
  host.GetVersion(&version);
  double latency = 0, tail = 0;
  host.GetLatencySeconds(&latency);
  host.GetTailSeconds(&tail);
  std::printf("%s\n", InstrumentName());
  std::printf("  component   type '%s', subtype '%s', manufacturer '%s'\n", fourCC(cd.componentType).c_str(),
              fourCC(cd.componentSubType).c_str(), fourCC(cd.componentManufacturer).c_str());
  std::printf("  version     %d.%d.%d (0x%08X)\n", (int)(version >> 16), (int)((version >> 8) & 0xFF),
              (int)(version & 0xFF), (unsigned)version);
  std::printf("  latency     %g s, tail %g s\n", latency, tail);
}

void printBuses(AUHost& host) {
  UInt32 inputs = 0, outputs = 0;
  host.GetElementCount(kAudioUnitScope_Input, &inputs);
  host.GetElementCount(kAudioUnitScope_Output, &outputs);
  std::printf("  buses       %u in, %u out", inputs, outputs);
  for (UInt32 bus = 0; bus < outputs; ++bus) {
    std::string name;
    if (host.GetOutputName(bus, &name) == noErr) std::printf(" \"%s\"", name.c_str());
  }
  std::printf("\n  channels   ");
  std::vector<AUChannelInfo> configs;
  host.GetSupportedChannels(&configs);
  for (const AUChannelInfo& c : configs) std::printf(" %d-%d", c.inChannels, c.outChannels);
  std::printf("   (inputs-outputs)\n");
}

void printParameters(AUHost& host) {
  std::vector<AudioUnitParameterID> ids;
  host.GetParameterList(&ids);
  std::printf("parameters (%zu)\n", ids.size());
  std::printf("  %3s  %-11s %-9s %8s %8s %8s  %-10s %s\n", "id", "name", "unit", "min", "max", "default",
              "shows", "texts");
  for (AudioUnitParameterID id : ids) {
    AUHostParamInfo info;
    if (host.GetParameterInfo(id, &info) != noErr) {
      std::printf("  %3u  (no information)\n", id);
      continue;
    }
    std::string shows;
    host.GetParameterDisplay(id, &info.defaultValue, &shows);
    std::vector<std::string> texts;
    host.GetParameterValueStrings(id, &texts);
    std::string textList;
    for (const std::string& t : texts) textList += (textList.empty() ? "" : ", ") + t;
    std::printf("  %3u  %-11s %-9s %8g %8g %8g  %-10s %s\n", id, info.name.c_str(), unitText(info).c_str(),
                (double)info.minValue, (double)info.maxValue, (double)info.defaultValue, shows.c_str(),
                textList.c_str());
  }
}

void printPresets(AUHost& host) {
  std::vector<AUHostPreset> presets;
  host.GetFactoryPresets(&presets);
  AUHostPreset current = {-1, ""};
  host.GetCurrentPreset(&current);
  std::printf("factory presets (%zu)\n", presets.size());
  for (const AUHostPreset& p : presets)
    std::printf("  %3d  %s%s\n", (int)p.number, p.name.c_str(), p.number == current.number ? "  (current)" : "");
}

}  // namespace

int runInfo(int argc, const char* const* argv) {
  if (argc > 2) {
    if (std::string(argv[2]) == "--help" || std::string(argv[2]) == "-h") {
      std::printf("Usage: tonnik info\nDescribes the instrument as a host reads it through its properties.\n");
      return 0;
    }
    std::fprintf(stderr, "tonnik info: unexpected argument '%s'\n", argv[2]);
    return kExitUsage;
  }
  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) {
    std::fprintf(stderr, "tonnik info: the instrument could not be opened\n");
    return kExitFailure;
  }
  printIdentity(host);
  printBuses(host);
  printParameters(host);
  printPresets(host);
  return 0;
}
