#include "platform/IGraphicsX11Display.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "kit/KIT_String.h"

namespace {
// More editor windows than any host opens at once.
constexpr int kMaxConnections = 64;

std::mutex gRegistryMutex;
X11Connection* gConnections[kMaxConnections] = {};
Display* gDisplays[kMaxConnections] = {};
bool gHandlersInstalled = false;
XErrorHandler gHostErrorHandler = nullptr;
XIOErrorHandler gHostIOErrorHandler = nullptr;

X11Connection* Find(Display* display) {
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  for (int i = 0; i < kMaxConnections; ++i)
    if (gDisplays[i] == display) return gConnections[i];
  return nullptr;
}

int OnError(Display* display, XErrorEvent* error) {
  if (X11Connection* c = Find(display)) {
    c->NoteError(*error);
    return 0;
  }
  return gHostErrorHandler ? gHostErrorHandler(display, error) : 0;
}

int OnIOError(Display* display) {
  if (X11Connection* c = Find(display)) {
    c->NoteLost();
    return 0;  // Xlib goes on to the connection's exit handler
  }
  return gHostIOErrorHandler ? gHostIOErrorHandler(display) : 0;
}

void OnIOErrorExit(Display* display, void* user) { static_cast<X11Connection*>(user)->NoteLost(); }

bool Register(X11Connection* c, Display* display) {
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  if (!gHandlersInstalled) {
    gHostErrorHandler = XSetErrorHandler(OnError);
    gHostIOErrorHandler = XSetIOErrorHandler(OnIOError);
    gHandlersInstalled = true;
  }
  for (int i = 0; i < kMaxConnections; ++i)
    if (!gDisplays[i]) {
      gDisplays[i] = display;
      gConnections[i] = c;
      return true;
    }
  return false;
}

void Unregister(Display* display) {
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  for (int i = 0; i < kMaxConnections; ++i)
    if (gDisplays[i] == display) {
      gDisplays[i] = nullptr;
      gConnections[i] = nullptr;
    }
}
}  // namespace

bool X11Connection::Open(KIT_String* error) {
  Close();
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    error->Set("no X display: DISPLAY is not set");
    return false;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    error->Set("cannot open X display '");
    error->Append(name);
    error->Append("'");
    return false;
  }
  if (!Register(this, display)) {
    XCloseDisplay(display);
    error->Set("too many editor windows are open");
    return false;
  }
  XSetIOErrorExitHandler(display, OnIOErrorExit, this);
  mDisplay = display;
  mLost = false;
  mReported = false;
  return true;
}

void X11Connection::Close() {
  if (!mDisplay) return;
  Display* display = mDisplay;
  mDisplay = nullptr;
  // After an I/O error every request returns at once, so closing only
  // frees the structures and the socket.
  XCloseDisplay(display);
  Unregister(display);
}

void X11Connection::BeginTrap() {
  if (!mDisplay || mLost) return;
  XSync(mDisplay, False);
  mTrapping = true;
  mTrappedError = Success;
}

int X11Connection::EndTrap() {
  if (mDisplay && !mLost) XSync(mDisplay, False);
  mTrapping = false;
  return mLost ? BadImplementation : mTrappedError;
}

void X11Connection::NoteError(const XErrorEvent& error) {
  if (mTrapping) {
    if (mTrappedError == Success) mTrappedError = error.error_code;
    return;
  }
  if (mReported) return;
  mReported = true;
  char text[128];
  XGetErrorText(error.display, error.error_code, text, sizeof(text));
  std::fprintf(stderr, "editor: X error on the editor's window: %s (request %d)\n", text, error.request_code);
}
