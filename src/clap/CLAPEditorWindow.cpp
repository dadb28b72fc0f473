#include "clap/CLAPEditorWindow.h"

#include <new>

#include "clap/IPluginCLAP.h"
#include "platform/IGraphicsX11.h"

namespace {
const uint32_t kMsPerSecond = 1000;
}  // namespace

std::unique_ptr<CLAPEditorWindow> CLAPEditorWindow::Create(IPluginCLAP* plug) {
  const CLAPHost& host = plug->Host();
  if (!host.mTimers || !host.mFds) {
    host.Log(CLAP_LOG_ERROR, plug->GetEffectName(),
             "the host offers no %s; the editor needs the host's timers and its watch on the X connection",
             !host.mTimers ? "timer-support" : "posix-fd-support");
    return nullptr;
  }
  IGraphicsX11* gui = dynamic_cast<IGraphicsX11*>(plug->GetGUI());
  if (!gui) {
    host.Log(CLAP_LOG_ERROR, plug->GetEffectName(), "the plug-in has no X11 editor; not shown");
    return nullptr;
  }
  if (gui->WindowIsOpen()) {
    host.Log(CLAP_LOG_ERROR, plug->GetEffectName(), "the editor is already shown by another window");
    return nullptr;
  }
  return std::unique_ptr<CLAPEditorWindow>(new (std::nothrow) CLAPEditorWindow(plug, gui));
}

CLAPEditorWindow::~CLAPEditorWindow() {
  StopTimer();
  const CLAPHost& host = mPlug->Host();
  if (mFd >= 0) host.mFds->unregister_fd(host.mHost, mFd);
  mGUI->CloseWindow();
}

uint32_t CLAPEditorWindow::Width() const { return (uint32_t)mGUI->ScreenWidth(); }
uint32_t CLAPEditorWindow::Height() const { return (uint32_t)mGUI->ScreenHeight(); }
bool CLAPEditorWindow::SetScale(double scale) { return mGUI->SetScreenScale(scale); }

bool CLAPEditorWindow::SetParent(unsigned long parentWindow) {
  const CLAPHost& host = mPlug->Host();
  if (mGUI->WindowIsOpen() || parentWindow == 0) return false;
  if (!mGUI->OpenWindow(reinterpret_cast<void*>(parentWindow))) {
    host.Log(CLAP_LOG_ERROR, mPlug->GetEffectName(), "the editor's window could not be made: %s",
             mGUI->GetLastError());
    return false;
  }
  const int fd = mGUI->ConnectionFd();
  if (fd < 0 || !host.mFds->register_fd(host.mHost, fd, CLAP_POSIX_FD_READ) || !StartTimer()) {
    host.Log(CLAP_LOG_ERROR, mPlug->GetEffectName(), "the host would not watch the editor's X connection or time it");
    if (fd >= 0 && mTimer == CLAP_INVALID_ID) host.mFds->unregister_fd(host.mHost, fd);
    mGUI->CloseWindow();
    return false;
  }
  mFd = fd;
  return true;
}

bool CLAPEditorWindow::Show() { return mGUI->WindowIsOpen() && StartTimer(); }

bool CLAPEditorWindow::Hide() {
  StopTimer();
  return true;
}

bool CLAPEditorWindow::StartTimer() {
  if (mTimer != CLAP_INVALID_ID) return true;
  const CLAPHost& host = mPlug->Host();
  const int fps = mGUI->FPS() > 0 ? mGUI->FPS() : 1;
  clap_id id = CLAP_INVALID_ID;
  if (!host.mTimers->register_timer(host.mHost, kMsPerSecond / (uint32_t)fps, &id)) return false;
  mTimer = id;
  return true;
}

void CLAPEditorWindow::StopTimer() {
  if (mTimer == CLAP_INVALID_ID) return;
  const CLAPHost& host = mPlug->Host();
  host.mTimers->unregister_timer(host.mHost, mTimer);
  mTimer = CLAP_INVALID_ID;
}

void CLAPEditorWindow::OnTimer(clap_id timerID) {
  if (timerID != mTimer || mTimer == CLAP_INVALID_ID) return;
  if (!mGUI->Idle()) WindowGone();
  mPlug->PublishParamNews();
}

void CLAPEditorWindow::OnFd(int fd, uint32_t flags) {
  if (fd != mFd || mFd < 0) return;
  mGUI->HandleEvents();
  if (!mGUI->WindowIsOpen()) WindowGone();
  mPlug->PublishParamNews();
}

void CLAPEditorWindow::WindowGone() {
  const CLAPHost& host = mPlug->Host();
  StopTimer();
  if (mFd >= 0) host.mFds->unregister_fd(host.mHost, mFd);
  mFd = -1;
  host.Log(CLAP_LOG_WARNING, mPlug->GetEffectName(), "the editor's window ended: %s", mGUI->GetLastError());
  if (host.mGUI && host.mGUI->closed) host.mGUI->closed(host.mHost, true);
}
