#pragma once
// What the LV2, VST 3 and CLAP adapters share between the plug-in base and
// themselves, for the host interface kAPI: the constructor every adapter
// takes, the plug-in's identity from its instance info, the size of its
// whole state, and the answers of a host interface that gives the plug-in
// no transport and takes no MIDI from it. The Audio Unit adapter derives
// from the base directly, its host answering these itself.
//
// Ownership: nothing beyond the base's. Threads: as IPluginBase.h states;
// the answers below are constant and may be asked from any thread.

#include "plugin/IPluginBase.h"

template <EAPI kAPI>
class IPluginPortable : public ::IPluginBase {
public:
  // Beats per minute reported to the plug-in, the tempo hosts start with.
  static constexpr double kDefaultTempo = 120.0;

  // The same arguments as the Audio Unit adapter's, so that the instrument's
  // code is the same in every format; instanceInfo's bundle identifier names
  // the plug-in (an LV2 URI, a bundle or a CLAP id). Side-chain inputs are
  // not offered in these formats.
  IPluginPortable(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                  const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
                  int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                  int nSideChainChans = 0)
      : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID,
                    mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPI) {
    mBundleID.Set(instanceInfo.mBundleID.Get());
  }

  // These formats take no transport from the host and send it no MIDI, so
  // the plug-in plays the same at any song position: position 0, the
  // default tempo, time signature and time info left as they are.
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return kDefaultTempo; }
  void GetTimeSig(int* numerator, int* denominator) override {}
  void GetTime(ITimeInfo* timeInfo) override {}
  bool SendMidiMsg(IMidiMsg* msg) override { return false; }
  // The editor keeps its fixed size; the plug-in hears of a host's resize.
  void ResizeGraphics(int w, int h) override {
    if (GetGUI()) OnWindowResize();
  }
  // The host's reset, the same hook as the Audio Unit's, so that the
  // instrument's code is the same in every format; each adapter says which
  // of its host's calls it is.
  virtual void OnHostReset() {}

  const char* GetBundleID() const { return mBundleID.Get(); }
  // Bytes of a whole state as SerializeState writes it; 0 until measured
  // or when the plug-in keeps no state chunk.
  int StateSize() const { return mStateSize; }

protected:
  // Measures StateSize() once the plug-in is set up. Main thread.
  void MeasureStateSize() {
    ByteChunk state;
    if (DoesStateChunks() && SerializeState(&state)) mStateSize = state.Size();
  }

private:
  KIT_String mBundleID;
  int mStateSize = 0;
};
