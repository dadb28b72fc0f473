#include "clap/CLAPHost.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Longest log line handed to the host; longer lines are cut.
const int kLogLineBytes = 512;

template <class Extension>
const Extension* Lookup(const clap_host_t* host, const char* id) {
  if (!host || !host->get_extension) return nullptr;
  return static_cast<const Extension*>(host->get_extension(host, id));
}

}  // namespace

CLAPHost CLAPHost::Read(const clap_host_t* host) {
  CLAPHost found;
  found.mHost = host;
  found.mLog = Lookup<clap_host_log_t>(host, CLAP_EXT_LOG);
  found.mThreadCheck = Lookup<clap_host_thread_check_t>(host, CLAP_EXT_THREAD_CHECK);
  found.mParams = Lookup<clap_host_params_t>(host, CLAP_EXT_PARAMS);
  found.mState = Lookup<clap_host_state_t>(host, CLAP_EXT_STATE);
  found.mGUI = Lookup<clap_host_gui_t>(host, CLAP_EXT_GUI);
  found.mTimers = Lookup<clap_host_timer_support_t>(host, CLAP_EXT_TIMER_SUPPORT);
  found.mFds = Lookup<clap_host_posix_fd_support_t>(host, CLAP_EXT_POSIX_FD_SUPPORT);
  // An extension without the functions this adapter calls is no extension.
  if (found.mLog && !found.mLog->log) found.mLog = nullptr;
  if (found.mThreadCheck && (!found.mThreadCheck->is_main_thread || !found.mThreadCheck->is_audio_thread))
    found.mThreadCheck = nullptr;
  if (found.mParams && !found.mParams->request_flush) found.mParams = nullptr;
  if (found.mState && !found.mState->mark_dirty) found.mState = nullptr;
  if (found.mTimers && (!found.mTimers->register_timer || !found.mTimers->unregister_timer)) found.mTimers = nullptr;
  if (found.mFds && (!found.mFds->register_fd || !found.mFds->unregister_fd)) found.mFds = nullptr;
  return found;
}

void CLAPHost::Log(int32_t severity, const char* plugName, const char* format, ...) const {
  char line[kLogLineBytes];
  const int prefix = std::snprintf(line, sizeof line, "%s: ", plugName);
  va_list args;
  va_start(args, format);
  if (prefix >= 0 && prefix < kLogLineBytes) std::vsnprintf(line + prefix, sizeof line - (size_t)prefix, format, args);
  va_end(args);
  if (mLog)
    mLog->log(mHost, severity, line);
  else
    std::fprintf(stderr, "%s\n", line);
}

bool CLAPHost::OnMainThread() const { return !mThreadCheck || mThreadCheck->is_main_thread(mHost); }

bool CLAPHost::OnAudioThread() const { return mThreadCheck && mThreadCheck->is_audio_thread(mHost); }

void CLAPHost::RequestFlush() const {
  if (mParams) mParams->request_flush(mHost);
}

void CLAPHost::RequestCallback() const {
  if (mHost && mHost->request_callback) mHost->request_callback(mHost);
}

void CLAPHost::MarkDirty() const {
  if (mState) mState->mark_dirty(mHost);
}
