#include "JackEngine.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cstring>

#include "host/AUHost.h"

namespace {
const int kChannels = 2;
// Channel messages: note off 0x80 up to pitch bend 0xE0; system messages
// (0xF0 and up) are not the instrument's.
const unsigned char kFirstChannelStatus = 0x80;
const unsigned char kFirstSystemStatus = 0xF0;
}  // namespace

bool JackEngine::Open(const char* clientName, std::string* error) {
  Close();
  jack_status_t status;
  mClient = jack_client_open(clientName, JackNoStartServer, &status);
  if (!mClient) {
    *error = (status & JackServerFailed) ? "no JACK server is running" : "the JACK server refused the client";
    return false;
  }
  mMidiIn = jack_port_register(mClient, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  mOut[0] = jack_port_register(mClient, "out_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  mOut[1] = jack_port_register(mClient, "out_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  if (!mMidiIn || !mOut[0] || !mOut[1]) {
    *error = "the JACK server refused the instrument's ports";
    Close();
    return false;
  }
  jack_set_process_callback(mClient, Process, this);
  jack_on_shutdown(mClient, Shutdown, this);
  return true;
}

double JackEngine::SampleRate() const { return mClient ? jack_get_sample_rate(mClient) : 0.0; }

bool JackEngine::Activate(std::string* error) {
  if (!mClient || jack_activate(mClient) != 0) {
    *error = "the JACK client could not be activated";
    return false;
  }
  mActive = true;
  return true;
}

void JackEngine::ConnectSystemPorts(std::string* report) {
  report->clear();
  if (!mClient) return;
  const char** playback = jack_get_ports(mClient, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
  if (playback && playback[0]) {
    const char* second = playback[1] ? playback[1] : playback[0];
    const char* targets[kChannels] = {playback[0], second};
    for (int c = 0; c < kChannels; ++c)
      if (jack_connect(mClient, jack_port_name(mOut[c]), targets[c]) == 0)
        *report += std::string(jack_port_short_name(mOut[c])) + " -> " + targets[c] + "\n";
  }
  if (playback) jack_free(playback);
  const char** sources = jack_get_ports(mClient, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsPhysical | JackPortIsOutput);
  for (int i = 0; sources && sources[i]; ++i)
    if (jack_connect(mClient, sources[i], jack_port_name(mMidiIn)) == 0)
      *report += std::string(sources[i]) + " -> midi_in\n";
  if (sources) jack_free(sources);
}

void JackEngine::Close() {
  if (!mClient) return;
  if (mActive && !mServerGone.load()) jack_deactivate(mClient);
  jack_client_close(mClient);
  mClient = nullptr;
  mActive = false;
  mMidiIn = mOut[0] = mOut[1] = nullptr;
}

int JackEngine::Process(jack_nframes_t frames, void* self) {
  static_cast<JackEngine*>(self)->Render(frames);
  return 0;
}

void JackEngine::Shutdown(void* self) { static_cast<JackEngine*>(self)->mServerGone.store(true); }

void JackEngine::Render(jack_nframes_t frames) {
  void* midi = jack_port_get_buffer(mMidiIn, frames);
  float* out[kChannels];
  for (int c = 0; c < kChannels; ++c) out[c] = static_cast<float*>(jack_port_get_buffer(mOut[c], frames));
  const jack_nframes_t events = jack_midi_get_event_count(midi);
  jack_nframes_t next = 0;
  for (jack_nframes_t start = 0; start < frames; start += kMaxFrames) {
    const jack_nframes_t length = std::min<jack_nframes_t>(frames - start, kMaxFrames);
    // This block's messages, with offsets into the block.
    for (; next < events; ++next) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, midi, next) != 0) continue;
      if (event.time >= start + length) break;
      const unsigned char status = event.size > 0 ? event.buffer[0] : 0;
      if (status < kFirstChannelStatus || status >= kFirstSystemStatus) continue;
      const unsigned char data1 = event.size > 1 ? event.buffer[1] : 0;
      const unsigned char data2 = event.size > 2 ? event.buffer[2] : 0;
      mHost->SendMidi(status, data1, data2, event.time > start ? event.time - start : 0);
    }
    float* block[kChannels] = {out[0] + start, out[1] + start};
    const OSStatus status = mHost->Render(length, block, kChannels);
    for (int c = 0; c < kChannels; ++c) {
      if (status != noErr)
        std::memset(out[c] + start, 0, length * sizeof(float));
      else if (block[c] != out[c] + start)
        std::memcpy(out[c] + start, block[c], length * sizeof(float));
    }
  }
}
