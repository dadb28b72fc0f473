#pragma once
// A minimal plug-in and editor for exercising the plug-in base: the plug-in
// answers the host-facing pure virtuals by recording the calls; the editor
// answers file prompts with a preset path.

#include <string>
#include <vector>

#include "graphics/IGraphics.h"
#include "plugin/IPluginBase.h"

// Four-character IDs written as the ints they pack into.
static const int kTestPlugID = 0x54737431;   // "Tst1"
static const int kTestMakerID = 0x4D6B7231;  // "Mkr1"

class TestPlug : public IPluginBase {
public:
  struct HostValue {
    int mParamIdx;
    double mNormalized;
  };

  explicit TestPlug(int nParams = 3, const char* channelIO = "0-1 0-2", int nPresets = 4,
                    bool chunks = true, int uniqueID = kTestPlugID)
      : IPluginBase(nParams, channelIO, nPresets, "Test", "TestProduct", "Maker", 0x00010203,
                    uniqueID, kTestMakerID, 0, true, chunks, true, kAPIAU) {}

  void OnParamChange(int paramIdx) override { mParamChanges.push_back(paramIdx); }
  void BeginInformHostOfParamChange(int paramIdx) override {}
  void InformHostOfParamChange(int paramIdx, double normalized) override {
    mHostValues.push_back({paramIdx, normalized});
  }
  void EndInformHostOfParamChange(int paramIdx) override {}
  void InformHostOfProgramChange() override { ++mProgramChanges; }
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return mTempo; }
  void GetTimeSig(int* numerator, int* denominator) override {
    *numerator = 4;
    *denominator = 4;
  }
  void GetTime(ITimeInfo* timeInfo) override {}
  void ResizeGraphics(int w, int h) override {}
  bool SendMidiMsg(IMidiMsg* msg) override {
    mSentMidi.push_back(*msg);
    return msg->mStatus != 0;
  }
  void PresetsChangedByHost() override { ++mPresetsChanged; }

  std::vector<int> mParamChanges;
  std::vector<HostValue> mHostValues;
  std::vector<IMidiMsg> mSentMidi;
  int mProgramChanges = 0;
  int mPresetsChanged = 0;
  double mTempo = 120.0;
};

class TestGraphics : public IGraphics {
public:
  explicit TestGraphics(IPluginBase* plug) : IGraphics(plug, 100, 50, 0) {}

  // Platform operations these tests do not use.
  bool DrawScreen(IRECT*) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu*, IRECT*) override { return nullptr; }
  void CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) override {}
  void HostPath(KIT_String*) override {}
  void PluginPath(KIT_String*) override {}
  void DesktopPath(KIT_String*) override {}
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  PIX_IBitmap* OSLoadBitmap(int, const char*) override { return nullptr; }

  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir,
                     char* extension) override {
    mLastAction = action;
    mLastExtension = extension;
    mLastDefaultName = fileName->Get();
    fileName->Set(mAnswer.c_str());
  }

  std::string mAnswer;
  EFileAction mLastAction = kFileOpen;
  std::string mLastExtension;
  std::string mLastDefaultName;
};
