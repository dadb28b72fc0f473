#include "clap/CLAPTestHost.h"

#include <dlfcn.h>
#include <poll.h>

#include <chrono>
#include <cstring>

namespace {

const char* const kPluginID = "org.velmora-rirevovizod.tonnik-pro";

template <class Event>
std::vector<uint8_t> Bytes(const Event& ev) {
  std::vector<uint8_t> bytes(sizeof ev);
  std::memcpy(bytes.data(), &ev, sizeof ev);
  return bytes;
}

clap_event_header_t Header(uint32_t size, uint32_t time, uint16_t type) {
  return {size, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
}

struct ReadStream {
  const std::vector<uint8_t>* bytes;
  size_t at;
  size_t piece;
  long failAfter;
};

}  // namespace

CLAPModuleFile::CLAPModuleFile(const std::string& path) {
  mLibrary = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (mLibrary) mEntry = static_cast<const clap_plugin_entry_t*>(dlsym(mLibrary, "clap_entry"));
}

// The module stays loaded: its editors' caches live as long as the process.
CLAPModuleFile::~CLAPModuleFile() = default;

CLAPEventList::CLAPEventList() {
  mList.ctx = this;
  mList.size = [](const clap_input_events_t* l) {
    return (uint32_t) static_cast<const CLAPEventList*>(l->ctx)->mEvents.size();
  };
  mList.get = [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
    const auto& events = static_cast<const CLAPEventList*>(l->ctx)->mEvents;
    return i < events.size() ? reinterpret_cast<const clap_event_header_t*>(events[i].data()) : nullptr;
  };
}

void CLAPEventList::Note(uint32_t time, int key, double velocity, int channel) {
  clap_event_note_t ev = {Header(sizeof ev, time, CLAP_EVENT_NOTE_ON), -1, 0, (int16_t)channel, (int16_t)key,
                          velocity};
  mEvents.push_back(Bytes(ev));
}

void CLAPEventList::Midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  clap_event_midi_t ev = {Header(sizeof ev, time, CLAP_EVENT_MIDI), 0, {status, data1, data2}};
  mEvents.push_back(Bytes(ev));
}

void CLAPEventList::Param(uint32_t time, clap_id id, double value) {
  clap_event_param_value_t ev = {Header(sizeof ev, time, CLAP_EVENT_PARAM_VALUE), id, nullptr, -1, -1, -1, -1, value};
  mEvents.push_back(Bytes(ev));
}

CLAPTestHost::CLAPTestHost(const clap_plugin_entry_t* entry, Offers offers) : mEntry(entry), mOffers(offers) {
  mHost = {CLAP_VERSION, this, "Tonnik test host", "Tonnik", "", "1.0", GetExtension, nullptr, nullptr, nullptr};
  mHost.request_restart = [](const clap_host_t*) {};
  mHost.request_process = [](const clap_host_t*) {};
  mHost.request_callback = [](const clap_host_t* h) { ++Self(h)->mCallbackRequests; };
  if (mEntry) mEntry->init("");
}

CLAPTestHost::~CLAPTestHost() {
  for (const clap_plugin_t* p : mPlugins) p->destroy(p);
  if (mEntry) mEntry->deinit();
}

const void* CLAPTestHost::GetExtension(const clap_host_t* host, const char* id) {
  static const clap_host_log_t log = {[](const clap_host_t* h, int32_t, const char* msg) {
    Self(h)->mLog.push_back(msg);
  }};
  static const clap_host_thread_check_t threads = {[](const clap_host_t* h) { return Self(h)->mIsMainThread; },
                                                   [](const clap_host_t* h) { return !Self(h)->mIsMainThread; }};
  static const clap_host_params_t params = {[](const clap_host_t* h, uint32_t) { ++Self(h)->mRescans; },
                                            [](const clap_host_t*, clap_id, uint32_t) {},
                                            [](const clap_host_t* h) { ++Self(h)->mFlushRequests; }};
  static const clap_host_state_t state = {[](const clap_host_t* h) { ++Self(h)->mDirtyMarks; }};
  static const clap_host_gui_t gui = {
      [](const clap_host_t*) {}, [](const clap_host_t*, uint32_t, uint32_t) { return false; },
      [](const clap_host_t*) { return false; }, [](const clap_host_t*) { return false; },
      [](const clap_host_t* h, bool) { ++Self(h)->mClosedWindows; }};
  static const clap_host_timer_support_t timers = {
      [](const clap_host_t* h, uint32_t period, clap_id* id) {
        *id = Self(h)->mNextTimer++;
        Self(h)->mTimers[*id] = period;
        return true;
      },
      [](const clap_host_t* h, clap_id id) { return Self(h)->mTimers.erase(id) == 1; }};
  static const clap_host_posix_fd_support_t fds = {
      [](const clap_host_t* h, int fd, uint32_t flags) {
        Self(h)->mFds[fd] = flags;
        return true;
      },
      [](const clap_host_t* h, int fd, uint32_t flags) {
        Self(h)->mFds[fd] = flags;
        return true;
      },
      [](const clap_host_t* h, int fd) { return Self(h)->mFds.erase(fd) == 1; }};
  const Offers& offers = Self(host)->mOffers;
  const std::string name = id ? id : "";
  if (name == CLAP_EXT_LOG) return &log;
  if (name == CLAP_EXT_THREAD_CHECK && offers.mThreadCheck) return &threads;
  if (name == CLAP_EXT_PARAMS) return &params;
  if (name == CLAP_EXT_STATE) return &state;
  if (name == CLAP_EXT_GUI) return &gui;
  if (name == CLAP_EXT_TIMER_SUPPORT && offers.mTimers) return &timers;
  if (name == CLAP_EXT_POSIX_FD_SUPPORT && offers.mFds) return &fds;
  return nullptr;
}

const clap_plugin_t* CLAPTestHost::Create() {
  if (!mEntry) return nullptr;
  auto factory = static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  const clap_plugin_t* plugin = factory ? factory->create_plugin(factory, &mHost, kPluginID) : nullptr;
  if (!plugin) return nullptr;
  if (!plugin->init(plugin)) {
    plugin->destroy(plugin);
    return nullptr;
  }
  mPlugins.push_back(plugin);
  return plugin;
}

clap_output_events_t CLAPTestHost::SentList() {
  return {this, [](const clap_output_events_t* l, const clap_event_header_t* ev) {
            CLAPSentEvent e = {ev->type, ev->time, CLAP_INVALID_ID, 0.0, ev->flags};
            if (ev->type == CLAP_EVENT_PARAM_VALUE) {
              auto* pv = reinterpret_cast<const clap_event_param_value_t*>(ev);
              e.mParamID = pv->param_id;
              e.mValue = pv->value;
            } else {
              e.mParamID = reinterpret_cast<const clap_event_param_gesture_t*>(ev)->param_id;
            }
            static_cast<CLAPTestHost*>(l->ctx)->mSent.push_back(e);
            return true;
          }};
}

int32_t CLAPTestHost::Process(const clap_plugin_t* plugin, uint32_t n, const CLAPEventList& events) {
  mLeft.assign(n, -9.0f);
  mRight.assign(n, -9.0f);
  float* channels[2] = {mLeft.data(), mRight.data()};
  clap_audio_buffer_t out = {channels, nullptr, 2, 0, 0};
  const clap_output_events_t sent = SentList();
  const clap_process_t process = {0, n, nullptr, nullptr, &out, 0, 1, events.List(), &sent};
  return plugin->process(plugin, &process);
}

void CLAPTestHost::Flush(const clap_plugin_t* plugin, const CLAPEventList& events) {
  const clap_output_events_t sent = SentList();
  Extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS)->flush(plugin, events.List(), &sent);
}

std::vector<uint8_t> CLAPTestHost::Save(const clap_plugin_t* plugin) {
  std::vector<uint8_t> bytes;
  clap_ostream_t stream = {&bytes, [](const clap_ostream_t* s, const void* buffer, uint64_t size) -> int64_t {
                             auto* out = static_cast<std::vector<uint8_t>*>(s->ctx);
                             // A host may take less than it is offered.
                             const uint64_t n = size > 5 ? 5 : size;
                             out->insert(out->end(), (const uint8_t*)buffer, (const uint8_t*)buffer + n);
                             return (int64_t)n;
                           }};
  auto state = Extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE);
  if (!state->save(plugin, &stream)) bytes.clear();
  return bytes;
}

bool CLAPTestHost::Load(const clap_plugin_t* plugin, const std::vector<uint8_t>& bytes, size_t piece, long failAfter) {
  ReadStream source = {&bytes, 0, piece, failAfter};
  clap_istream_t stream = {&source, [](const clap_istream_t* s, void* buffer, uint64_t size) -> int64_t {
                             auto* src = static_cast<ReadStream*>(s->ctx);
                             if (src->failAfter >= 0 && src->at >= (size_t)src->failAfter) return -1;
                             size_t n = src->bytes->size() - src->at;
                             if (n > size) n = size;
                             if (n > src->piece) n = src->piece;
                             std::memcpy(buffer, src->bytes->data() + src->at, n);
                             src->at += n;
                             return (int64_t)n;
                           }};
  auto state = Extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE);
  return state->load(plugin, &stream);
}

void CLAPTestHost::RunEditor(const clap_plugin_t* plugin, int ms) {
  auto timers = Extension<clap_plugin_timer_support_t>(plugin, CLAP_EXT_TIMER_SUPPORT);
  auto fds = Extension<clap_plugin_posix_fd_support_t>(plugin, CLAP_EXT_POSIX_FD_SUPPORT);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    std::vector<pollfd> watched;
    for (const auto& fd : mFds) watched.push_back({fd.first, POLLIN, 0});
    uint32_t period = 40;
    for (const auto& t : mTimers) period = t.second < period ? t.second : period;
    poll(watched.data(), watched.size(), (int)period);
    for (const pollfd& p : watched)
      if (p.revents & POLLIN) fds->on_fd(plugin, p.fd, CLAP_POSIX_FD_READ);
    const std::map<clap_id, uint32_t> due = mTimers;
    for (const auto& t : due) timers->on_timer(plugin, t.first);
  }
}
