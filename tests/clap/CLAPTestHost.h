#pragma once
// A CLAP host for tests and benchmarks: it creates the plug-in through a
// module's entry (dlopen'd with CLAPModuleFile, or linked in), offers log,
// thread-check, params, state, timer-support and posix-fd-support (the
// last can be withheld), keeps what the plug-in tells it, and builds the
// event lists of process and flush calls. Main thread.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "clap/ClapExtensions.h"

// A module file loaded as a host loads it; Entry() is null when it failed.
// The file stays loaded: its editors' caches live as long as the process.
class CLAPModuleFile {
public:
  explicit CLAPModuleFile(const std::string& path);
  const clap_plugin_entry_t* Entry() const { return mEntry; }

private:
  const clap_plugin_entry_t* mEntry = nullptr;
};

// An input event list of notes, MIDI and parameter values, in the order added.
class CLAPEventList {
public:
  CLAPEventList();
  void Note(uint32_t time, int key, double velocity);
  void Midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
  void Param(uint32_t time, clap_id id, double value);
  void Clear() { mEvents.clear(); }
  const clap_input_events_t* List() const { return &mList; }

private:
  std::vector<std::vector<uint8_t>> mEvents;
  clap_input_events_t mList;
};

// A parameter event the plug-in sent.
struct CLAPSentEvent {
  uint16_t mType;
  uint32_t mTime;
  clap_id mParamID;
  double mValue;
  uint32_t mFlags;
};

class CLAPTestHost {
public:
  explicit CLAPTestHost(const clap_plugin_entry_t* entry, bool offerFdWatch = true);
  ~CLAPTestHost();
  CLAPTestHost(const CLAPTestHost&) = delete;
  CLAPTestHost& operator=(const CLAPTestHost&) = delete;

  // A new, initialised instance (null on failure), destroyed with the host.
  const clap_plugin_t* Create();
  template <class Ext>
  const Ext* Extension(const clap_plugin_t* plugin, const char* id) const {
    return static_cast<const Ext*>(plugin->get_extension(plugin, id));
  }

  // n frames into Left()/Right() with these events; what the plug-in sends
  // goes to mSent, from process and flush alike.
  int32_t Process(const clap_plugin_t* plugin, uint32_t n, const CLAPEventList& events);
  void Flush(const clap_plugin_t* plugin, const CLAPEventList& events);
  const std::vector<float>& Left() const { return mLeft; }
  const std::vector<float>& Right() const { return mRight; }

  // The plug-in's state, taken 5 bytes at a time; Load hands it back in
  // pieces of at most piece bytes and fails the read after failAfter bytes
  // (-1: never).
  std::vector<uint8_t> Save(const clap_plugin_t* plugin);
  bool Load(const clap_plugin_t* plugin, const std::vector<uint8_t>& bytes, size_t piece = 7, long failAfter = -1);

  // Runs the editor's timers and fd watches as a host's loop does, for ms.
  void RunEditor(const clap_plugin_t* plugin, int ms);

  std::vector<std::string> mLog;
  std::vector<CLAPSentEvent> mSent;
  int mFlushRequests = 0;
  int mCallbackRequests = 0;
  int mDirtyMarks = 0;
  std::map<clap_id, uint32_t> mTimers;  // id -> period in ms
  std::map<int, uint32_t> mFds;         // fd -> flags

private:
  static const void* GetExtension(const clap_host_t* host, const char* id);
  static CLAPTestHost* Self(const clap_host_t* host) { return static_cast<CLAPTestHost*>(host->host_data); }
  clap_output_events_t SentList();

  const clap_plugin_entry_t* mEntry;
  bool mOfferFdWatch;
  clap_host_t mHost;
  std::vector<const clap_plugin_t*> mPlugins;
  std::vector<float> mLeft, mRight;
  clap_id mNextTimer = 1;
};
