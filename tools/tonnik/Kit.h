#pragma once
// A sampler kit of the instrument: one hit per note and velocity layer, each
// file trimmed where its ring has gone quiet, and an SFZ file whose regions map
// each file to its keys and velocities. This file holds the plan and the texts
// (pure functions, any thread); CommandExportKit renders and writes them.

#include <string>
#include <vector>

#include "PatternPlayer.h"

struct VelocityLayer {
  int lovel;
  int hivel;  // the layer is rendered at this velocity
};

// count layers (1..127) spread evenly over 1..127, in increasing order; they
// cover 1..127 with no gap and no overlap.
std::vector<VelocityLayer> velocityLayers(int count);

// "36", "36,38,42", "35-40", or a mix: the notes in increasing order, each
// once. False with a message naming the first bad item (numbers must lie in 0..127).
bool parseNoteList(const std::string& text, std::vector<int>& notes, std::string& error);

struct KitRegion {
  std::string sample;  // file name, relative to the SFZ file
  int note;            // rendered at this note; the sampler plays it unshifted there
  int lokey, hikey;
  int lovel, hivel;
};

// Regions for every note and layer. The keys between two listed notes are
// shared out between them, so a sampler plays every key from the first note to
// the last; sample names are "<name>_<note>_v<velocity>.wav".
std::vector<KitRegion> kitRegions(const std::string& name, const std::vector<int>& notes,
                                  const std::vector<VelocityLayer>& layers);

// The SFZ text: a comment line describing the kit, then one <region> line each
// (key= where a region has one key, lokey/hikey otherwise; the sample last).
std::string sfzText(const std::vector<KitRegion>& regions, const std::string& description);

// The length to keep: up to and including the first sample of the final
// stretch below kSilenceDb, so the file ends below it without cutting the ring.
size_t quietTailEnd(const StereoBuffer& audio);
