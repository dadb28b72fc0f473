#include "PluginTurtle.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2PortSymbol.h"
#include "lv2/LV2Product.h"

namespace {

const char kPrefixes[] =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix log:   <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi:  <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "\n";

const char kEditorSuffix[] = "#ui";
const char kProjectSuffix[] = "#project";
const char kPresetInfix[] = "#preset-";
const char kGeneratedNote[] = "# Generated from the plug-in's parameter table by gen_lv2; do not edit.\n\n";

// Units the LV2 units vocabulary names, by parameter label.
struct KnownUnit {
  const char* label;
  const char* unit;
};
const KnownUnit kKnownUnits[] = {
    {"s", "units:s"}, {"ms", "units:ms"}, {"Hz", "units:hz"}, {"dB", "units:db"}, {"%", "units:pc"},
};

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    out += *p;
  }
  return out + "\"";
}

// A Turtle decimal (or double) that reads back as exactly v: the shortest
// such text, with a decimal point so hosts take it as a float, not an int.
std::string Number(double v) {
  char text[64] = {};
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    std::snprintf(text, sizeof text, "%.1f", v == 0.0 ? 0.0 : v);
    return text;
  }
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    if (std::strtod(text, nullptr) == v) break;
  }
  std::string s = text;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string Symbol(const char* name) {
  char symbol[IParam::kTextLen + 1];
  LV2PortSymbol(name, symbol, sizeof symbol);
  return symbol;
}

std::string Uri(const char* uri) { return std::string("<") + uri + ">"; }

std::string ControlPort(IPluginLV2* plug, int idx) {
  IParam* param = plug->GetParam(idx);
  double lo = 0.0, hi = 0.0;
  param->GetBounds(&lo, &hi);
  const IParam::EParamKind kind = param->Type();
  const bool toggled = kind == IParam::kKindBool;
  const bool integral = kind == IParam::kKindInt || kind == IParam::kKindEnum;
  const bool enumerated = integral && param->GetNDisplayTexts() > 0;

  std::string t = "    [\n        a lv2:InputPort , lv2:ControlPort ;\n";
  t += "        lv2:index " + std::to_string(idx) + " ;\n";
  t += "        lv2:symbol " + Quoted(Symbol(param->GetNameForHost()).c_str()) + " ;\n";
  t += "        lv2:name " + Quoted(param->GetNameForHost()) + " ;\n";
  t += "        lv2:default " + Number(param->GetDefault()) + " ;\n";
  t += "        lv2:minimum " + Number(lo) + " ;\n";
  t += "        lv2:maximum " + Number(hi);
  if (toggled) t += " ;\n        lv2:portProperty lv2:toggled";
  if (integral) t += " ;\n        lv2:portProperty lv2:integer";
  if (enumerated) {
    t += " ;\n        lv2:portProperty lv2:enumeration ;\n        lv2:scalePoint";
    for (int i = 0; i < param->GetNDisplayTexts(); ++i) {
      int value = 0;
      const char* text = param->GetDisplayTextAtIdx(i, &value);
      t += std::string(i ? " ,\n            " : " ") + "[ rdfs:label " + Quoted(text) + " ; rdf:value " + Number(value) + " ]";
    }
  }
  const char* label = param->GetLabelForHost();
  if (label && *label && !toggled && !enumerated) {
    std::string unit;
    for (const KnownUnit& known : kKnownUnits)
      if (std::string(label) == known.label) unit = known.unit;
    if (unit.empty())
      unit = "[ a units:Unit ; rdfs:label " + Quoted(label) + " ; units:symbol " + Quoted(label) +
             " ; units:render " + Quoted((std::string("%f ") + label).c_str()) + " ]";
    t += " ;\n        units:unit " + unit;
  }
  return t + "\n    ]";
}

std::string MidiPort(IPluginLV2* plug) {
  return "    [\n"
         "        a lv2:InputPort , atom:AtomPort ;\n"
         "        atom:bufferType atom:Sequence ;\n"
         "        atom:supports midi:MidiEvent ;\n"
         "        lv2:designation lv2:control ;\n"
         "        lv2:index " +
         std::to_string(plug->MidiInPort()) +
         " ;\n"
         "        lv2:symbol \"midi_in\" ;\n"
         "        lv2:name \"MIDI In\"\n"
         "    ]";
}

std::string AudioPort(IPluginLV2* plug, int channel) {
  const std::string n = std::to_string(channel + 1);
  return "    [\n        a lv2:OutputPort , lv2:AudioPort ;\n        lv2:index " +
         std::to_string(plug->AudioOutPort(channel)) + " ;\n        lv2:symbol \"out_" + n +
         "\" ;\n        lv2:name \"Out " + n + "\"\n    ]";
}

std::string PluginClasses(IPluginLV2* plug) {
  return plug->IsInst() ? "lv2:Plugin , lv2:InstrumentPlugin" : "lv2:Plugin";
}

}  // namespace

std::string PresetURI(IPluginLV2* plug, const IPluginLV2Product& product, int idx) {
  return std::string(product.mURI) + kPresetInfix + Symbol(plug->GetPresetName(idx));
}

std::string ManifestTurtle(IPluginLV2* plug, const IPluginLV2Product& product, const BundleFiles& files) {
  std::string t = kGeneratedNote;
  t += kPrefixes;
  t += Uri(product.mURI) + "\n    a " + PluginClasses(plug) + " ;\n    lv2:binary <" + files.binary +
       "> ;\n    rdfs:seeAlso <" + files.turtle + "> .\n";
  for (int i = 0; i < plug->NPresets(); ++i)
    t += "\n" + Uri(PresetURI(plug, product, i).c_str()) + "\n    a pset:Preset ;\n    lv2:appliesTo " +
         Uri(product.mURI) + " ;\n    rdfs:label " + Quoted(plug->GetPresetName(i)) + " ;\n    rdfs:seeAlso <" +
         files.presets + "> .\n";
  if (!files.uiBinary.empty())
    t += "\n" + Uri((std::string(product.mURI) + kEditorSuffix).c_str()) + "\n    a ui:X11UI ;\n    ui:binary <" +
         files.uiBinary +
         "> ;\n    lv2:requiredFeature ui:parent , ui:idleInterface , <http://lv2plug.in/ns/ext/instance-access> ;"
         "\n    lv2:optionalFeature ui:resize , ui:touch , opts:options ;"
         "\n    lv2:extensionData ui:idleInterface , opts:interface ;\n    opts:supportedOption ui:scaleFactor ;"
         "\n    rdfs:seeAlso <" + files.turtle + "> .\n";
  return t;
}

std::string PluginTurtle(IPluginLV2* plug, const IPluginLV2Product& product, const BundleFiles& files) {
  int major = 0, minor = 0, patch = 0;
  GetVersionParts(plug->GetEffectVersion(false), &major, &minor, &patch);
  char version[32];
  std::snprintf(version, sizeof version, "%d.%d.%d", major, minor, patch);
  const std::string projectURI = std::string(product.mURI) + kProjectSuffix;

  std::string t = kGeneratedNote;
  t += kPrefixes;
  t += Uri(product.mURI) + "\n    a " + PluginClasses(plug) + " ;\n";
  t += "    doap:name " + Quoted(plug->GetEffectName()) + " ;\n";
  t += "    lv2:project " + Uri(projectURI.c_str()) + " ;\n";
  t += "    lv2:minorVersion " + std::to_string(minor) + " ;\n";
  t += "    lv2:microVersion " + std::to_string(patch) + " ;\n";
  t += "    lv2:requiredFeature urid:map ;\n";
  // run() never allocates, blocks or does I/O (the adapter's promise).
  t += "    lv2:optionalFeature lv2:hardRTCapable , log:log , opts:options ;\n";
  t += "    opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n";
  if (plug->DoesStateChunks()) t += "    lv2:extensionData state:interface ;\n";
  if (!files.uiBinary.empty()) t += "    ui:ui " + Uri((std::string(product.mURI) + kEditorSuffix).c_str()) + " ;\n";
  t += "    lv2:port\n";
  for (int i = 0; i < plug->NControlPorts(); ++i) t += ControlPort(plug, i) + " ,\n";
  t += MidiPort(plug);
  for (int c = 0; c < plug->NOutChannels(); ++c) t += " ,\n" + AudioPort(plug, c);
  t += " .\n\n";
  // The maker and the release belong to the project the plug-in is part of.
  t += Uri(projectURI.c_str()) + "\n    a doap:Project ;\n    doap:name " + Quoted(plug->GetEffectName()) +
       " ;\n    doap:maintainer [ a foaf:Person ; foaf:name " + Quoted(plug->GetMfrName()) +
       " ] ;\n    doap:release [ a doap:Version ; doap:revision " + Quoted(version) + " ] .\n";
  return t;
}

std::string PresetsTurtle(IPluginLV2* plug, const IPluginLV2Product& product) {
  std::string t = kGeneratedNote;
  t += kPrefixes;
  for (int i = 0; i < plug->NPresets(); ++i) {
    plug->RestorePreset(i);
    t += Uri(PresetURI(plug, product, i).c_str()) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri(product.mURI) +
         " ;\n    rdfs:label " + Quoted(plug->GetPresetName(i)) + " ;\n    lv2:port";
    for (int p = 0; p < plug->NControlPorts(); ++p) {
      IParam* param = plug->GetParam(p);
      t += std::string(p ? " ,\n        " : " ") + "[ lv2:symbol " + Quoted(Symbol(param->GetNameForHost()).c_str()) +
           " ; pset:value " + Number(param->Value()) + " ]";
    }
    t += " .\n\n";
  }
  return t;
}
