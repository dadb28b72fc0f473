#pragma once
// The core of the CLAP plug-in interface, as far as this project uses it:
// the module entry, the plug-in factory, the plug-in and host records, the
// event records and lists, the process call and the state streams. Names,
// identifiers, values and layouts are those of the published interface
// (version 1.2); nothing else is declared. Plain C layout, default
// alignment, no calling-convention marker on this platform.

#include <cstdint>

extern "C" {

typedef uint32_t clap_id;
static const clap_id CLAP_INVALID_ID = UINT32_MAX;

// Text sizes of the interface's fixed character arrays, terminator included.
enum { CLAP_NAME_SIZE = 256, CLAP_PATH_SIZE = 1024 };

typedef struct clap_version {
  uint32_t major;
  uint32_t minor;
  uint32_t revision;
} clap_version_t;

// The interface version this module is written against.
static const clap_version_t CLAP_VERSION = {1, 2, 0};

// ---- Module entry and factory ----

typedef struct clap_plugin_entry {
  clap_version_t clap_version;
  bool (*init)(const char* plugin_path);
  void (*deinit)(void);
  const void* (*get_factory)(const char* factory_id);
} clap_plugin_entry_t;

static const char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";

typedef struct clap_plugin_descriptor {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features;  // null-terminated
} clap_plugin_descriptor_t;

struct clap_host;
struct clap_process;

typedef struct clap_plugin {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool (*init)(const struct clap_plugin* plugin);
  void (*destroy)(const struct clap_plugin* plugin);
  bool (*activate)(const struct clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                   uint32_t max_frames_count);
  void (*deactivate)(const struct clap_plugin* plugin);
  bool (*start_processing)(const struct clap_plugin* plugin);
  void (*stop_processing)(const struct clap_plugin* plugin);
  void (*reset)(const struct clap_plugin* plugin);
  int32_t (*process)(const struct clap_plugin* plugin, const struct clap_process* process);
  const void* (*get_extension)(const struct clap_plugin* plugin, const char* id);
  void (*on_main_thread)(const struct clap_plugin* plugin);
} clap_plugin_t;

typedef struct clap_host {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void* (*get_extension)(const struct clap_host* host, const char* extension_id);
  void (*request_restart)(const struct clap_host* host);
  void (*request_process)(const struct clap_host* host);
  void (*request_callback)(const struct clap_host* host);
} clap_host_t;

typedef struct clap_plugin_factory {
  uint32_t (*get_plugin_count)(const struct clap_plugin_factory* factory);
  const clap_plugin_descriptor_t* (*get_plugin_descriptor)(const struct clap_plugin_factory* factory,
                                                            uint32_t index);
  const clap_plugin_t* (*create_plugin)(const struct clap_plugin_factory* factory, const clap_host_t* host,
                                        const char* plugin_id);
} clap_plugin_factory_t;

// ---- Events ----

typedef struct clap_event_header {
  uint32_t size;
  uint32_t time;
  uint16_t space_id;
  uint16_t type;
  uint32_t flags;
} clap_event_header_t;

static const uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

enum {
  CLAP_EVENT_NOTE_ON = 0,
  CLAP_EVENT_NOTE_OFF = 1,
  CLAP_EVENT_NOTE_CHOKE = 2,
  CLAP_EVENT_NOTE_END = 3,
  CLAP_EVENT_NOTE_EXPRESSION = 4,
  CLAP_EVENT_PARAM_VALUE = 5,
  CLAP_EVENT_PARAM_MOD = 6,
  CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
  CLAP_EVENT_PARAM_GESTURE_END = 8,
  CLAP_EVENT_TRANSPORT = 9,
  CLAP_EVENT_MIDI = 10,
  CLAP_EVENT_MIDI_SYSEX = 11,
  CLAP_EVENT_MIDI2 = 12,
};

enum { CLAP_EVENT_IS_LIVE = 1 << 0, CLAP_EVENT_DONT_RECORD = 1 << 1 };

typedef struct clap_event_note {
  clap_event_header_t header;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double velocity;
} clap_event_note_t;

typedef struct clap_event_param_value {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
} clap_event_param_value_t;

typedef struct clap_event_param_gesture {
  clap_event_header_t header;
  clap_id param_id;
} clap_event_param_gesture_t;

typedef struct clap_event_midi {
  clap_event_header_t header;
  uint16_t port_index;
  uint8_t data[3];
} clap_event_midi_t;

typedef struct clap_input_events {
  void* ctx;
  uint32_t (*size)(const struct clap_input_events* list);
  const clap_event_header_t* (*get)(const struct clap_input_events* list, uint32_t index);
} clap_input_events_t;

typedef struct clap_output_events {
  void* ctx;
  bool (*try_push)(const struct clap_output_events* list, const clap_event_header_t* event);
} clap_output_events_t;

// ---- Processing ----

typedef struct clap_audio_buffer {
  float** data32;
  double** data64;
  uint32_t channel_count;
  uint32_t latency;
  uint64_t constant_mask;
} clap_audio_buffer_t;

struct clap_event_transport;

typedef struct clap_process {
  int64_t steady_time;
  uint32_t frames_count;
  const struct clap_event_transport* transport;
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  uint32_t audio_inputs_count;
  uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
} clap_process_t;

enum {
  CLAP_PROCESS_ERROR = 0,
  CLAP_PROCESS_CONTINUE = 1,
  CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
  CLAP_PROCESS_TAIL = 3,
  CLAP_PROCESS_SLEEP = 4,
};

// ---- State streams ----

typedef struct clap_istream {
  void* ctx;
  // Bytes read, 0 at the end, -1 on error.
  int64_t (*read)(const struct clap_istream* stream, void* buffer, uint64_t size);
} clap_istream_t;

typedef struct clap_ostream {
  void* ctx;
  // Bytes written, -1 on error.
  int64_t (*write)(const struct clap_ostream* stream, const void* buffer, uint64_t size);
} clap_ostream_t;

}  // extern "C"
