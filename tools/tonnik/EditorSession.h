#pragma once
// The instrument's editor opened headless the way a host opens it: the
// instrument is loaded through its component entry, prepared for
// rendering, and its view is made by the adapter's view factory. Events
// are given in editor pixels and sent through the view as the window
// system would; after each event one block is rendered, so the trigger's
// hit and its LED happen as they do while a host plays.
// Main thread.

#include <string>

#include "host/AUHost.h"

class IGraphicsHeadless;
class IPluginAU;

// One replayed user action, in editor pixels.
struct EditorEvent {
  enum EKind { kClick, kDrag, kWheel, kKey };
  EKind kind;
  int x;
  int y;
  int dx;  // drag: movement; wheel: steps
  int dy;
  std::string key;  // a character, or space, up, down, left, right
};

class EditorSession {
public:
  EditorSession();
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // Loads, prepares and opens the view at a screen scale (device pixels per
  // editor pixel, 1 to 2); false with a reason.
  bool Open(std::string* error, double scale = 1.0);
  // A raw state chunk, or an .aupreset file (by extension).
  bool LoadState(const std::string& path, std::string* error);
  // A program file, through the editor's file dialog.
  bool LoadProgram(const std::string& path, std::string* error);
  // Replays the event, then renders a block and refreshes the view.
  bool Replay(const EditorEvent& event, std::string* error);
  // Refreshes the view as its timer would, n times.
  void Refresh(int n = 1);
  bool WriteScreen(const std::string& path, std::string* error);

  IGraphicsHeadless* Graphics() const { return mGraphics; }
  IPluginAU* Plug() const { return mPlug; }

private:
  bool RenderBlock();

  AUHost mHost;
  IPluginAU* mPlug = nullptr;
  IGraphicsHeadless* mGraphics = nullptr;
};

// Parses "X,Y" style lists of n integers; false when malformed.
bool ParseInts(const char* text, int n, int* out);
