#pragma once
// One editor window's connection to the X server, and the process-wide X
// error handling a plug-in needs: Xlib's default handlers end the process on
// any protocol error and on a lost connection, which would take the host
// down with the editor.
//
// The first connection installs handlers that keep the ones already set
// (the host's) for every other display: a protocol error on an editor's
// connection is recorded (or, outside a trap, reported once on stderr) and
// the editor goes on; an I/O error (the server went away) marks the
// connection lost, and Xlib's per-display exit handler returns instead of
// ending the process. A lost connection is no longer used; Close frees it.
//
// Ownership: the connection owns its Display until Close (or destruction).
// Threads: the thread that opened it (the editor's main thread); the
// handlers run on the thread whose Xlib call met the error.

#include <X11/Xlib.h>

class KIT_String;

class X11Connection {
public:
  X11Connection() = default;
  ~X11Connection() { Close(); }
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  // Opens the display named by $DISPLAY. False with the reason in error
  // ("no X display: DISPLAY is not set", "cannot open X display ':5'").
  bool Open(KIT_String* error);
  // Frees the connection; safe to repeat, also after the server went away.
  void Close();

  Display* Get() const { return mDisplay; }
  bool IsOpen() const { return mDisplay != nullptr; }
  // The server went away (or the socket broke): nothing may be sent.
  bool IsLost() const { return mLost; }

  // Errors of the requests made between BeginTrap and EndTrap are
  // collected instead of reported. EndTrap waits for the server and
  // returns the first error code (Success when none).
  void BeginTrap();
  int EndTrap();

  // Called by the handlers.
  void NoteError(const XErrorEvent& error);
  void NoteLost() { mLost = true; }

private:
  Display* mDisplay = nullptr;
  bool mLost = false;
  bool mTrapping = false;
  int mTrappedError = 0;
  bool mReported = false;
};
