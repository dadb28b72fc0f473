// The LV2 bundle loaded through lilv as a host loads it: what it declares,
// what it plays compared with the same events through the Audio Unit, how
// parameters, state and the factory preset travel.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "lv2/LilvRig.h"
#include "lv2/midi/midi.h"
#include "lv2/presets/presets.h"
#include "lv2/units/units.h"
#include "tonnik/Tonnik.h"
#include "tonnik/TonnikEntry.h"

namespace {

const int kBlock = 512;

ComponentDescription TonnikDescription() {
  return ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
}

std::string NodeText(const LilvNode* node) { return node ? lilv_node_as_string(node) : ""; }

bool PortHas(const LilvPort* port, const char* propertyURI) {
  return lilv_port_has_property(LilvBundle::Get().Plugin(), port, LilvBundle::Get().Uri(propertyURI));
}

// One event of a scripted performance: at block, frame, either a MIDI
// message or a parameter set.
struct Step {
  int block;
  int frame;
  uint8_t status, data1, data2;  // status 0: a parameter set
  int param;
  float value;
};

Step Note(int block, int frame, int note, int velocity) { return {block, frame, 0x90, (uint8_t)note, (uint8_t)velocity, 0, 0}; }
Step Cc(int block, int frame, int cc, int value) { return {block, frame, 0xB0, (uint8_t)cc, (uint8_t)value, 0, 0}; }
Step Param(int block, int param, float value) { return {block, 0, 0, 0, 0, param, value}; }

struct Render {
  std::vector<float> left, right;
};

// The performance through the Audio Unit: parameters set and MIDI sent
// before each block's render call.
Render ThroughAudioUnit(const std::vector<Step>& steps, int blocks) {
  AUHost host(Tonnik_Entry, TonnikDescription());
  Render r;
  if (host.Open() != noErr || host.Prepare(48000.0, kBlock, 2) != noErr) return r;
  std::vector<float> left(kBlock), right(kBlock);
  for (int b = 0; b < blocks; ++b) {
    for (const Step& s : steps) {
      if (s.block != b) continue;
      if (s.status == 0)
        host.SetParameter((AudioUnitParameterID)s.param, s.value);
      else
        host.SendMidi(s.status, s.data1, s.data2, (UInt32)s.frame);
    }
    float* out[2] = {left.data(), right.data()};
    host.Render(kBlock, out, 2);
    r.left.insert(r.left.end(), left.begin(), left.end());
    r.right.insert(r.right.end(), right.begin(), right.end());
  }
  return r;
}

// The same performance through the LV2 bundle: ports written and events
// put into the MIDI sequence before each run().
Render ThroughLV2(const std::vector<Step>& steps, int blocks) {
  LV2Instance lv2;
  Render r;
  if (!lv2.Ok()) return r;
  for (int b = 0; b < blocks; ++b) {
    for (const Step& s : steps) {
      if (s.block != b) continue;
      if (s.status == 0)
        lv2.Control(s.param) = s.value;
      else
        lv2.Midi().AddMidi(s.frame, s.status, s.data1, s.data2);
    }
    lv2.Run(kBlock);
    r.left.insert(r.left.end(), lv2.Left().begin(), lv2.Left().end());
    r.right.insert(r.right.end(), lv2.Right().begin(), lv2.Right().end());
  }
  return r;
}

// Learns controller cc for param as a musician does: learn on, touch the
// parameter's port, move the controller, learn off (applied by the next run).
void Learn(LV2Instance& lv2, int param, float touched, int cc, int ccValue) {
  lv2.Control(Tonnik::kMidiLearn) = 1.0f;
  lv2.Run(kBlock);
  lv2.Control(param) = touched;
  lv2.Run(kBlock);
  lv2.Midi().AddMidi(3, 0xB0, (uint8_t)cc, (uint8_t)ccValue);
  lv2.Run(kBlock);
  lv2.Control(Tonnik::kMidiLearn) = 0.0f;
}

// A parameter's value and learned controller in a state chunk.
double ChunkParam(const std::vector<uint8_t>& chunk, int i) {
  double v = 0;
  std::memcpy(&v, chunk.data() + Tonnik::kControllerMapBytes + 8 * i, 8);
  return v;
}
int32_t ChunkController(const std::vector<uint8_t>& chunk, int i) {
  int32_t cc = 0;
  std::memcpy(&cc, chunk.data() + 4 * i, 4);
  return cc;
}

double Energy(const std::vector<float>& v, size_t from, size_t to) {
  double e = 0;
  for (size_t i = from; i < to && i < v.size(); ++i) e += (double)v[i] * v[i];
  return e;
}

}  // namespace

TEST(LV2Bundle, IsFoundThroughLV2PathAndDescribesTheInstrument) {
  const LilvPlugin* plugin = LilvBundle::Get().Plugin();
  ASSERT_NE(plugin, nullptr) << "no " << kTonnikURI << " under " << TONNIK_LV2_PATH;

  LilvNode* name = lilv_plugin_get_name(plugin);
  EXPECT_EQ(NodeText(name), "TONNIK-PRO");
  lilv_node_free(name);
  LilvNode* author = lilv_plugin_get_author_name(plugin);
  EXPECT_EQ(NodeText(author), "Velmora Rirevovizod");
  lilv_node_free(author);
  EXPECT_EQ(NodeText(lilv_plugin_class_get_uri(lilv_plugin_get_class(plugin))),
            "http://lv2plug.in/ns/lv2core#InstrumentPlugin");

  LilvNodes* required = lilv_plugin_get_required_features(plugin);
  ASSERT_EQ(lilv_nodes_size(required), 1u);
  EXPECT_TRUE(lilv_nodes_contains(required, LilvBundle::Get().Uri(LV2_URID__map)));
  lilv_nodes_free(required);
  LilvNodes* optional = lilv_plugin_get_optional_features(plugin);
  EXPECT_TRUE(lilv_nodes_contains(optional, LilvBundle::Get().Uri(LV2_CORE__hardRTCapable)));
  lilv_nodes_free(optional);
  EXPECT_TRUE(lilv_plugin_has_extension_data(plugin, LilvBundle::Get().Uri(LV2_STATE__interface)));

  ASSERT_EQ(lilv_plugin_get_num_ports(plugin), 22u);
  const LilvNode* control = LilvBundle::Get().Uri(LV2_CORE__ControlPort);
  const LilvNode* input = LilvBundle::Get().Uri(LV2_CORE__InputPort);
  const LilvNode* output = LilvBundle::Get().Uri(LV2_CORE__OutputPort);
  const LilvNode* audio = LilvBundle::Get().Uri(LV2_CORE__AudioPort);
  const LilvNode* atomPort = LilvBundle::Get().Uri(LV2_ATOM__AtomPort);

  // The ports follow the instrument's parameter table.
  Tonnik reference(IPluginInstanceInfo{});
  const char* const symbols[kTonnikControls] = {
      "tone", "tune", "fine", "decay", "accent", "midi_tune", "long_decay", "midi_learn", "midi_clear", "comp",
      "drive", "glide", "glide_mode", "dyndecay", "dyncomp", "dyndrive", "dyntone", "dynlevel", "driveenv"};
  for (int i = 0; i < kTonnikControls; ++i) {
    SCOPED_TRACE(symbols[i]);
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    IParam* param = reference.GetParam(i);
    EXPECT_TRUE(lilv_port_is_a(plugin, port, control));
    EXPECT_TRUE(lilv_port_is_a(plugin, port, input));
    EXPECT_EQ(NodeText(lilv_port_get_symbol(plugin, port)), symbols[i]);
    LilvNode* portName = lilv_port_get_name(plugin, port);
    EXPECT_EQ(NodeText(portName), param->GetNameForHost());
    lilv_node_free(portName);
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin, port, &def, &min, &max);
    double lo = 0, hi = 0;
    param->GetBounds(&lo, &hi);
    EXPECT_EQ(lilv_node_as_float(def), (float)param->GetDefault());
    EXPECT_EQ(lilv_node_as_float(min), (float)lo);
    EXPECT_EQ(lilv_node_as_float(max), (float)hi);
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    EXPECT_EQ(PortHas(port, LV2_CORE__integer), param->Type() == IParam::kKindInt);
    EXPECT_EQ(PortHas(port, LV2_CORE__toggled), param->Type() == IParam::kKindBool);
    EXPECT_EQ(PortHas(port, LV2_CORE__enumeration), i == Tonnik::kGlideMode);
  }

  const LilvPort* glideMode = lilv_plugin_get_port_by_index(plugin, Tonnik::kGlideMode);
  LilvScalePoints* points = lilv_port_get_scale_points(plugin, glideMode);
  std::vector<std::string> labels(3);
  LILV_FOREACH (scale_points, it, points) {
    const LilvScalePoint* p = lilv_scale_points_get(points, it);
    const int v = (int)lilv_node_as_float(lilv_scale_point_get_value(p));
    if (v >= 0 && v < 3) labels[v] = NodeText(lilv_scale_point_get_label(p));
  }
  lilv_scale_points_free(points);
  EXPECT_EQ(labels, (std::vector<std::string>{"Up/Down", "Up", "Down"}));

  const LilvPort* glide = lilv_plugin_get_port_by_index(plugin, Tonnik::kGlide);
  LilvNodes* units = lilv_port_get_value(plugin, glide, LilvBundle::Get().Uri(LV2_UNITS__unit));
  ASSERT_EQ(lilv_nodes_size(units), 1u);
  EXPECT_EQ(NodeText(lilv_nodes_get_first(units)), LV2_UNITS__s);
  lilv_nodes_free(units);

  const LilvPort* midi = lilv_plugin_get_port_by_index(plugin, kTonnikMidiPort);
  EXPECT_TRUE(lilv_port_is_a(plugin, midi, atomPort));
  EXPECT_TRUE(lilv_port_is_a(plugin, midi, input));
  EXPECT_TRUE(lilv_port_supports_event(plugin, midi, LilvBundle::Get().Uri(LV2_MIDI__MidiEvent)));
  EXPECT_EQ(NodeText(lilv_port_get_symbol(plugin, midi)), "midi_in");
  EXPECT_EQ(lilv_plugin_get_port_by_designation(plugin, input, LilvBundle::Get().Uri(LV2_CORE__control)), midi);
  for (int c = 0; c < 2; ++c) {
    const LilvPort* out = lilv_plugin_get_port_by_index(plugin, kTonnikOutPort + c);
    EXPECT_TRUE(lilv_port_is_a(plugin, out, audio));
    EXPECT_TRUE(lilv_port_is_a(plugin, out, output));
    EXPECT_EQ(NodeText(lilv_port_get_symbol(plugin, out)), "out_" + std::to_string(c + 1));
  }
}

TEST(LV2Bundle, NotesAtChosenFramesPlayExactlyAsThroughTheAudioUnit) {
  const std::vector<Step> steps = {Note(0, 0, 36, 100),  Note(0, 17, 40, 127), Note(0, 300, 33, 64),
                                   Note(0, 300, 45, 90), Note(0, 511, 36, 1),  Note(2, 5, 36, 0),
                                   Note(3, 128, 29, 80), Cc(3, 10, 7, 100),    {4, 3, 0x80, 36, 0, 0, 0}};
  const Render au = ThroughAudioUnit(steps, 8);
  const Render lv2 = ThroughLV2(steps, 8);
  ASSERT_EQ(au.left.size(), (size_t)8 * kBlock);
  ASSERT_EQ(lv2.left.size(), au.left.size());
  EXPECT_GT(Energy(lv2.left, 0, lv2.left.size()), 0.1);
  for (size_t i = 0; i < au.left.size(); ++i) {
    ASSERT_EQ(lv2.left[i], au.left[i]) << "frame " << i;
    ASSERT_EQ(lv2.right[i], au.right[i]) << "frame " << i;
  }
  // A hit at frame 17 of the first block, nothing before the first one.
  EXPECT_NE(lv2.left[0], 0.0f);
}

TEST(LV2Bundle, ControlPortChangesBetweenBlocksReachTheVoice) {
  const std::vector<Step> steps = {Note(0, 0, 36, 100), Param(2, Tonnik::kDecay, 0.05f), Param(2, Tonnik::kTune, 7),
                                   Note(2, 40, 36, 100), Param(4, Tonnik::kDrive, 0.8f),   Param(4, Tonnik::kLongDecay, 1),
                                   Note(4, 0, 36, 100), Param(6, Tonnik::kGlideMode, 2),  Param(6, Tonnik::kGlide, 0.3f),
                                   Note(6, 9, 48, 100)};
  const Render au = ThroughAudioUnit(steps, 8);
  const Render lv2 = ThroughLV2(steps, 8);
  ASSERT_EQ(lv2.left.size(), au.left.size());
  for (size_t i = 0; i < au.left.size(); ++i) ASSERT_EQ(lv2.left[i], au.left[i]) << "frame " << i;

  // And the change is heard: a short decay against the default one.
  const Render plain = ThroughLV2({Note(0, 0, 36, 100), Note(2, 40, 36, 100)}, 4);
  EXPECT_NE(Energy(plain.left, 2 * kBlock, 4 * kBlock), Energy(lv2.left, 2 * kBlock, 4 * kBlock));
}

TEST(LV2Bundle, StateSavedThroughLilvRestoresIntoAFreshInstanceAndSavesAgainTheSame) {
  LV2Instance first;
  ASSERT_TRUE(first.Ok());
  Learn(first, Tonnik::kDecay, 0.25f, 74, 100);
  first.Control(Tonnik::kComp) = 0.75f;
  first.Run(kBlock);

  const std::vector<uint8_t> chunk = first.StateChunk();
  ASSERT_EQ(chunk.size(), (size_t)Tonnik::kStateBytes);
  int32_t decayController = 0;
  std::memcpy(&decayController, chunk.data() + 4 * Tonnik::kDecay, 4);
  EXPECT_EQ(decayController, 74);
  double decay = 0;
  std::memcpy(&decay, chunk.data() + Tonnik::kControllerMapBytes + 8 * Tonnik::kDecay, 8);
  EXPECT_NEAR(decay, 100 / 127.0, 1e-4);  // the controller moved it

  LilvState* saved = first.SaveState();
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(lilv_state_get_num_properties(saved), 1u);

  // The host shows the Decay port's 0.25, so that is what plays after the
  // reload; the controller map comes from the state.
  LV2Instance second;
  ASSERT_TRUE(second.Ok());
  second.RestoreState(saved);
  second.Run(kBlock);
  std::vector<uint8_t> expected = chunk;
  const double portDecay = 0.25;
  std::memcpy(expected.data() + Tonnik::kControllerMapBytes + 8 * Tonnik::kDecay, &portDecay, 8);
  EXPECT_EQ(second.StateChunk(), expected);
  LilvState* again = second.SaveState();
  LilvState* reloaded = nullptr;
  {
    LV2Instance third;
    third.RestoreState(again);
    third.Run(kBlock);
    EXPECT_EQ(third.StateChunk(), expected);
    reloaded = third.SaveState();
  }
  EXPECT_TRUE(lilv_state_equals(again, reloaded));

  // The learned controller still moves Decay after the reload.
  second.Midi().AddMidi(0, 0xB0, 74, 0);
  second.Run(kBlock);
  const std::vector<uint8_t> moved = second.StateChunk();
  std::memcpy(&decay, moved.data() + Tonnik::kControllerMapBytes + 8 * Tonnik::kDecay, 8);
  EXPECT_EQ(decay, 0.0);
  lilv_state_free(reloaded);
  lilv_state_free(again);
  lilv_state_free(saved);
}

// A host that sets its ports before or after restoring a chunk that holds
// other values (as Ardour reopening a session does) hears its ports, and a
// save between a port change and the next run() holds the port's value.
TEST(LV2Bundle, ControlPortsWinOverTheRestoredChunkAndReachASaveBeforeTheNextRun) {
  LV2Instance source;
  Learn(source, Tonnik::kTone, 0.8f, 21, 64);
  source.Control(Tonnik::kDecay) = 0.9f;
  source.Control(Tonnik::kTune) = -7.0f;
  source.Run(kBlock);
  const std::vector<uint8_t> chunk = source.StateChunk();
  ASSERT_EQ(chunk.size(), (size_t)Tonnik::kStateBytes);

  for (const bool portsFirst : {true, false}) {
    SCOPED_TRACE(portsFirst ? "ports set before the restore" : "ports set after the restore");
    LV2Instance lv2;
    const float ports[][2] = {{Tonnik::kDecay, 0.0f}, {Tonnik::kTune, 3.0f}, {Tonnik::kTone, 0.2f}};
    if (portsFirst)
      for (const auto& p : ports) lv2.Control((int)p[0]) = p[1];
    ASSERT_EQ(lv2.RestoreChunk(chunk.data(), chunk.size(), LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    if (!portsFirst)
      for (const auto& p : ports) lv2.Control((int)p[0]) = p[1];
    // Saved before any run(): already the ports' values.
    std::vector<uint8_t> saved = lv2.StateChunk();
    lv2.Run(kBlock);
    EXPECT_EQ(lv2.StateChunk(), saved);
    for (int i = 0; i < kTonnikControls; ++i) EXPECT_EQ(ChunkParam(saved, i), (double)lv2.Control(i)) << "parameter " << i;
    EXPECT_EQ(ChunkController(saved, Tonnik::kTone), 21);

    // A port moved after run() and saved at once, then run.
    lv2.Control(Tonnik::kDecay) = 0.6f;
    lv2.Control(Tonnik::kGlideMode) = 7.0f;  // out of range: held to its largest value
    saved = lv2.StateChunk();
    EXPECT_EQ(ChunkParam(saved, Tonnik::kDecay), (double)0.6f);
    EXPECT_EQ(ChunkParam(saved, Tonnik::kGlideMode), 2.0);
    lv2.Run(kBlock);
    EXPECT_EQ(lv2.StateChunk(), saved);
  }

  // What plays is the ports' sound, not the chunk's.
  LV2Instance restored;
  restored.RestoreChunk(chunk.data(), chunk.size(), LV2_ATOM__Chunk);
  LV2Instance fresh;
  restored.Midi().AddNoteOn(0, 36, 100);
  fresh.Midi().AddNoteOn(0, 36, 100);
  std::vector<float> a, b;
  for (int blk = 0; blk < 4; ++blk) {
    restored.Run(kBlock);
    fresh.Run(kBlock);
    a.insert(a.end(), restored.Left().begin(), restored.Left().end());
    b.insert(b.end(), fresh.Left().begin(), fresh.Left().end());
  }
  EXPECT_EQ(a, b);
}

TEST(LV2Bundle, InitPresetAppliesThroughLilv) {
  LilvWorld* world = LilvBundle::Get().World();
  const LilvPlugin* plugin = LilvBundle::Get().Plugin();
  ASSERT_NE(plugin, nullptr);
  LilvNodes* presets = lilv_plugin_get_related(plugin, LilvBundle::Get().Uri(LV2_PRESETS__Preset));
  ASSERT_EQ(lilv_nodes_size(presets), 1u);
  const LilvNode* preset = lilv_nodes_get_first(presets);
  lilv_world_load_resource(world, preset);
  LilvNodes* labels = lilv_world_find_nodes(world, preset, LilvBundle::Get().Uri(LILV_NS_RDFS "label"), nullptr);
  ASSERT_EQ(lilv_nodes_size(labels), 1u);
  EXPECT_EQ(NodeText(lilv_nodes_get_first(labels)), "Init");
  lilv_nodes_free(labels);
  LilvState* init = lilv_state_new_from_world(world, LilvBundle::Get().Map().MapFeature(), preset);
  lilv_nodes_free(presets);
  ASSERT_NE(init, nullptr);

  LV2Instance lv2;
  ASSERT_TRUE(lv2.Ok());
  lv2.Control(Tonnik::kTone) = 0.9f;
  lv2.Control(Tonnik::kDrive) = 0.4f;
  lv2.Run(kBlock);
  lv2.RestoreState(init);
  lv2.Run(kBlock);
  lilv_state_free(init);

  const std::vector<uint8_t> chunk = lv2.StateChunk();
  ASSERT_EQ(chunk.size(), (size_t)Tonnik::kStateBytes);
  const double expected[kTonnikControls] = {0.5, 0, 0, 0.5, 0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < kTonnikControls; ++i) {
    double v = 0;
    std::memcpy(&v, chunk.data() + Tonnik::kControllerMapBytes + 8 * i, 8);
    EXPECT_EQ(v, expected[i]) << "parameter " << i;
    EXPECT_EQ(lv2.Control(i), (float)expected[i]) << "port " << i;
  }
}

TEST(LV2Bundle, SavePresetWritesAnLV2PresetBundleHostsLoad) {
  const std::string parent = testing::TempDir() + "tonnik_lv2_test";
  const std::string dir = parent + "/punchy.lv2";
  const std::string command = std::string(TONNIK_PROGRAM) + " save-preset --lv2 " + dir +
                              " --set Decay=0.25 --set \"Glide Mode=Down\" --tune 5 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  LilvState* preset = lilv_state_new_from_file(LilvBundle::Get().World(), LilvBundle::Get().Map().MapFeature(),
                                               nullptr, (dir + "/punchy.ttl").c_str());
  ASSERT_NE(preset, nullptr);
  EXPECT_STREQ(lilv_state_get_label(preset), "punchy");
  EXPECT_EQ(NodeText(lilv_state_get_plugin_uri(preset)), kTonnikURI);
  LV2Instance lv2;
  lv2.RestoreState(preset);
  lv2.Run(kBlock);
  lilv_state_free(preset);
  EXPECT_EQ(lv2.Control(Tonnik::kDecay), 0.25f);
  EXPECT_EQ(lv2.Control(Tonnik::kGlideMode), 2.0f);
  const std::vector<uint8_t> chunk = lv2.StateChunk();
  ASSERT_EQ(chunk.size(), (size_t)Tonnik::kStateBytes);
  double tune = 0;
  std::memcpy(&tune, chunk.data() + Tonnik::kControllerMapBytes + 8 * Tonnik::kTune, 8);
  EXPECT_EQ(tune, 5.0);

  // A folder that cannot be made, and a missing folder name, are refused.
  EXPECT_NE(std::system((std::string(TONNIK_PROGRAM) + " save-preset --lv2 /proc/none.lv2 2> /dev/null").c_str()), 0);
  EXPECT_NE(std::system((std::string(TONNIK_PROGRAM) + " save-preset --lv2 2> /dev/null").c_str()), 0);
  EXPECT_EQ(std::system(("rm -rf '" + parent + "'").c_str()), 0);
}
