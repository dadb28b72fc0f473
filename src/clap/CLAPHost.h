#pragma once
// What a CLAP host offers a plug-in instance, read once when the instance
// is initialised: the host record itself and the host extensions the
// adapter uses, each null when the host lacks it (or gives one without the
// functions it needs). Log() writes through the host's log when it has
// one, to stderr otherwise.
//
// Ownership: every pointer belongs to the host and lives as long as the
// instance. Threads: the record is read-only after Read(); the host
// declares its log thread-safe, as are request_callback and request_flush.

#include "clap/ClapExtensions.h"

struct CLAPHost {
  const clap_host_t* mHost = nullptr;
  const clap_host_log_t* mLog = nullptr;
  const clap_host_thread_check_t* mThreadCheck = nullptr;
  const clap_host_params_t* mParams = nullptr;
  const clap_host_state_t* mState = nullptr;
  const clap_host_gui_t* mGUI = nullptr;
  const clap_host_timer_support_t* mTimers = nullptr;
  const clap_host_posix_fd_support_t* mFds = nullptr;

  // Looks every extension up on host (which may be null).
  static CLAPHost Read(const clap_host_t* host);

  // One line, prefixed with the plug-in's name; printf-style.
  void Log(int32_t severity, const char* plugName, const char* format, ...) const
      __attribute__((format(printf, 4, 5)));
  // True unless the host says the calling thread is not its main thread.
  bool OnMainThread() const;
  // True only when the host says the calling thread is its audio thread.
  bool OnAudioThread() const;
  void RequestFlush() const;
  void RequestCallback() const;
  void MarkDirty() const;
};
