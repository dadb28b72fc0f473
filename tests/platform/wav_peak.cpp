// Prints the peak level of a sound file and the first frame whose level
// reaches a threshold (-1 when none does): "peak 0.8123 first 5000".
// For the tests that record real hosts. Usage: wav_peak FILE [THRESHOLD]

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wav_peak FILE [THRESHOLD]\n");
    return 2;
  }
  const double threshold = argc > 2 ? std::atof(argv[2]) : 0.01;
  SF_INFO info = {};
  SNDFILE* file = sf_open(argv[1], SFM_READ, &info);
  if (!file) {
    std::fprintf(stderr, "wav_peak: %s\n", sf_strerror(nullptr));
    return 1;
  }
  std::vector<float> frame(static_cast<size_t>(info.channels));
  double peak = 0.0;
  long first = -1;
  for (long n = 0; sf_readf_float(file, frame.data(), 1) == 1; ++n)
    for (float v : frame) {
      peak = std::fmax(peak, std::fabs(v));
      if (first < 0 && std::fabs(v) >= threshold) first = n;
    }
  sf_close(file);
  std::printf("peak %.4f first %ld frames %ld\n", peak, first, static_cast<long>(info.frames));
  return 0;
}
