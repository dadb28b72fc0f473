#pragma once
// The plug-in's X11 editor embedded in a CLAP host's window (the gui
// extension). The editor has no thread of its own: the host's timer
// (timer-support) runs its refresh at the editor's frame rate, and the
// host's watch on the X connection (posix-fd-support) runs its events.
// The editor is fixed in size and not scaled.
//
// Life: Create when the host asks for the gui; SetParent opens the window
// inside the host's window and registers the fd and the timer; Hide
// stops the timer and Show starts it again; the destructor unregisters
// both and closes the window, so nothing of it is left in the host.
//
// Ownership: owned by the IPluginCLAP instance (SetEditorWindow); the
// editor itself belongs to the plug-in base and is borrowed.
//
// Threads: the host's main thread only.

#include <memory>

#include "clap/ClapExtensions.h"

class IGraphicsX11;
class IPluginCLAP;

class CLAPEditorWindow {
public:
  // Null (the reason logged) when the host lacks timers or fd watching,
  // the plug-in has no X11 editor, or the editor is already shown.
  static std::unique_ptr<CLAPEditorWindow> Create(IPluginCLAP* plug);
  ~CLAPEditorWindow();
  CLAPEditorWindow(const CLAPEditorWindow&) = delete;
  CLAPEditorWindow& operator=(const CLAPEditorWindow&) = delete;

  // The window's size in device pixels, at the screen scale.
  uint32_t Width() const;
  uint32_t Height() const;
  // The host's screen scale (1 to 2); an open window takes the new size.
  // False, changing nothing, for any other.
  bool SetScale(double scale);
  // Opens the editor's window inside the host's X window; false (the
  // reason logged) when it cannot be made or it is open already.
  bool SetParent(unsigned long parentWindow);
  bool Show();
  bool Hide();
  void OnTimer(clap_id timerID);
  void OnFd(int fd, uint32_t flags);

private:
  CLAPEditorWindow(IPluginCLAP* plug, IGraphicsX11* gui) : mPlug(plug), mGUI(gui) {}
  bool StartTimer();
  void StopTimer();
  // The window went away under the editor: stop, and tell the host.
  void WindowGone();

  IPluginCLAP* mPlug;
  IGraphicsX11* mGUI;
  clap_id mTimer = CLAP_INVALID_ID;
  int mFd = -1;
};
