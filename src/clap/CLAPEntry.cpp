// The module's entry, its plug-in factory, the clap_plugin record of each
// instance and the extension tables, all forwarding to IPluginCLAP.

#include "clap/CLAPEntry.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "clap/CLAPEditorWindow.h"
#include "clap/CLAPProduct.h"
#include "clap/IPluginCLAP.h"

namespace {

// One instance as the host holds it: the record it calls through, and the
// plug-in behind it.
struct Instance {
  clap_plugin_t mRecord;
  std::unique_ptr<IPluginCLAP> mPlug;
  const clap_host_t* mHost;
};

IPluginCLAP* Plug(const clap_plugin_t* plugin) { return static_cast<Instance*>(plugin->plugin_data)->mPlug.get(); }

// Calls the host makes on its main thread; one made elsewhere is refused.
bool OnMain(IPluginCLAP* plug, const char* what) {
  if (plug->Host().OnMainThread()) return true;
  plug->Host().Log(CLAP_LOG_HOST_MISBEHAVING, plug->GetEffectName(), "%s called off the main thread; refused", what);
  return false;
}

// ---- Audio and note ports ----

const uint32_t kStereo = 2;

uint32_t AudioPortCount(const clap_plugin_t*, bool isInput) { return isInput ? 0 : 1; }

bool AudioPortGet(const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
  if (isInput || index != 0 || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  std::snprintf(info->name, sizeof info->name, "%s", "Output");
  info->flags = CLAP_AUDIO_PORT_IS_MAIN;
  info->channel_count = kStereo;
  info->port_type = CLAP_PORT_STEREO;
  info->in_place_pair = CLAP_INVALID_ID;
  return true;
}

uint32_t NotePortCount(const clap_plugin_t*, bool isInput) { return isInput ? 1 : 0; }

bool NotePortGet(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
  if (!isInput || index != 0 || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
  info->preferred_dialect = CLAP_NOTE_DIALECT_CLAP;
  std::snprintf(info->name, sizeof info->name, "%s", "Notes");
  return true;
}

// ---- Parameters, state, latency ----

uint32_t ParamCount(const clap_plugin_t* p) { return (uint32_t)Plug(p)->NParams(); }
bool ParamInfo(const clap_plugin_t* p, uint32_t i, clap_param_info_t* info) { return Plug(p)->GetParamInfo(i, info); }
bool ParamValue(const clap_plugin_t* p, clap_id id, double* v) { return Plug(p)->GetParamValue(id, v); }
bool ParamToText(const clap_plugin_t* p, clap_id id, double v, char* out, uint32_t n) {
  return Plug(p)->ParamValueToText(id, v, out, n);
}
bool ParamFromText(const clap_plugin_t* p, clap_id id, const char* text, double* v) {
  return Plug(p)->ParamTextToValue(id, text, v);
}
void ParamFlush(const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t* out) {
  Plug(p)->Flush(in, out);
}

bool StateSave(const clap_plugin_t* p, const clap_ostream_t* s) {
  return OnMain(Plug(p), "state save") && Plug(p)->SaveState(s);
}
bool StateLoad(const clap_plugin_t* p, const clap_istream_t* s) {
  return OnMain(Plug(p), "state load") && Plug(p)->LoadState(s);
}

uint32_t LatencyGet(const clap_plugin_t* p) { return (uint32_t)Plug(p)->GetLatency(); }

// ---- Editor ----

bool GuiApiSupported(const clap_plugin_t*, const char* api, bool floating) {
  return api && std::strcmp(api, CLAP_WINDOW_API_X11) == 0 && !floating;
}

bool GuiPreferredApi(const clap_plugin_t*, const char** api, bool* floating) {
  if (api) *api = CLAP_WINDOW_API_X11;
  if (floating) *floating = false;
  return true;
}

bool GuiCreate(const clap_plugin_t* p, const char* api, bool floating) {
  IPluginCLAP* plug = Plug(p);
  if (!OnMain(plug, "gui create") || !GuiApiSupported(p, api, floating) || plug->EditorWindow()) return false;
  std::unique_ptr<CLAPEditorWindow> window = CLAPEditorWindow::Create(plug);
  if (!window) return false;
  plug->SetEditorWindow(std::move(window));
  return true;
}

void GuiDestroy(const clap_plugin_t* p) { Plug(p)->SetEditorWindow(nullptr); }

// The host's screen scale: the editor draws at 1 or 2 (in between, at 2
// reduced to the size); other scales are refused.
bool GuiSetScale(const clap_plugin_t* p, double scale) {
  CLAPEditorWindow* window = Plug(p)->EditorWindow();
  return window && window->SetScale(scale);
}

bool GuiGetSize(const clap_plugin_t* p, uint32_t* w, uint32_t* h) {
  CLAPEditorWindow* window = Plug(p)->EditorWindow();
  if (!window || !w || !h) return false;
  *w = window->Width();
  *h = window->Height();
  return true;
}

bool GuiCanResize(const clap_plugin_t*) { return false; }
// Hints that say the same as can_resize: hosts that ask get an answer.
bool GuiResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t* hints) {
  if (!hints) return false;
  *hints = clap_gui_resize_hints_t{false, false, false, 0, 0};
  return true;
}
bool GuiAdjustSize(const clap_plugin_t* p, uint32_t* w, uint32_t* h) { return GuiGetSize(p, w, h); }

bool GuiSetSize(const clap_plugin_t* p, uint32_t w, uint32_t h) {
  CLAPEditorWindow* window = Plug(p)->EditorWindow();
  return window && w == window->Width() && h == window->Height();
}

bool GuiSetParent(const clap_plugin_t* p, const clap_window_t* parent) {
  CLAPEditorWindow* window = Plug(p)->EditorWindow();
  if (!window || !parent || !parent->api || std::strcmp(parent->api, CLAP_WINDOW_API_X11) != 0) return false;
  return window->SetParent(parent->x11);
}

bool GuiSetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
void GuiSuggestTitle(const clap_plugin_t*, const char*) {}

bool GuiShow(const clap_plugin_t* p) {
  CLAPEditorWindow* window = Plug(p)->EditorWindow();
  return window && window->Show();
}

bool GuiHide(const clap_plugin_t* p) {
  CLAPEditorWindow* window = Plug(p)->EditorWindow();
  return window && window->Hide();
}

void OnTimer(const clap_plugin_t* p, clap_id id) {
  if (CLAPEditorWindow* window = Plug(p)->EditorWindow()) window->OnTimer(id);
}

void OnFd(const clap_plugin_t* p, int fd, uint32_t flags) {
  if (CLAPEditorWindow* window = Plug(p)->EditorWindow()) window->OnFd(fd, flags);
}

const clap_plugin_audio_ports_t kAudioPorts = {AudioPortCount, AudioPortGet};
const clap_plugin_note_ports_t kNotePorts = {NotePortCount, NotePortGet};
const clap_plugin_params_t kParams = {ParamCount, ParamInfo, ParamValue, ParamToText, ParamFromText, ParamFlush};
const clap_plugin_state_t kState = {StateSave, StateLoad};
const clap_plugin_latency_t kLatency = {LatencyGet};
const clap_plugin_gui_t kGui = {GuiApiSupported, GuiPreferredApi, GuiCreate,     GuiDestroy,      GuiSetScale,
                                GuiGetSize,      GuiCanResize,    GuiResizeHints, GuiAdjustSize,   GuiSetSize,
                                GuiSetParent,    GuiSetTransient, GuiSuggestTitle, GuiShow,        GuiHide};
const clap_plugin_timer_support_t kTimers = {OnTimer};
const clap_plugin_posix_fd_support_t kFds = {OnFd};

// One table rather than a chain of comparisons.
struct Extension {
  const char* mID;
  const void* mTable;
};
const Extension kExtensions[] = {
    {CLAP_EXT_AUDIO_PORTS, &kAudioPorts}, {CLAP_EXT_NOTE_PORTS, &kNotePorts}, {CLAP_EXT_PARAMS, &kParams},
    {CLAP_EXT_STATE, &kState},            {CLAP_EXT_LATENCY, &kLatency},      {CLAP_EXT_GUI, &kGui},
    {CLAP_EXT_TIMER_SUPPORT, &kTimers},   {CLAP_EXT_POSIX_FD_SUPPORT, &kFds},
};

// ---- The plug-in record ----

bool PlugInit(const clap_plugin_t* p) {
  Instance* instance = static_cast<Instance*>(p->plugin_data);
  return instance->mPlug->InitCLAP(instance->mHost);
}

void PlugDestroy(const clap_plugin_t* p) { delete static_cast<Instance*>(p->plugin_data); }

bool PlugActivate(const clap_plugin_t* p, double rate, uint32_t minFrames, uint32_t maxFrames) {
  return OnMain(Plug(p), "activate") && Plug(p)->Activate(rate, minFrames, maxFrames);
}

void PlugDeactivate(const clap_plugin_t* p) { Plug(p)->Deactivate(); }

bool PlugStartProcessing(const clap_plugin_t* p) {
  Plug(p)->StartProcessing();
  return true;
}

void PlugStopProcessing(const clap_plugin_t* p) { Plug(p)->StopProcessing(); }
void PlugReset(const clap_plugin_t* p) { Plug(p)->HostReset(); }
int32_t PlugProcess(const clap_plugin_t* p, const clap_process_t* process) { return Plug(p)->Process(process); }

const void* PlugExtension(const clap_plugin_t*, const char* id) {
  if (!id) return nullptr;
  for (const Extension& e : kExtensions)
    if (std::strcmp(id, e.mID) == 0) return e.mTable;
  return nullptr;
}

void PlugOnMainThread(const clap_plugin_t* p) { Plug(p)->OnMainThread(); }

// ---- The factory ----

uint32_t FactoryCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* FactoryDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? CLAPProduct().mDescriptor : nullptr;
}

const clap_plugin_t* FactoryCreate(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
  const IPluginCLAPProduct& product = CLAPProduct();
  if (!host || !id || std::strcmp(id, product.mDescriptor->id) != 0) return nullptr;
  std::unique_ptr<Instance> instance(new (std::nothrow) Instance{});
  if (!instance) return nullptr;
  instance->mPlug.reset(product.mMake());
  if (!instance->mPlug) return nullptr;
  instance->mHost = host;
  instance->mRecord = {product.mDescriptor, instance.get(), PlugInit, PlugDestroy, PlugActivate,
                       PlugDeactivate, PlugStartProcessing, PlugStopProcessing, PlugReset, PlugProcess,
                       PlugExtension, PlugOnMainThread};
  return &instance.release()->mRecord;
}

const clap_plugin_factory_t kFactory = {FactoryCount, FactoryDescriptor, FactoryCreate};

std::mutex sInitMutex;
int sInitCount = 0;

}  // namespace

bool CLAPEntryInit(const char* modulePath) {
  std::lock_guard<std::mutex> lock(sInitMutex);
  if (sInitCount == 0 && !CLAPProduct().mInit(modulePath)) return false;
  ++sInitCount;
  return true;
}

void CLAPEntryDeinit() {
  std::lock_guard<std::mutex> lock(sInitMutex);
  if (sInitCount > 0) --sInitCount;
}

const void* CLAPEntryGetFactory(const char* factoryID) {
  return factoryID && std::strcmp(factoryID, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

IPluginCLAP* CLAPPluginOf(const clap_plugin_t* plugin) {
  return plugin && plugin->destroy == PlugDestroy ? Plug(plugin) : nullptr;
}
