#pragma once
// What the Mac editor's tests under a real X server need: the run loop
// pumped like an application's, external tools (xdotool, import, the
// tonnik program) run while it keeps pumping, a window like a host's, the
// instrument loaded through its component entry, and a control that
// records what reaches it. Objective-C++; main thread.

#import <AppKit/AppKit.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/IControl.h"
#include "host/AUHost.h"

class IGraphicsMac;
class IPluginAU;

namespace cocoa_test {

// Delivers window-system events and fires timers for that long.
void Pump(double seconds);
// Pumps until done() or the timeout; false on timeout.
bool PumpUntil(const std::function<bool()>& done, double timeoutSeconds);

// Starts a program (searched in PATH) without waiting; nil on failure.
NSTask* StartProgram(const std::vector<std::string>& argv);
// Pumps until the program ends (stopped after the timeout); true when it
// exited with status 0.
bool WaitProgram(NSTask* task, double timeoutSeconds);
// Both.
bool RunProgram(const std::vector<std::string>& argv, double timeoutSeconds = 10.0);
// xdotool with these arguments.
bool Xdotool(const std::vector<std::string>& args);

}  // namespace cocoa_test

// The host's view that the editor's view sits in: records the keys the
// editor passed on.
@interface HostView_vTest : NSView {
@public
  std::vector<std::string> mKeysPassedOn;  // characters of each key event
}
@end

namespace cocoa_test {

// A borderless, key-capable window at a fixed place with a host view of
// the given size, holding the editor's view.
class HostWindow {
public:
  HostWindow(NSView* editorView, int w, int h);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // The X window, as xdotool and import name it.
  std::string XWindow() const;
  HostView_vTest* Host() const { return mHost; }
  NSWindow* Window() const { return mWindow; }

private:
  NSWindow* mWindow;
  HostView_vTest* mHost;
};

// The instrument opened and prepared through its component entry.
class Instrument {
public:
  Instrument();
  ~Instrument();
  Instrument(const Instrument&) = delete;
  Instrument& operator=(const Instrument&) = delete;

  bool IsOpen() const { return mPlug != nullptr; }
  IPluginAU* Plug() const { return mPlug; }
  AudioUnit Unit() const { return mHost.Unit(); }
  IGraphicsMac* Editor() const;
  // Renders one block, as a playing host would between events.
  bool RenderBlock();

private:
  AUHost mHost;
  IPluginAU* mPlug = nullptr;
};

// Records mouse-downs, wheel steps, keys, draws and dirty queries; prompts for its
// parameter on a right click like any control. Keys in mKeysTaken are
// consumed.
class RecordingControl : public IControl {
public:
  struct Down {
    int x, y;
    IMouseMod mod;
  };

  RecordingControl(IPluginBase* plug, IRECT rect, int paramIdx = -1) : IControl(plug, rect, paramIdx) {}

  bool Draw(IGraphics* graphics) override {
    ++mDraws;
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod* mod) override {
    mDowns.push_back({x, y, *mod});
    if (mPromptOnAnyClick)
      PromptUserInput();
    else
      IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override { mWheel.push_back(d); }
  bool OnKeyDown(int x, int y, int key) override {
    mKeys.push_back(key);
    for (int k : mKeysTaken)
      if (k == key) return true;
    return false;
  }
  bool IsDirty() override {
    ++mDirtyQueries;
    return IControl::IsDirty();
  }

  std::vector<Down> mDowns;
  std::vector<int> mWheel;  // deltas
  std::vector<int> mKeys;
  std::vector<int> mKeysTaken;
  bool mPromptOnAnyClick = false;  // else only a right click prompts
  int mDraws = 0;
  int mDirtyQueries = 0;
};

// Counts of the editor views' life and repaint requests, seen by wrapping
// their methods.
struct ViewLog {
  int live = 0;                    // views initialised and not yet freed
  std::vector<NSRect> needsDisplay;  // setNeedsDisplayInRect: arguments
  std::vector<NSRect> drawn;        // drawRect: arguments
};
ViewLog& Views();
// Installs the wrappers once.
void WatchEditorViews();

}  // namespace cocoa_test
