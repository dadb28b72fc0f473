#pragma once
// The instrument as a JACK client: a MIDI input port and two audio output
// ports. Each JACK cycle, the process callback hands the cycle's channel
// messages to the instrument with their frame offsets and renders the
// cycle into the output ports, the way a host drives the instrument
// through its Audio Unit entry (AUHost): the instrument's code is the same
// as in every host.
//
// Threads: Open, Activate, ConnectSystemPorts and Close on the main
// thread; the process callback on JACK's audio thread, where it neither
// allocates nor does I/O. The only lock on that path is the plug-in's own,
// which the main thread holds just for a parameter change or for copying
// the state, never across drawing or file access.
//
// Ownership: borrows the host, which must outlive the engine (or Close).

#include <jack/jack.h>

#include <atomic>
#include <string>

class AUHost;

class JackEngine {
public:
  // The largest block rendered at once; a longer JACK cycle is rendered
  // in several.
  static const int kMaxFrames = 4096;

  explicit JackEngine(AUHost* host) : mHost(host) {}
  ~JackEngine() { Close(); }
  JackEngine(const JackEngine&) = delete;
  JackEngine& operator=(const JackEngine&) = delete;

  // Connects to the server (never starting one) as a client of that name
  // with its three ports. False with the reason.
  bool Open(const char* clientName, std::string* error);
  double SampleRate() const;
  // Starts the process callback; the host must be prepared for
  // SampleRate() and kMaxFrames.
  bool Activate(std::string* error);
  // Outputs to the first two physical playback ports (both to one when
  // there is only one), every physical MIDI source to the input. report
  // says what was connected.
  void ConnectSystemPorts(std::string* report);
  // Stops the callback and leaves the server; safe to repeat.
  void Close();
  // The server shut down or threw the client out.
  bool ServerGone() const { return mServerGone.load(); }

private:
  static int Process(jack_nframes_t frames, void* self);
  static void Shutdown(void* self);
  void Render(jack_nframes_t frames);

  AUHost* mHost;
  jack_client_t* mClient = nullptr;
  jack_port_t* mMidiIn = nullptr;
  jack_port_t* mOut[2] = {nullptr, nullptr};
  bool mActive = false;
  std::atomic<bool> mServerGone{false};
};
