// tonnik export-kit: one hit per note and velocity layer through the
// instrument's entry, trimmed WAV files and an SFZ file that maps them.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AudioFileWriter.h"
#include "CommandLine.h"
#include "Commands.h"
#include "HostRenderer.h"
#include "Instrument.h"
#include "InstrumentOptions.h"
#include "Kit.h"
#include "OutputFile.h"
#include "Pattern.h"
#include "PatternPlayer.h"
#include "Progress.h"

namespace {

const char kUsage[] =
    "Usage: tonnik export-kit -o DIR [--notes LIST] [--velocities N] [options]\n"
    "Renders one hit per note and velocity layer through the instrument's Audio Unit entry,\n"
    "trims each where its ring has gone quiet (below -90 dBFS) and writes them as WAV files with\n"
    "an SFZ file, DIR/NAME.sfz, that maps each to its keys and velocities for a sampler.\n"
    "\n"
    "  -o, --output DIR      the folder to write (made if missing)\n"
    "  --name NAME           the kit's name: NAME.sfz, NAME_036_v127.wav (default: the folder's)\n"
    "  --notes LIST          MIDI notes, e.g. 36 or 24,36,48 or 24-48 (default 36). With \"MIDI\n"
    "                        Tune\" off (the default) every note sounds the same pitch, that of\n"
    "                        note 33 plus Tune; turn it on (--midi-tune on) for a tuned kit\n"
    "  --velocities N        velocity layers, 1..127, spread evenly over 1..127 and each\n"
    "                        rendered at its top velocity (default 1). Layers differ only when\n"
    "                        the Dyn amounts (--dyn-level ...) are set\n"
    "  --bits B              16, 24 (default) or 32f\n"
    "  --no-dither           16-bit samples without dither\n"
    "  --rate HZ             44100, 48000 (default) or 96000\n"
    "  -q, --quiet           no progress line (shown on a terminal for exports over 2 s)\n";

const int kBlockSize = 512;  // frames per render call, as a host would use
const int kMaxLayers = 127;

struct KitOptions {
  std::string folder;
  std::string name;
  std::vector<int> notes = {36};
  int velocities = 1;
  double sampleRate = 48000;
  AudioFormat format;
  InstrumentOptions instrument;
  bool quiet = false;
};

int usageError(const std::string& message) {
  std::fprintf(stderr, "tonnik export-kit: %s\n", message.c_str());
  return kExitUsage;
}

std::string baseName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool parse(int argc, const char* const* argv, KitOptions& o, bool& wantsHelp, std::string& error) {
  const OptionHandler handle = [&](const std::string& name, const std::string& value, std::string& err) {
    if (name.empty()) return (err = "unexpected argument '" + value + "'"), false;
    if (name == "output") return (o.folder = value), !value.empty() || ((err = "--output needs a folder"), false);
    if (name == "name") {
      if (value.empty() || value.find('/') != std::string::npos) return (err = "--name: '" + value + "' is not a file name"), false;
      o.name = value;
      return true;
    }
    if (name == "notes") {
      if (parseNoteList(value, o.notes, err)) return true;
      return (err = "--notes: " + err), false;
    }
    if (name == "velocities") {
      if (parseInteger(value, 1, kMaxLayers, o.velocities)) return true;
      return (err = "--velocities: '" + value + "' is not a whole number in 1..127"), false;
    }
    if (name == "bits") {
      if (parseAudioSamples(value, o.format.samples)) return true;
      return (err = "--bits: '" + value + "' is not 16, 24 or 32f"), false;
    }
    if (name == "no-dither") return (o.format.dither = false), true;
    if (name == "quiet") return (o.quiet = true), true;
    if (name == "rate") {
      if (parseNumber(value, o.sampleRate) && (o.sampleRate == 44100 || o.sampleRate == 48000 || o.sampleRate == 96000))
        return true;
      return (err = "--rate: '" + value + "' is not 44100, 48000 or 96000"), false;
    }
    bool handled = false;
    if (!parseInstrumentOption(name, value, o.instrument, handled, err)) return false;
    if (!handled) return (err = "unknown option '--" + name + "' (see tonnik export-kit --help)"), false;
    return true;
  };
  if (!forEachOption(argc, argv, 2, handle, wantsHelp, error, {"no-dither", "quiet"})) return false;
  if (wantsHelp) return true;
  if (o.folder.empty()) return (error = "which folder? (tonnik export-kit -o DIR)"), false;
  if (o.name.empty()) o.name = baseName(o.folder);
  if (o.name.empty() || o.name == "/" || o.name == "." || o.name == "..") o.name = "kick";
  return true;
}

// One hit from a fresh instance, so that no hit inherits another's glide or ring.
bool renderHit(const KitOptions& o, int note, int velocity, StereoBuffer& audio, bool& usage, std::string& error,
               const PlayProgress& progress) {
  usage = false;
  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) return (error = "the instrument could not be opened"), false;
  HostRenderer renderer(&host);
  const char* renderError = nullptr;
  if (!renderer.prepare(o.sampleRate, kBlockSize, &renderError)) return (error = renderError), false;
  if (!applyInstrumentOptions(&host, o.instrument, usage, error)) return false;
  Pattern hit;
  hit.events.push_back({0.0, PatternEvent::NoteOn, note, velocity, 0, 0});
  hit.tailSeconds = kMaxTailSeconds;
  hit.tailUntilSilent = true;
  if (!playPattern(hit, renderer, o.sampleRate, kBlockSize, audio, &renderError, progress)) return (error = renderError), false;
  if (renderer.firstError() != noErr)
    return (error = "the instrument answered error " + std::to_string((int)renderer.firstError()) + " while rendering"), false;
  const size_t keep = quietTailEnd(audio);
  audio.left.resize(keep);
  audio.right.resize(keep);
  return true;
}

// Removes what this run wrote when it cannot finish, so a kit is whole or absent.
class WrittenFiles {
public:
  ~WrittenFiles() {
    if (mKeep) return;
    for (const std::string& p : mPaths) std::remove(p.c_str());
    if (mMadeFolder) rmdir(mFolder.c_str());
  }
  void madeFolder(const std::string& folder) {
    mFolder = folder;
    mMadeFolder = true;
  }
  void add(const std::string& path) { mPaths.push_back(path); }
  void keep() { mKeep = true; }

private:
  std::vector<std::string> mPaths;
  std::string mFolder;
  bool mMadeFolder = false;
  bool mKeep = false;
};

}  // namespace

int runExportKit(int argc, const char* const* argv) {
  KitOptions o;
  bool wantsHelp = false;
  std::string error;
  if (!parse(argc, argv, o, wantsHelp, error)) return usageError(error);
  if (wantsHelp) {
    std::printf("%s%s", kUsage, instrumentOptionsUsage());
    return 0;
  }

  WrittenFiles written;
  if (mkdir(o.folder.c_str(), 0777) == 0) {
    written.madeFolder(o.folder);
  } else if (errno != EEXIST) {
    std::fprintf(stderr, "tonnik export-kit: %s: cannot make the folder (%s)\n", o.folder.c_str(), std::strerror(errno));
    return kExitFailure;
  }
  const std::string folder = o.folder.back() == '/' ? o.folder : o.folder + "/";
  const std::vector<KitRegion> regions = kitRegions(o.name, o.notes, velocityLayers(o.velocities));
  double longest = 0;
  ProgressLine line(progressWanted(o.quiet));
  for (size_t i = 0; i < regions.size(); ++i) {
    const KitRegion& r = regions[i];
    const std::string doing = "rendering " + folder + r.sample;
    const PlayProgress progress = [&](double f) { line.update(doing, (i + f) / regions.size()); };
    StereoBuffer audio;
    bool usage = false;
    if (!renderHit(o, r.note, r.hivel, audio, usage, error, progress)) {
      line.finish();
      std::fprintf(stderr, "tonnik export-kit: %s\n", error.c_str());
      return usage ? kExitUsage : kExitFailure;
    }
    const std::string path = folder + r.sample;
    if (!writeAudioFile(path, audio, (int)o.sampleRate, o.format, error)) {
      line.finish();
      std::fprintf(stderr, "tonnik export-kit: %s\n", error.c_str());
      return kExitFailure;
    }
    written.add(path);
    longest = std::max(longest, audio.left.size() / o.sampleRate);
  }
  line.finish();
  char description[256];
  std::snprintf(description, sizeof description, "%s kit \"%s\": %zu notes, %d velocity layers, %.0f Hz %s",
                InstrumentName(), o.name.c_str(), o.notes.size(), o.velocities, o.sampleRate,
                describeAudioFormat(o.format).c_str());
  const std::string sfz = folder + o.name + ".sfz";
  if (!writeWholeFile(sfz, sfzText(regions, description), error)) {
    std::fprintf(stderr, "tonnik export-kit: %s\n", error.c_str());
    return kExitFailure;
  }
  written.keep();
  std::printf("wrote %s: %zu samples (%zu notes x %d layers), the longest %.3f s\n", sfz.c_str(), regions.size(),
              o.notes.size(), o.velocities, longest);
  return 0;
}
