#include "EditorSession.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "au/IPluginAU.h"
#include "au/IPluginAU_ViewFactory.h"
#include "au/apple/FourCC.h"
#include "host/AUPresetFile.h"
#include "platform/HeadlessView.h"
#include "platform/IGraphicsHeadless.h"
#include "platform/IPlatformPrompts.h"
#include "plugin/ByteChunk.h"
#include "tonnik/TonnikEntry.h"

namespace {

const double kSampleRate = 48000;
const int kBlockSize = 512;
const int kChannels = 2;
// Steps a drag is split into, as a moving mouse sends several.
const int kDragSteps = 4;
// Refreshes between replayed events, enough to show every change.
const int kRefreshesPerEvent = 2;
// The largest raw state chunk accepted.
const long kMaxStateBytes = 1L << 20;

ComponentDescription TonnikDescription() {
  return ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
}

// Answers the program-file dialog with one path.
class FileAnswer : public IPlatformPrompts {
public:
  explicit FileAnswer(const std::string& path) : mPath(path) {}
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, const char* extension) override {
    fileName->Set(mPath.c_str());
  }

private:
  std::string mPath;
};

bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = "cannot read " + path;
    return false;
  }
  unsigned char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) {
    bytes->insert(bytes->end(), buf, buf + n);
    if (static_cast<long>(bytes->size()) > kMaxStateBytes) {
      std::fclose(f);
      *error = path + " is too large for a state";
      return false;
    }
  }
  std::fclose(f);
  return true;
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// Mac key code and character of a key name or single character.
bool KeyFor(const std::string& name, unsigned short* code, std::string* chars) {
  struct Named {
    const char* name;
    unsigned short code;
    const char* chars;
  } named[] = {
      {"space", 49, " "},
      {"up", 126, "\xEF\x9C\x80"},
      {"down", 125, "\xEF\x9C\x81"},
      {"left", 123, "\xEF\x9C\x82"},
      {"right", 124, "\xEF\x9C\x83"},
  };
  for (const Named& n : named)
    if (name == n.name) {
      *code = n.code;
      *chars = n.chars;
      return true;
    }
  if (name.size() != 1) return false;
  *code = 0;
  *chars = name;
  return true;
}

}  // namespace

bool ParseInts(const char* text, int n, int* out) {
  const char* p = text;
  for (int i = 0; i < n; ++i) {
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p || v < -100000 || v > 100000) return false;
    out[i] = static_cast<int>(v);
    p = end;
    if (i < n - 1) {
      if (*p != ',') return false;
      ++p;
    }
  }
  return *p == '\0';
}

EditorSession::EditorSession() : mHost(Tonnik_Entry, TonnikDescription()) {}

EditorSession::~EditorSession() {
  if (mGraphics) mGraphics->SetPrompts(nullptr);
  mHost.Close();
}

bool EditorSession::Open(std::string* error, double scale) {
  if (mHost.Open() != noErr) {
    *error = "the instrument did not open";
    return false;
  }
  if (mHost.Prepare(kSampleRate, kBlockSize, kChannels) != noErr) {
    *error = "the instrument could not be prepared for rendering";
    return false;
  }
  mPlug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(mHost.Unit()));
  IPluginAU_ViewFactory factory("TONNIK-PRO View");
  factory.init();
  NSView* view = factory.uiViewForAudioUnit(mHost.Unit(), NSSize{336, 598});
  mGraphics = mPlug ? dynamic_cast<IGraphicsHeadless*>(mPlug->GetGUI()) : nullptr;
  if (!view || !mGraphics) {
    *error = "the instrument has no editor view";
    return false;
  }
  if (!mGraphics->SetScreenScale(scale)) {
    *error = "the editor cannot be shown at scale " + std::to_string(scale);
    return false;
  }
  Refresh();
  return true;
}

bool EditorSession::LoadState(const std::string& path, std::string* error) {
  if (EndsWith(path, ".aupreset")) {
    CFDictionaryRef dict = nullptr;
    std::string reason;
    EAUPresetFileResult result = AUPresetReadFile(path.c_str(), &dict, &reason);
    if (result == kAUPresetOK) result = AUPresetCheckComponent(dict, TonnikDescription(), &reason);
    OSStatus status = noErr;
    if (result == kAUPresetOK) status = mHost.SetClassInfo(dict);
    if (dict) CFRelease(dict);
    if (result != kAUPresetOK || status != noErr) {
      *error = path + ": " + (result != kAUPresetOK ? reason : std::string("the instrument refused the state"));
      return false;
    }
  } else {
    std::vector<unsigned char> bytes;
    if (!ReadFile(path, &bytes, error)) return false;
    ByteChunk chunk;
    chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
    ByteChunk before;
    mPlug->SerializeState(&before);
    if (mPlug->UnserializeState(&chunk, 0) <= 0) {
      mPlug->UnserializeState(&before, 0);
      *error = path + " is not a whole state of the instrument";
      return false;
    }
    mPlug->RedrawParamControls();
  }
  mPlug->OnParamReset();
  Refresh();
  return true;
}

bool EditorSession::LoadProgram(const std::string& path, std::string* error) {
  FileAnswer answer(path);
  mGraphics->SetPrompts(&answer);
  const bool ok = mPlug->LoadProgramFromFXP();
  mGraphics->SetPrompts(nullptr);
  if (!ok) {
    *error = path + " is not a program file of the instrument";
    return false;
  }
  mPlug->OnParamReset();
  Refresh();
  return true;
}

bool EditorSession::Replay(const EditorEvent& event, std::string* error) {
  HeadlessView* view = mGraphics->GetView();
  const int h = mGraphics->Height();
  auto at = [h](int x, int y) { return ViewPoint{double(x + 2), double(h - y - 3)}; };
  const ViewModifiers none;
  switch (event.kind) {
    case EditorEvent::kClick:
      view->MouseDown(at(event.x, event.y), none);
      view->MouseUp(at(event.x, event.y), none);
      break;
    case EditorEvent::kDrag: {
      view->MouseDown(at(event.x, event.y), none);
      for (int i = 1; i <= kDragSteps; ++i)
        view->MouseDragged(at(event.x + event.dx * i / kDragSteps, event.y + event.dy * i / kDragSteps), none);
      view->MouseUp(at(event.x + event.dx, event.y + event.dy), none);
      break;
    }
    case EditorEvent::kWheel:
      view->ScrollWheel(at(event.x, event.y), none, event.dx);
      break;
    case EditorEvent::kKey: {
      unsigned short code = 0;
      std::string chars;
      if (!KeyFor(event.key, &code, &chars)) {
        *error = "unknown key '" + event.key + "' (a character, space, up, down, left or right)";
        return false;
      }
      view->MouseMoved(at(event.x, event.y), none);
      view->KeyDown(code, chars.c_str());
      break;
    }
  }
  if (!RenderBlock()) {
    *error = "rendering failed";
    return false;
  }
  Refresh(kRefreshesPerEvent);
  return true;
}

bool EditorSession::RenderBlock() {
  std::vector<float> left(kBlockSize), right(kBlockSize);
  float* outs[kChannels] = {left.data(), right.data()};
  return mHost.Render(kBlockSize, outs, kChannels) == noErr;
}

void EditorSession::Refresh(int n) {
  for (int i = 0; i < n; ++i) mGraphics->Tick();
}

bool EditorSession::WriteScreen(const std::string& path, std::string* error) {
  KIT_String reason;
  if (mGraphics->WriteScreenPNG(path.c_str(), &reason)) return true;
  *error = reason.Get();
  return false;
}
