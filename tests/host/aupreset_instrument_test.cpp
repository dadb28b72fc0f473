// .aupreset files against the instrument: a saved file restores every
// parameter; damaged, foreign and random files are refused or restore what
// fits, and never leave a parameter out of its range.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "host/AUPresetFile.h"
#include "host/PlistBase64.h"
#include "tonnik/TonnikEntry.h"

namespace {

const ComponentDescription kInstrument = {kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};

struct Instrument {
  Instrument() {
    EXPECT_EQ(noErr, host.Open());
    EXPECT_EQ(noErr, host.GetParameterList(&ids));
    for (AudioUnitParameterID id : ids) {
      AUHostParamInfo info;
      EXPECT_EQ(noErr, host.GetParameterInfo(id, &info));
      infos.push_back(info);
    }
  }
  std::vector<float> Values() {
    std::vector<float> values;
    for (AudioUnitParameterID id : ids) {
      float v = NAN;
      host.GetParameter(id, &v);
      values.push_back(v);
    }
    return values;
  }
  std::string SavedText() {
    CFPropertyListRef state = nullptr;
    EXPECT_EQ(noErr, host.GetClassInfo(&state));
    std::string text, reason;
    EXPECT_EQ(kAUPresetOK, AUPresetToXML((CFDictionaryRef)state, &text, &reason)) << reason;
    CFRelease(state);
    return text;
  }
  // Parses text and restores it; the result of the first step that failed.
  OSStatus Restore(const std::string& text) {
    CFDictionaryRef dict = nullptr;
    std::string reason;
    if (AUPresetFromXML(text.data(), text.size(), &dict, &reason) != kAUPresetOK) return -1;
    if (AUPresetCheckComponent(dict, kInstrument, &reason) != kAUPresetOK) {
      CFRelease(dict);
      return -2;
    }
    const OSStatus status = host.SetClassInfo(dict);
    CFRelease(dict);
    return status;
  }

  AUHost host{Tonnik_Entry, kInstrument};
  std::vector<AudioUnitParameterID> ids;
  std::vector<AUHostParamInfo> infos;
};

// Replaces the base64 text of the "data" entry.
std::string WithData(const std::string& text, const std::vector<UInt8>& bytes) {
  const size_t key = text.find("<key>data</key>");
  const size_t open = text.find("<data>", key) + 6;
  const size_t close = text.find("</data>", open);
  return text.substr(0, open) + PlistBase64Encode(bytes.data(), bytes.size()) + text.substr(close);
}

TEST(AUPresetInstrument, SavedFileRestoresEveryParameter) {
  Instrument a;
  for (size_t i = 0; i < a.ids.size(); ++i)
    a.host.SetParameter(a.ids[i], a.infos[i].minValue + 0.3f * (a.infos[i].maxValue - a.infos[i].minValue));
  const std::vector<float> saved = a.Values();
  const std::string text = a.SavedText();

  Instrument b;
  ASSERT_EQ(noErr, b.Restore(text));
  EXPECT_EQ(saved, b.Values());
  EXPECT_EQ(text, b.SavedText());
}

TEST(AUPresetInstrument, ForeignAndIncompleteFilesChangeNothing) {
  Instrument a;
  const std::string good = a.SavedText();
  a.host.SetParameter(0, 0.9f);
  const std::vector<float> before = a.Values();
  const std::string subtype = std::to_string(MakeFourCC("Tnk4"));
  const std::string type = std::to_string(kAudioUnitType_MusicDevice);
  auto replaced = [&](const std::string& from, const std::string& to, std::string t = std::string()) {
    if (t.empty()) t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"truncated", good.substr(0, good.size() * 2 / 3)},
      {"another subtype", replaced("<integer>" + subtype + "</integer>", "<integer>1415408437</integer>")},
      {"another type", replaced("<integer>" + type + "</integer>", "<integer>1635083896</integer>")},
      {"subtype as a string", replaced("<integer>" + subtype + "</integer>", "<string>Tnk4</string>")},
      {"name as a number", replaced("<string>Init</string>", "<integer>3</integer>")},
      {"data as a string", replaced("</data>", "</string>", replaced("<data>", "<string>"))},
      {"data not base64", replaced("<data>", "<data>*")},
  };
  for (const auto& c : cases) {
    EXPECT_NE(noErr, a.Restore(c.text)) << c.what;
    EXPECT_EQ(before, a.Values()) << c.what;
  }
}

TEST(AUPresetInstrument, RandomAndCutStateDataNeverBreaksTheInstrument) {
  Instrument a;
  const std::string good = a.SavedText();
  std::mt19937 random(2024);
  for (int round = 0; round < 300; ++round) {
    std::vector<UInt8> bytes(random() % 400);
    for (UInt8& b : bytes) b = (UInt8)random();
    a.Restore(WithData(good, bytes));
    const std::vector<float> values = a.Values();
    for (size_t i = 0; i < values.size(); ++i) {
      EXPECT_TRUE(values[i] >= a.infos[i].minValue && values[i] <= a.infos[i].maxValue)
          << a.infos[i].name << " = " << values[i] << " after " << bytes.size() << " random bytes";
    }
    std::vector<float> left(256), right(256);
    float* out[2] = {left.data(), right.data()};
    ASSERT_EQ(noErr, a.host.Initialize());
    a.host.SendMidi(0x90, 36, 100, 0);
    ASSERT_EQ(noErr, a.host.Render(256, out, 2));
    for (float s : left) ASSERT_TRUE(std::isfinite(s));
    a.host.Uninitialize();
  }
  // A good file still restores after all of that.
  EXPECT_EQ(noErr, a.Restore(good));
}

}  // namespace
