// tonnik editor: opens the instrument's editor headless, replays mouse and
// key events on it and writes what it shows as a PNG image.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Commands.h"
#include "EditorSession.h"
#include "platform/IGraphicsHeadless.h"

namespace {

const char* const kUsage =
    "Usage: tonnik editor [-o FILE.png] [--scale S] [--state FILE] [--fxp FILE] [events...]\n"
    "Opens the instrument's editor without a window and writes what it shows.\n"
    "  -o FILE          the image to write (default out/editor.png)\n"
    "  --scale S        screen pixels per editor pixel, 1 to 2 (default 1): 2 draws a sharp 672 x 1196 editor\n"
    "  --state FILE     load a saved state first: an .aupreset file or a raw state chunk\n"
    "  --fxp FILE       load a program file first\n"
    "Events, replayed in order (editor pixels, origin top left):\n"
    "  --click X,Y      a click\n"
    "  --drag X,Y,DX,DY press at X,Y, move by DX,DY, release\n"
    "  --wheel X,Y,D    D wheel steps (positive up)\n"
    "  --key X,Y,K      key K (a letter, a digit, space, up, down, left, right) with the mouse at X,Y\n";

int usageError(const std::string& message) {
  std::fprintf(stderr, "tonnik editor: %s\n\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

void makeParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return;
  mkdir(path.substr(0, slash).c_str(), 0777);
}

// "X,Y,K": two integers and a key name.
bool parseKey(const char* text, EditorEvent* event) {
  const char* second = std::strchr(text, ',');
  const char* third = second ? std::strchr(second + 1, ',') : nullptr;
  if (!third || !third[1]) return false;
  int xy[2];
  if (!ParseInts(std::string(text, third).c_str(), 2, xy)) return false;
  event->x = xy[0];
  event->y = xy[1];
  event->key = third + 1;
  return true;
}

// A screen scale the editor can show: a number from 1 to 2.
bool parseScale(const char* text, double* scale) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end || !(value >= IGraphics::kMinScreenScale && value <= IGraphics::kMaxScreenScale))
    return false;
  *scale = value;
  return true;
}

}  // namespace

int runEditor(int argc, const char* const* argv) {
  std::string output = "out/editor.png";
  std::string statePath, fxpPath;
  double scale = 1.0;
  std::vector<EditorEvent> events;
  for (int i = 2; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--help" || opt == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (i + 1 >= argc) return usageError("missing value after " + opt);
    const char* value = argv[++i];
    EditorEvent e{EditorEvent::kClick, 0, 0, 0, 0, ""};
    int v[4];
    if (opt == "-o") {
      output = value;
    } else if (opt == "--scale") {
      if (!parseScale(value, &scale)) return usageError("--scale wants a number from 1 to 2, not " + std::string(value));
    } else if (opt == "--state") {
      statePath = value;
    } else if (opt == "--fxp") {
      fxpPath = value;
    } else if (opt == "--click") {
      if (!ParseInts(value, 2, v)) return usageError("--click wants X,Y, not " + std::string(value));
      e = {EditorEvent::kClick, v[0], v[1], 0, 0, ""};
      events.push_back(e);
    } else if (opt == "--drag") {
      if (!ParseInts(value, 4, v)) return usageError("--drag wants X,Y,DX,DY, not " + std::string(value));
      e = {EditorEvent::kDrag, v[0], v[1], v[2], v[3], ""};
      events.push_back(e);
    } else if (opt == "--wheel") {
      if (!ParseInts(value, 3, v)) return usageError("--wheel wants X,Y,D, not " + std::string(value));
      e = {EditorEvent::kWheel, v[0], v[1], v[2], 0, ""};
      events.push_back(e);
    } else if (opt == "--key") {
      e.kind = EditorEvent::kKey;
      if (!parseKey(value, &e)) return usageError("--key wants X,Y,K, not " + std::string(value));
      events.push_back(e);
    } else {
      return usageError("unknown option " + opt);
    }
  }

  EditorSession session;
  std::string error;
  if (!session.Open(&error, scale) || (!statePath.empty() && !session.LoadState(statePath, &error)) ||
      (!fxpPath.empty() && !session.LoadProgram(fxpPath, &error))) {
    std::fprintf(stderr, "tonnik editor: %s\n", error.c_str());
    return kExitFailure;
  }
  for (const EditorEvent& e : events)
    if (!session.Replay(e, &error)) {
      std::fprintf(stderr, "tonnik editor: %s\n", error.c_str());
      return kExitFailure;
    }
  makeParentFolder(output);
  if (!session.WriteScreen(output, &error)) {
    std::fprintf(stderr, "tonnik editor: %s\n", error.c_str());
    return kExitFailure;
  }
  std::printf("wrote %s: the editor, %d x %d, after %zu event%s\n", output.c_str(), session.Graphics()->ScreenWidth(),
              session.Graphics()->ScreenHeight(), events.size(), events.size() == 1 ? "" : "s");
  return 0;
}
