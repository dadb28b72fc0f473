#include "plugin/Hosts.h"

#include <cctype>
#include <cstring>

#include "kit/KIT_HeapBuf.h"

struct HostKey {
  const char* mKey;
  EHost mHost;
};

// Tested in this order: "live" must win over "logic", "digital" and
// "standalone" in names that contain several keys.
static const HostKey kHostKeys[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

EHost LookUpHost(const char* name) {
  if (!name) return kHostUnknown;
  const int length = static_cast<int>(std::strlen(name));
  KIT_HeapBuf lower;
  if (!lower.Resize(length + 1)) return kHostUnknown;
  char* text = static_cast<char*>(lower.Get());
  for (int i = 0; i < length; ++i)
    text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  text[length] = 0;
  for (const HostKey& key : kHostKeys)
    if (std::strstr(text, key.mKey)) return key.mHost;
  return kHostUnknown;
}

static const char* HostName(EHost host) {
  switch (host) {
    case kHostReaper: return "Reaper";
    case kHostProTools: return "ProTools";
    case kHostCubase: return "Cubase";
    case kHostNuendo: return "Nuendo";
    case kHostSonar: return "Sonar";
    case kHostVegas: return "Vegas";
    case kHostFL: return "FLStudio";
    case kHostSamplitude: return "Samplitude";
    case kHostAbletonLive: return "Live";
    case kHostVSTScanner: return "VSTScanner";
    case kHostAULab: return "AULab";
    case kHostForte: return "Forte";
    case kHostChainer: return "Chainer";
    case kHostAudition: return "Audition";
    case kHostOrion: return "Orion";
    case kHostSAWStudio: return "SAWStudio";
    case kHostLogic: return "Logic";
    case kHostGarageBand: return "GarageBand";
    case kHostDigitalPerformer: return "DigitalPerformer";
    case kHostStandalone: return "Standalone";
    case kHostAudioMulch: return "AudioMulch";
    case kHostStudioOne: return "StudioOne";
    case kHostVST3TestHost: return "VST3PluginTestHost";
    case kHostArdour: return "Ardour";
    default: return "Unknown";
  }
}

void GetHostNameStr(EHost host, char* out) { std::strcpy(out, HostName(host)); }
