#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {
// How long the server may take to say its display number.
const int kStartTimeoutMs = 10000;
}  // namespace

bool XvfbServer::Start() {
  Stop();
  int fds[2];
  if (pipe(fds) != 0) return false;
  mPid = fork();
  if (mPid < 0) return false;
  if (mPid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(fds[0]);
    dup2(fds[1], 3);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "640x700x24", "-nolisten", "tcp", "-noreset", nullptr);
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p = {fds[0], POLLIN, 0};
  char c;
  while (poll(&p, 1, kStartTimeoutMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    Stop();
    return false;
  }
  mDisplay = ":" + number;
  setenv("DISPLAY", mDisplay.c_str(), 1);
  return true;
}

void XvfbServer::Stop() {
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
  mPid = -1;
}
