#include "platform/DesktopScale.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "graphics/IGraphics.h"

namespace {
// Dots per inch of a desktop drawn at scale 1.
constexpr double kBaseDpi = 96.0;
constexpr const char* kDpiResource = "Xft.dpi:";

// The dpi a resource string gives ("Xft.dpi:\t192" on a line of its own);
// 0 when it gives none.
double DpiFrom(const char* resources) {
  for (const char* line = resources; line && *line;) {
    if (std::strncmp(line, kDpiResource, std::strlen(kDpiResource)) == 0) {
      const double dpi = std::strtod(line + std::strlen(kDpiResource), nullptr);
      return std::isfinite(dpi) && dpi > 0 ? dpi : 0;
    }
    const char* next = std::strchr(line, '\n');
    line = next ? next + 1 : nullptr;
  }
  return 0;
}
}  // namespace

double DesktopScaleFrom(const char* gdkScale, const char* xResources) {
  double scale = 1.0;
  char* end = nullptr;
  const long whole = gdkScale && *gdkScale ? std::strtol(gdkScale, &end, 10) : 0;
  if (whole >= 1 && end && !*end)
    scale = double(whole);
  else if (const double dpi = DpiFrom(xResources))
    scale = dpi / kBaseDpi;
  return std::clamp(scale, IGraphics::kMinScreenScale, IGraphics::kMaxScreenScale);
}

double DesktopScale() {
  Display* display = XOpenDisplay(nullptr);
  const char* resources = display ? XResourceManagerString(display) : nullptr;
  const double scale = DesktopScaleFrom(std::getenv("GDK_SCALE"), resources);
  if (display) XCloseDisplay(display);
  return scale;
}
