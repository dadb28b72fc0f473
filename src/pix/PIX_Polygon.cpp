#include <algorithm>
#include <cmath>

#include "pix/PIX_Draw.h"
#include "pix/PIX_Plot.h"

using namespace PIX_Combine;

void PIX_FillConvexPolygon(PIX_IBitmap* bitmap, const int* x, const int* y, int n, unsigned color, float alpha,
                           int mode) {
  PIX_Canvas cv;
  if (!x || !y || n < 3 || !PIX_GetRows(bitmap, &cv.rows)) return;
  cv.color = color;
  const int w = PIX_Weight(alpha);
  if (w == 0) return;
  const int yMin = *std::min_element(y, y + n);
  const int yMax = *std::max_element(y, y + n);
  const int firstRow = std::max(yMin, 0);
  const int lastRow = int(std::min<long long>(yMax, cv.rows.height)) - 1;
  WithFixedMixFormula(mode, w, [&](auto c) {
    for (int row = firstRow; row <= lastRow; ++row) {
      const double yc = row + 0.5;
      double lo = 1e300, hi = -1e300;
      for (int i = 0; i < n; ++i) {
        const int j = i + 1 < n ? i + 1 : 0;
        const double ya = y[i], yb = y[j];
        if ((ya <= yc && yc < yb) || (yb <= yc && yc < ya)) {
          const double xi = x[i] + (yc - ya) * (double(x[j]) - x[i]) / (yb - ya);
          lo = std::min(lo, xi);
          hi = std::max(hi, xi);
        }
      }
      if (lo >= hi) continue;
      // Pixels whose centres lie in [lo, hi).
      const double first = std::max(std::ceil(lo - 0.5), 0.0);
      const double last = std::min(std::ceil(hi - 0.5) - 1, double(cv.rows.width - 1));
      if (first <= last) cv.HorizRun(int(first), int(last), row, c);
    }
  });
}

void PIX_FillTriangle(PIX_IBitmap* bitmap, int x1, int y1, int x2, int y2, int x3, int y3, unsigned color,
                      float alpha, int mode) {
  const int xs[] = {x1, x2, x3};
  const int ys[] = {y1, y2, y3};
  PIX_FillConvexPolygon(bitmap, xs, ys, 3, color, alpha, mode);
}
