#include "clap/CLAPTestHost.h"

#include <dlfcn.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

const char* const kPluginID = "org.velmora-rirevovizod.tonnik-pro";

template <class Event>
std::vector<uint8_t> Bytes(const Event& ev) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&ev);
  return std::vector<uint8_t>(p, p + sizeof ev);
}

clap_event_header_t Header(uint32_t size, uint32_t time, uint16_t type) {
  return {size, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
}

struct ReadStream {
  const std::vector<uint8_t>* bytes;
  size_t at, piece;
  long failAfter;
};

}  // namespace

CLAPModuleFile::CLAPModuleFile(const std::string& path) {
  if (void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    mEntry = static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry"));
}

CLAPEventList::CLAPEventList() {
  mList.ctx = this;
  mList.size = [](const clap_input_events_t* l) {
    return (uint32_t) static_cast<const CLAPEventList*>(l->ctx)->mEvents.size();
  };
  mList.get = [](const clap_input_events_t* l, uint32_t i) {
    return reinterpret_cast<const clap_event_header_t*>(static_cast<const CLAPEventList*>(l->ctx)->mEvents[i].data());
  };
}

void CLAPEventList::Note(uint32_t time, int key, double velocity) {
  mEvents.push_back(Bytes(clap_event_note_t{Header(sizeof(clap_event_note_t), time, CLAP_EVENT_NOTE_ON), -1, 0, 0,
                                            (int16_t)key, velocity}));
}

void CLAPEventList::Midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  mEvents.push_back(
      Bytes(clap_event_midi_t{Header(sizeof(clap_event_midi_t), time, CLAP_EVENT_MIDI), 0, {status, data1, data2}}));
}

void CLAPEventList::Param(uint32_t time, clap_id id, double value) {
  mEvents.push_back(Bytes(clap_event_param_value_t{
      Header(sizeof(clap_event_param_value_t), time, CLAP_EVENT_PARAM_VALUE), id, nullptr, -1, -1, -1, -1, value}));
}

CLAPTestHost::CLAPTestHost(const clap_plugin_entry_t* entry, bool offerFdWatch)
    : mEntry(entry), mOfferFdWatch(offerFdWatch) {
  mHost = {CLAP_VERSION, this, "Tonnik test host", "Tonnik", "", "1.0", GetExtension,
           [](const clap_host_t*) {}, [](const clap_host_t*) {},
           [](const clap_host_t* h) { ++Self(h)->mCallbackRequests; }};
  if (mEntry) mEntry->init("");
}

CLAPTestHost::~CLAPTestHost() {
  for (const clap_plugin_t* p : mPlugins) p->destroy(p);
  if (mEntry) mEntry->deinit();
}

const void* CLAPTestHost::GetExtension(const clap_host_t* host, const char* id) {
  static const clap_host_log_t log = {
      [](const clap_host_t* h, int32_t, const char* msg) { Self(h)->mLog.push_back(msg); }};
  static const clap_host_thread_check_t threads = {[](const clap_host_t*) { return true; },
                                                   [](const clap_host_t*) { return false; }};
  static const clap_host_params_t params = {[](const clap_host_t*, uint32_t) {},
                                            [](const clap_host_t*, clap_id, uint32_t) {},
                                            [](const clap_host_t* h) { ++Self(h)->mFlushRequests; }};
  static const clap_host_state_t state = {[](const clap_host_t* h) { ++Self(h)->mDirtyMarks; }};
  static const clap_host_timer_support_t timers = {
      [](const clap_host_t* h, uint32_t period, clap_id* id) {
        Self(h)->mTimers[*id = Self(h)->mNextTimer++] = period;
        return true;
      },
      [](const clap_host_t* h, clap_id id) { return Self(h)->mTimers.erase(id) == 1; }};
  static const clap_host_posix_fd_support_t fds = {
      [](const clap_host_t* h, int fd, uint32_t flags) { return Self(h)->mFds.emplace(fd, flags).second; },
      [](const clap_host_t*, int, uint32_t) { return false; },
      [](const clap_host_t* h, int fd) { return Self(h)->mFds.erase(fd) == 1; }};
  const std::map<std::string, const void*> offered = {
      {CLAP_EXT_LOG, &log},       {CLAP_EXT_THREAD_CHECK, &threads}, {CLAP_EXT_PARAMS, &params},
      {CLAP_EXT_STATE, &state},   {CLAP_EXT_TIMER_SUPPORT, &timers},
      {CLAP_EXT_POSIX_FD_SUPPORT, Self(host)->mOfferFdWatch ? &fds : nullptr}};
  const auto found = offered.find(id);
  return found == offered.end() ? nullptr : found->second;
}

const clap_plugin_t* CLAPTestHost::Create() {
  auto factory = static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  const clap_plugin_t* plugin = factory ? factory->create_plugin(factory, &mHost, kPluginID) : nullptr;
  if (plugin && !plugin->init(plugin)) {
    plugin->destroy(plugin);
    return nullptr;
  }
  if (plugin) mPlugins.push_back(plugin);
  return plugin;
}

clap_output_events_t CLAPTestHost::SentList() {
  return {this, [](const clap_output_events_t* l, const clap_event_header_t* ev) {
            CLAPSentEvent e = {ev->type, ev->time, reinterpret_cast<const clap_event_param_gesture_t*>(ev)->param_id,
                               0.0, ev->flags};
            if (ev->type == CLAP_EVENT_PARAM_VALUE) e.mValue = reinterpret_cast<const clap_event_param_value_t*>(ev)->value;
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
  const clap_ostream_t stream = {&bytes, [](const clap_ostream_t* s, const void* buffer, uint64_t size) {
                                   const uint64_t n = size > 5 ? 5 : size;
                                   auto* out = static_cast<std::vector<uint8_t>*>(s->ctx);
                                   out->insert(out->end(), (const uint8_t*)buffer, (const uint8_t*)buffer + n);
                                   return (int64_t)n;
                                 }};
  if (!Extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE)->save(plugin, &stream)) bytes.clear();
  return bytes;
}

bool CLAPTestHost::Load(const clap_plugin_t* plugin, const std::vector<uint8_t>& bytes, size_t piece, long failAfter) {
  ReadStream source = {&bytes, 0, piece, failAfter};
  const clap_istream_t stream = {&source, [](const clap_istream_t* s, void* buffer, uint64_t size) -> int64_t {
                                   auto* src = static_cast<ReadStream*>(s->ctx);
                                   if (src->failAfter >= 0 && src->at >= (size_t)src->failAfter) return -1;
                                   const size_t n = std::min({src->bytes->size() - src->at, (size_t)size, src->piece});
                                   std::memcpy(buffer, src->bytes->data() + src->at, n);
                                   src->at += n;
                                   return (int64_t)n;
                                 }};
  return Extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE)->load(plugin, &stream);
}

void CLAPTestHost::RunEditor(const clap_plugin_t* plugin, int ms) {
  auto timers = Extension<clap_plugin_timer_support_t>(plugin, CLAP_EXT_TIMER_SUPPORT);
  auto fds = Extension<clap_plugin_posix_fd_support_t>(plugin, CLAP_EXT_POSIX_FD_SUPPORT);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    std::vector<pollfd> watched;
    for (const auto& fd : mFds) watched.push_back({fd.first, POLLIN, 0});
    poll(watched.data(), watched.size(), mTimers.empty() ? 10 : (int)mTimers.begin()->second);
    for (const pollfd& p : watched)
      if (p.revents & POLLIN) fds->on_fd(plugin, p.fd, CLAP_POSIX_FD_READ);
    const std::map<clap_id, uint32_t> due = mTimers;
    for (const auto& t : due) timers->on_timer(plugin, t.first);
  }
}
