#pragma once
// The LV2 bundle as a host sees it through lilv: one world loaded from
// LV2_PATH (pointed at the build's bundle folder before loading), the
// plug-in found in it, and instances with their port buffers, the MIDI
// input, state save and restore through lilv and through the plug-in's
// state interface. One thread; instances own their buffers.

#include <lilv/lilv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lv2/LV2TestHost.h"
#include "lv2/state/state.h"

inline constexpr char kTonnikURI[] = "http://velmora-rirevovizod.org/lv2/tonnik-pro";
inline constexpr char kTonnikStateKey[] = "http://velmora-rirevovizod.org/lv2/tonnik-pro#state";
inline constexpr int kTonnikControls = 19;
inline constexpr int kTonnikMidiPort = 19;
inline constexpr int kTonnikOutPort = 20;

class LilvBundle {
public:
  // Loaded on first use.
  static LilvBundle& Get();
  LilvWorld* World() { return mWorld; }
  // Null when the bundle was not found.
  const LilvPlugin* Plugin() { return mPlugin; }
  UridMap& Map() { return mMap; }
  // A node the world owns for as long as the bundle lives.
  const LilvNode* Uri(const char* uri);

private:
  LilvBundle();
  ~LilvBundle();
  LilvWorld* mWorld = nullptr;
  const LilvPlugin* mPlugin = nullptr;
  UridMap mMap;
  std::vector<LilvNode*> mNodes;
};

struct InstanceSetup {
  double rate = 48000.0;
  int maxBlock = 512;      // 0: not announced
  int nominalBlock = 512;  // 0: not announced
  bool withMap = true;
  bool withLog = true;
};

class LV2Instance {
public:
  explicit LV2Instance(const InstanceSetup& setup = InstanceSetup());
  ~LV2Instance();
  LV2Instance(const LV2Instance&) = delete;
  LV2Instance& operator=(const LV2Instance&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  LogCapture& Log() { return mLog; }
  LilvInstance* Instance() { return mInstance; }

  // The control port's buffer (what the host writes).
  float& Control(int idx) { return mControls[idx]; }
  // By symbol; false for an unknown one.
  bool SetControl(const char* symbol, float value);
  MidiSequence& Midi() { return mMidi; }

  // Runs n frames into Left()/Right(), then empties the MIDI input.
  void Run(uint32_t n);
  const std::vector<float>& Left() const { return mLeft; }
  const std::vector<float>& Right() const { return mRight; }
  // Left out ports stay unconnected (null) from the next Run on.
  void DisconnectOutputs() { mOutputsConnected = false; }

  // Through lilv; the caller frees the state.
  LilvState* SaveState();
  void RestoreState(const LilvState* state);
  // Through the state interface directly: the one property's bytes (empty
  // when the save failed) and a restore of any bytes, type and key.
  std::vector<uint8_t> StateChunk(LV2_State_Status* status = nullptr);
  LV2_State_Status RestoreChunk(const void* data, size_t size, const char* typeURI, const char* keyURI = kTonnikStateKey);

private:
  UridMap& mMap;
  LogCapture mLog;
  std::unique_ptr<HostOptions> mOptions;
  std::unique_ptr<HostFeatures> mFeatures;
  LilvInstance* mInstance = nullptr;
  float mControls[kTonnikControls] = {};
  MidiSequence mMidi;
  std::vector<float> mLeft, mRight;
  bool mOutputsConnected = true;
};
