// Loads arbitrary bytes as program and bank files, in both the chunk and the
// parameter form, through the editor's file dialog.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "plugin/TestPlug.h"

static void InitParams(IPluginBase* plug) {
  plug->GetParam(0)->InitDouble("Decay", 0.5, 0.0, 1.0, 0.01);
  plug->GetParam(1)->InitInt("Tune", 0, -12, 12);
  plug->GetParam(2)->InitBool("Long", false);
}

static void PutBE32(std::string* file, uint32_t v) {
  const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                         static_cast<char>(v >> 8), static_cast<char>(v)};
  file->append(bytes, 4);
}

// The first byte chooses between the raw input and a valid program or bank
// header followed by the rest, so the loaders' bodies are reached quickly.
static std::string MakeFile(const uint8_t* data, size_t size) {
  std::string file;
  if (size < 2) return std::string(reinterpret_cast<const char*>(data), size);
  const int mode = data[0] % 3;
  const bool chunkForm = data[1] & 1;
  if (mode == 1) {
    PutBE32(&file, 0x43636E4B);
    PutBE32(&file, 0);
    PutBE32(&file, chunkForm ? 0x46504368 : 0x4678436B);
    PutBE32(&file, 1);
    PutBE32(&file, kTestPlugID);
    PutBE32(&file, 10203);
    PutBE32(&file, 3);
  } else if (mode == 2) {
    PutBE32(&file, 0x43636E4B);
    PutBE32(&file, 0);
    PutBE32(&file, chunkForm ? 0x46424368 : 0x4678426B);
    PutBE32(&file, 2);
    PutBE32(&file, kTestPlugID);
    PutBE32(&file, 10203);
    PutBE32(&file, 2);
    PutBE32(&file, 0);
    file.append(124, '\0');
  } else {
    return std::string(reinterpret_cast<const char*>(data), size);
  }
  file.append(reinterpret_cast<const char*>(data + 2), size - 2);
  return file;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/tonnik_fuzz_" + std::to_string(getpid()) + ".fxb";
  const std::string file = MakeFile(data, size);
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return 0;
  std::fwrite(file.data(), 1, file.size(), fp);
  std::fclose(fp);

  for (int chunks = 0; chunks < 2; ++chunks) {
    TestPlug plug(3, "0-1 0-2", 2, chunks != 0);
    InitParams(&plug);
    plug.MakePreset("A", 0.25, 3, 1);
    plug.MakePreset("B", 0.75, -3, 0);
    TestGraphics* gui = new TestGraphics(&plug);
    gui->mAnswer = path;
    plug.AttachGraphics(gui);
    plug.LoadProgramFromFXP();
    plug.LoadBankFromFXB();
    for (int i = 0; i < plug.NParams(); ++i) {
      double lo, hi;
      plug.GetParam(i)->GetBounds(&lo, &hi);
      const double v = plug.GetParam(i)->Value();
      if (!(v >= lo && v <= hi)) __builtin_trap();
    }
  }
  return 0;
}
