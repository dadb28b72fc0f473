#pragma once
// A private Xvfb for one test or benchmark program: it picks a free display
// number itself (-displayfd), never resets between clients, and dies with
// the program whatever happens to it. Main thread.

#include <sys/types.h>

#include <string>

class XvfbServer {
public:
  XvfbServer() = default;
  // Ends the server.
  ~XvfbServer() { Stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Starts it and points DISPLAY at it; false when Xvfb is missing or did
  // not answer within ten seconds.
  bool Start();
  void Stop();
  const std::string& Display() const { return mDisplay; }

private:
  pid_t mPid = -1;
  std::string mDisplay;
};
