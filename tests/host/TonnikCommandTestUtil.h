#pragma once
// What the tonnik program's tests share: running the built program, reading
// and writing whole files, and making MIDI files with Debian's csvmidi (an
// independent writer) from CSV text at run time.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tonnik_test {

// A name in the temporary folder that no other test process uses at the same
// time (ctest runs test cases side by side).
inline std::string uniqueTempPath(const std::string& name) {
  static int counter = 0;
  return testing::TempDir() + "tonnik_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" + name;
}

// Runs ./tonnik ARGS from the build folder; the exit code, and what it wrote to stderr.
inline int runTonnik(const std::string& args, std::string* errorText = nullptr) {
  const std::string errPath = uniqueTempPath("stderr.txt");
  const std::string command = "./tonnik " + args + " >/dev/null 2>" + errPath;
  const int status = std::system(command.c_str());
  if (errorText) {
    errorText->clear();
    if (FILE* f = std::fopen(errPath.c_str(), "rb")) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) errorText->append(buffer, n);
      std::fclose(f);
    }
  }
  std::remove(errPath.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::vector<unsigned char> readBytes(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  unsigned char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The MIDI file csvmidi writes for the CSV text (midicsv(5)), at path.
inline void csvToMidi(const std::string& csv, const std::string& path) {
  const std::string csvPath = path + ".csv";
  std::vector<unsigned char> text(csv.begin(), csv.end());
  writeBytes(csvPath, text);
  const std::string command = "csvmidi " + csvPath + " " + path;
  ASSERT_EQ(0, std::system(command.c_str())) << csv;
  std::remove(csvPath.c_str());
}

inline std::vector<unsigned char> csvMidiBytes(const std::string& csv) {
  const std::string path = uniqueTempPath("csvmidi.mid");
  csvToMidi(csv, path);
  std::vector<unsigned char> bytes = readBytes(path);
  std::remove(path.c_str());
  return bytes;
}

}  // namespace tonnik_test
