// tonnik-standalone: TONNIK-PRO as a JACK instrument with its editor in a
// window of its own. The state is loaded at start and saved when the
// window closes or a SIGINT/SIGTERM arrives (the handler only raises a
// flag; the main loop saves). A damaged state file is reported and kept as
// it is; the program then starts from "Init" and saves beside it.

#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

#include "InstalledResources.h"
#include "Instrument.h"
#include "JackEngine.h"
#include "StandaloneOptions.h"
#include "au/IPluginAU.h"
#include "au/IPluginAU_ViewFactory.h"
#include "host/AUHost.h"
#include "platform/DesktopScale.h"
#include "platform/IGraphicsX11.h"

namespace {

// Rendering without JACK still needs a rate the instrument sounds at.
const double kNoAudioRate = 48000;
const int kChannels = 2;
const int kExitFailure = 1;
// The editor ended on its own (the display went away); the state was saved.
const int kExitEditorLost = 3;

// WM_CLASS: the instance name is the program's (and its .desktop file's
// StartupWMClass), the class the instrument's name.
const char* const kWindowInstance = "tonnik-standalone";
const char* const kWindowClass = "TONNIK-PRO";

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) { gStop = 1; }

void InstallSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

void MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0777);
}

// Quits with the JACK server too: without it nothing sounds.
void CheckServer(void* engine) {
  if (static_cast<JackEngine*>(engine)->ServerGone()) gStop = 1;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "tonnik-standalone: %s\n", message.c_str());
  return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  StandaloneOptions options;
  std::string error;
  if (!ParseStandaloneOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "tonnik-standalone: %s\n\n%s", error.c_str(), kStandaloneUsage);
    return kExitFailure;
  }
  if (options.help) {
    std::fputs(kStandaloneUsage, stdout);
    return 0;
  }
  InstallSignalHandlers();
  UseInstalledResources();
  UseX11Editors();

  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) return Fail("the instrument did not open");
  JackEngine engine(&host);
  double rate = kNoAudioRate;
  if (!options.noAudio) {
    if (!engine.Open(options.clientName.c_str(), &error)) return Fail(error + " (start one, or use --no-audio)");
    rate = engine.SampleRate();
  }
  if (host.Prepare(rate, JackEngine::kMaxFrames, kChannels) != noErr)
    return Fail("the instrument could not be prepared for " + std::to_string((int)rate) + " Hz" +
                (InstrumentPlaysAt(rate) ? "" : " (it plays at 8000 to 384000 Hz)"));

  IPluginAU* plug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(host.Unit()));
  std::string saveTo = options.statePath;
  if (FileExists(options.statePath)) {
    if (LoadPresetFile(&host, options.statePath, &error)) {
      plug->OnParamReset();
    } else {
      saveTo = options.statePath + ".new";
      std::fprintf(stderr,
                   "tonnik-standalone: %s\ntonnik-standalone: starting from \"Init\"; %s is left as it is and this "
                   "session's state will be saved to %s\n",
                   error.c_str(), options.statePath.c_str(), saveTo.c_str());
    }
  }

  IPluginAU_ViewFactory factory("TONNIK-PRO View");
  factory.init();
  IGraphicsX11* gui = dynamic_cast<IGraphicsX11*>(plug->GetGUI());
  if (gui) {
    gui->SetWindowClass(kWindowInstance, kWindowClass);
    gui->SetScreenScale(options.scale > 0 ? options.scale : DesktopScale());
  }
  if (!gui || !factory.uiViewForAudioUnit(host.Unit(), NSSize{336, 598}))
    return Fail(std::string("cannot show the editor: ") + (gui ? gui->GetLastError() : "the instrument has none"));
  gui->SetTitle(WindowTitle(options.statePath).c_str());
  std::printf("editor window 0x%lx\n", gui->GetXWindow());
  std::fflush(stdout);

  if (!options.noAudio) {
    if (!engine.Activate(&error)) return Fail(error);
    if (options.connect) {
      std::string report;
      engine.ConnectSystemPorts(&report);
      std::fputs(report.empty() ? "no system ports to connect to\n" : report.c_str(), stdout);
      std::fflush(stdout);
    }
  }

  const bool editorWell = gui->RunUntilClosed(&gStop, CheckServer, &engine);
  // The window goes at once; the state is saved behind it.
  gui->CloseWindow();
  if (engine.ServerGone()) std::fprintf(stderr, "tonnik-standalone: the JACK server went away\n");
  engine.Close();

  MakeFolders(saveTo);
  long bytes = 0;
  int code = editorWell ? 0 : kExitEditorLost;
  if (SavePresetFile(&host, saveTo, &bytes, &error)) {
    std::printf("saved the state to %s\n", saveTo.c_str());
  } else {
    std::fprintf(stderr, "tonnik-standalone: the state was not saved: %s\n", error.c_str());
    code = kExitFailure;
  }
  host.Close();
  return code;
}
