#include "Kit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "CommandLine.h"

namespace {

const int kMinVelocity = 1, kMaxVelocity = 127;
const int kMinNote = 0, kMaxNote = 127;

bool parseNote(const std::string& text, int& note, std::string& error) {
  if (parseInteger(text, kMinNote, kMaxNote, note)) return true;
  double number = 0;
  const bool whole = parseNumber(text, number) && number == std::floor(number);
  error = whole ? "note " + text + " is outside 0..127" : "'" + text + "' is not a note number";
  return false;
}

}  // namespace

std::vector<VelocityLayer> velocityLayers(int count) {
  std::vector<VelocityLayer> layers;
  int lo = kMinVelocity;
  for (int i = 1; i <= count; ++i) {
    const int hi = (int)std::lround((double)kMaxVelocity * i / count);
    layers.push_back({lo, hi});
    lo = hi + 1;
  }
  return layers;
}

bool parseNoteList(const std::string& text, std::vector<int>& notes, std::string& error) {
  notes.clear();
  std::stringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    const size_t dash = item.find('-', 1);
    int first = 0, last = 0;
    if (!parseNote(item.substr(0, dash), first, error)) return false;
    last = first;
    if (dash != std::string::npos && !parseNote(item.substr(dash + 1), last, error)) return false;
    if (last < first) return (error = "'" + item + "' runs backwards"), false;
    for (int n = first; n <= last; ++n) notes.push_back(n);
  }
  if (notes.empty()) return (error = "no notes given"), false;
  std::sort(notes.begin(), notes.end());
  notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
  return true;
}

std::vector<KitRegion> kitRegions(const std::string& name, const std::vector<int>& notes,
                                  const std::vector<VelocityLayer>& layers) {
  std::vector<KitRegion> regions;
  for (size_t k = 0; k < notes.size(); ++k) {
    const int lokey = k == 0 ? notes[k] : (notes[k - 1] + notes[k]) / 2 + 1;
    const int hikey = k + 1 == notes.size() ? notes[k] : (notes[k] + notes[k + 1]) / 2;
    for (const VelocityLayer& layer : layers) {
      char sample[64];
      std::snprintf(sample, sizeof sample, "_%03d_v%03d.wav", notes[k], layer.hivel);
      regions.push_back({name + sample, notes[k], lokey, hikey, layer.lovel, layer.hivel});
    }
  }
  return regions;
}

std::string sfzText(const std::vector<KitRegion>& regions, const std::string& description) {
  std::string text = "// " + description + "\n<group>\n";
  for (const KitRegion& r : regions) {
    char keys[64];
    if (r.lokey == r.hikey)
      std::snprintf(keys, sizeof keys, "key=%d", r.lokey);
    else
      std::snprintf(keys, sizeof keys, "lokey=%d hikey=%d", r.lokey, r.hikey);
    char line[256];
    // The sample last: samplers read its name to the end of the line, so a kit
    // name with spaces still loads.
    std::snprintf(line, sizeof line, "<region> %s pitch_keycenter=%d lovel=%d hivel=%d sample=%s\n", keys, r.note,
                  r.lovel, r.hivel, r.sample.c_str());
    text += line;
  }
  return text;
}

size_t quietTailEnd(const StereoBuffer& audio) {
  const double quiet = std::pow(10.0, kSilenceDb / 20);
  size_t end = audio.left.size();
  while (end > 0 && std::fabs(audio.left[end - 1]) < quiet && std::fabs(audio.right[end - 1]) < quiet) --end;
  return std::min(end + 1, audio.left.size());
}
