#include "WavWriter.h"

#include <sndfile.h>

#include <vector>

bool writeWav24(const std::string& path, const StereoBuffer& audio, int sampleRate, std::string& error) {
  if (audio.left.size() != audio.right.size()) {
    error = "left and right channels differ in length";
    return false;
  }
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = path + ": " + sf_strerror(nullptr);
    return false;
  }
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  const size_t frames = audio.left.size();
  std::vector<double> interleaved(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    interleaved[2 * i] = audio.left[i];
    interleaved[2 * i + 1] = audio.right[i];
  }
  const sf_count_t written = sf_writef_double(file, interleaved.data(), static_cast<sf_count_t>(frames));
  bool ok = written == static_cast<sf_count_t>(frames);
  if (!ok) error = path + ": " + sf_strerror(file);
  if (sf_close(file) != 0 && ok) {
    error = path + ": could not finish the file";
    ok = false;
  }
  return ok;
}
