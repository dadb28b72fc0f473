// The editor on high-density screens: at scale 2 the same editor, drawn
// sharper; between 1 and 2 the 2x drawing reduced to the window's size.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "EditorRig.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Reduce.h"

namespace {

int Channel(unsigned p, int c) { return int((p >> (8 * c)) & 255); }

// The same user session replayed on an editor: switches, knobs dragged and
// wheeled, a key over a knob, the trigger.
void Replay(EditorRig& rig) {
  rig.Click(150, 105);                      // MIDI Tune
  rig.Click(200, 190);                      // Glide Mode
  rig.Drag(70, 290, 0, -37);                // Decay knob
  rig.Drag(258, 378, 3, 25);                // Drive knob
  rig.Wheel(140, 352, 7);                   // DynDecay
  rig.Gui()->GetView()->MouseMoved(rig.At(70, 110), ViewModifiers());
  rig.Gui()->GetView()->KeyDown(126, "\xEF\x9C\x80");  // up arrow over Tune
  rig.Click(168, 460);                      // trigger
  rig.Render(256);
  rig.Tick();
  rig.Tick();
}

// Detail a 1x picture cannot hold: the squared difference, over r (device
// pixels, green channel), between the picture and its 2 x 2 block means.
double DetailEnergy(PIX_IBitmap* b, const IRECT& r) {
  double sum = 0;
  for (int y = r.T & ~1; y + 1 < r.B; y += 2)
    for (int x = r.L & ~1; x + 1 < r.R; x += 2) {
      int g[4];
      for (int k = 0; k < 4; ++k) g[k] = Channel(PIX_GetPixel(b, x + k % 2, y + k / 2), 2);
      const double mean = (g[0] + g[1] + g[2] + g[3]) / 4.0;
      for (int v : g) sum += (v - mean) * (v - mean);
    }
  return sum;
}

TEST(TonnikEditorScale, TwiceTheSizeShowsTheSameEditorAfterTheSameSession) {
  EditorRig one(1.0), two(2.0);
  Replay(one);
  Replay(two);
  PIX_IBitmap* a = one.Gui()->GetScreen();
  PIX_IBitmap* b = two.Gui()->GetScreen();
  ASSERT_EQ(b->getWidth(), 672);
  ASSERT_EQ(b->getHeight(), 1196);
  for (int i = 0; i < one.Plug().NParams(); ++i)
    EXPECT_EQ(one.Plug().GetParam(i)->Value(), two.Plug().GetParam(i)->Value()) << "parameter " << i;
  EXPECT_EQ(one.DisplayText(), two.DisplayText());

  long near = 0;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x) {
      bool close = true;
      for (int c = 0; c < 4; ++c) {
        int sum = 0;
        for (int k = 0; k < 4; ++k) sum += Channel(PIX_GetPixel(b, 2 * x + k % 2, 2 * y + k / 2), c);
        close = close && std::abs((sum + 2) / 4 - Channel(PIX_GetPixel(a, x, y), c)) <= 12;
      }
      near += close;
    }
  EXPECT_GE(double(near), 0.99 * a->getWidth() * a->getHeight());

  // Sharper than the 1x picture enlarged, by pixel doubling or smoothly:
  // over the knobs and their labels.
  PIX_MemBitmap doubled(672, 1196, 4), smooth(672, 1196, 4);
  PIX_ScaledBlit(&doubled, a, 0, 0, 672, 1196, 0, 0, 336, 598, 1.0f, PIX_MODE_COPY);
  PIX_ScaledBlit(&smooth, a, 0, 0, 672, 1196, 0, 0, 336, 598, 1.0f, PIX_MODE_COPY | PIX_MODE_FILTER_BILINEAR);
  double sharp = 0, enlarged = 0, smoothed = 0;
  for (int idx = kCtlToneKnob; idx <= kCtlGlideKnob; ++idx) {
    const IRECT* r = one.Control(idx)->GetRECT();
    const IRECT area(2 * r->L, 2 * r->T, 2 * r->R, 2 * (r->B + 16));
    sharp += DetailEnergy(b, area);
    enlarged += DetailEnergy(&doubled, area);
    smoothed += DetailEnergy(&smooth, area);
  }
  EXPECT_GE(sharp, 1.5 * enlarged);
  EXPECT_GE(sharp, 1.5 * smoothed);
}

TEST(TonnikEditorScale, FractionalScaleIsTheTwiceDrawingReducedOnce) {
  EditorRig two(2.0), mid(1.5);
  Replay(two);
  Replay(mid);
  PIX_IBitmap* b = two.Gui()->GetScreen();
  PIX_IBitmap* m = mid.Gui()->GetScreen();
  ASSERT_EQ(m->getWidth(), 504);
  ASSERT_EQ(m->getHeight(), 897);
  PIX_MemBitmap reduced(504, 897, 4);
  PIX_AreaReduce(&reduced, 0, 0, 504, 897, b, 2.0 / 1.5);
  EXPECT_EQ(EditorRig::Area(m, 0, 0, 504, 897), EditorRig::Area(&reduced, 0, 0, 504, 897));
}

TEST(TonnikEditorScale, ScaleChangeWhileOpenRedrawsAtTheNewSize) {
  EditorRig rig(1.0);
  const std::string before = rig.ScreenArea(IRECT(0, 0, 336, 598));
  ASSERT_TRUE(rig.Gui()->SetScreenScale(2.0));
  EXPECT_TRUE(rig.Tick());
  EXPECT_EQ(rig.Gui()->GetScreen()->getWidth(), 672);
  ASSERT_TRUE(rig.Gui()->SetScreenScale(1.0));
  EXPECT_TRUE(rig.Tick());
  EXPECT_EQ(rig.ScreenArea(IRECT(0, 0, 336, 598)), before);
  for (double bad : {0.5, 2.5, 0.0, double(NAN), double(INFINITY)}) EXPECT_FALSE(rig.Gui()->SetScreenScale(bad)) << bad;
  EXPECT_EQ(rig.Gui()->GetScreenScale(), 1.0);
}

}  // namespace
