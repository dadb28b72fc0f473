#pragma once
// The command line of tonnik-standalone and where its state lives.
// Main thread.

#include <string>

struct StandaloneOptions {
  // The saved state: --state FILE, else $XDG_CONFIG_HOME/tonnik/state.aupreset
  // (with $HOME/.config when XDG_CONFIG_HOME is not set).
  std::string statePath;
  // Connect the outputs to the system's playback ports and the system's
  // MIDI sources to the input, when they exist.
  bool connect = false;
  // Show the editor without a JACK server (nothing sounds).
  bool noAudio = false;
  // Screen pixels per editor pixel: --scale S (1 to 2); 0 for the
  // desktop's (GDK_SCALE or Xft.dpi).
  double scale = 0;
  // The JACK client's name.
  std::string clientName = "tonnik";
  bool help = false;
};

extern const char* const kStandaloneUsage;

// False with a message for a malformed command line; options.help is set
// for --help.
bool ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options, std::string* error);

// The default state file; "" when neither XDG_CONFIG_HOME nor HOME is set.
std::string DefaultStatePath();

// The window's title: the instrument's name, followed by the state file's
// name when it is not the default one, so that two windows can be told apart.
std::string WindowTitle(const std::string& statePath);
