#pragma once
// A picture of a render: the waveform above (each pixel column spans its
// samples' lowest and highest value), the pitch of the ring below (from
// zeroCrossingPitch), a shared time axis in seconds, value and hertz scales,
// titles and labels. Drawn with the raster library's lines, fills and cached
// font into a memory bitmap and written as a PNG file (whole or not at all).
// Main thread (the cached font's scratch bitmaps are shared).

#include <string>
#include <vector>

const int kPlotWidth = 1200;
const int kPlotHeight = 700;

// False with a message naming the file.
bool writeRenderPlot(const std::string& path, const std::vector<double>& samples, double sampleRate,
                     const std::string& title, std::string& error);
