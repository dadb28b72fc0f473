#pragma once
// A CLAP host for tests, benchmarks and the GUI test: it loads a module
// (dlopen, or an entry record linked in), creates the plug-in through the
// factory, offers log, thread-check, params, state, gui, timer-support and
// posix-fd-support (each can be withheld), keeps what the plug-in tells
// it, and builds the event lists of a process or flush call. Main thread.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "clap/ClapExtensions.h"

// A module file loaded as a host loads it; Entry() is null when it failed.
class CLAPModuleFile {
public:
  explicit CLAPModuleFile(const std::string& path);
  ~CLAPModuleFile();
  CLAPModuleFile(const CLAPModuleFile&) = delete;
  CLAPModuleFile& operator=(const CLAPModuleFile&) = delete;
  const clap_plugin_entry_t* Entry() const { return mEntry; }

private:
  void* mLibrary = nullptr;
  const clap_plugin_entry_t* mEntry = nullptr;
};

// An input event list of notes, MIDI and parameter values, in the order added.
class CLAPEventList {
public:
  CLAPEventList();
  void Note(uint32_t time, int key, double velocity, int channel = 0);
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

// What the host offers besides its core and its log, params, state and gui.
struct CLAPHostOffers {
  bool mTimers = true;
  bool mFds = true;
  bool mThreadCheck = true;
};

class CLAPTestHost {
public:
  using Offers = CLAPHostOffers;
  explicit CLAPTestHost(const clap_plugin_entry_t* entry, Offers offers = Offers());
  ~CLAPTestHost();
  CLAPTestHost(const CLAPTestHost&) = delete;
  CLAPTestHost& operator=(const CLAPTestHost&) = delete;

  // A new, initialised instance of the module's plug-in (null on failure);
  // the host destroys it with itself.
  const clap_plugin_t* Create();
  template <class Ext>
  const Ext* Extension(const clap_plugin_t* plugin, const char* id) const {
    return static_cast<const Ext*>(plugin->get_extension(plugin, id));
  }

  // One process call of n frames into Left()/Right(), with these events;
  // what the plug-in sends goes to Sent().
  int32_t Process(const clap_plugin_t* plugin, uint32_t n, const CLAPEventList& events);
  void Flush(const clap_plugin_t* plugin, const CLAPEventList& events);
  const std::vector<float>& Left() const { return mLeft; }
  const std::vector<float>& Right() const { return mRight; }

  // The state the plug-in saves; Load hands bytes in pieces of at most
  // piece bytes, or fails the read after failAfter bytes (-1: never).
  std::vector<uint8_t> Save(const clap_plugin_t* plugin);
  bool Load(const clap_plugin_t* plugin, const std::vector<uint8_t>& bytes, size_t piece = 7, long failAfter = -1);

  // Runs the editor's timers and fd watches as a host's loop would, for ms
  // milliseconds.
  void RunEditor(const clap_plugin_t* plugin, int ms);

  // What the plug-in told the host.
  std::vector<std::string> mLog;
  std::vector<CLAPSentEvent> mSent;
  int mFlushRequests = 0;
  int mCallbackRequests = 0;
  int mDirtyMarks = 0;
  int mRescans = 0;
  int mClosedWindows = 0;
  std::map<clap_id, uint32_t> mTimers;  // id -> period in ms
  std::map<int, uint32_t> mFds;         // fd -> flags
  bool mIsMainThread = true;

private:
  static const void* GetExtension(const clap_host_t* host, const char* id);
  static CLAPTestHost* Self(const clap_host_t* host) { return static_cast<CLAPTestHost*>(host->host_data); }
  // An output list that appends to mSent.
  clap_output_events_t SentList();

  const clap_plugin_entry_t* mEntry;
  Offers mOffers;
  clap_host_t mHost;
  std::vector<const clap_plugin_t*> mPlugins;
  std::vector<float> mLeft, mRight;
  clap_id mNextTimer = 1;
};
