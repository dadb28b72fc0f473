#include "GraphicsTestSupport.h"

#include "pix/PIX_Blit.h"

namespace gtest_support {

TestPlug::TestPlug()
    : IPluginBase(kNumTestParams, "0-2", 1, "Test", "", "Maker", 0x00010000, 0x54657374, 0x4D6B725F, 0, true, true,
                  true, kAPIAU) {
  GetParam(kGain)->InitDouble("Gain", 5.0, 0.0, 10.0, 0.1, "dB");
  GetParam(kMode)->InitEnum("Mode", 1, 3);
  GetParam(kMode)->SetDisplayText(0, "Soft");
  GetParam(kMode)->SetDisplayText(1, "Medium");
  GetParam(kMode)->SetDisplayText(2, "Hard");
  GetParam(kOn)->InitBool("On", true);
  GetParam(kTune)->InitInt("Tune", 0, -12, 12, "st");
  // A display that prints far more than 32 characters, and a long label.
  GetParam(kLong)->InitDouble("Long", 1e40, 0.0, 1e40, 0.000001, "abcdefghijklmnopqrstuvwxyz01234");
}

void TestPlug::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  mGUIChanges.push_back({paramIdx, normalizedValue});
  IPluginBase::SetParameterFromGUI(paramIdx, normalizedValue);
}

IPopupMenu* TestGraphics::CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) {
  mMenuItems.clear();
  mMenuChecks.clear();
  for (int i = 0; i < menu->GetNItems(); ++i) {
    mMenuItems.push_back(menu->GetItemText(i));
    mMenuChecks.push_back(menu->IsItemChecked(i));
  }
  mMenuRect = *textRect;
  if (mMenuChoice < 0) return nullptr;
  menu->SetChosenItemIdx(mMenuChoice);
  return menu;
}

void TestGraphics::CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                                   IParam* param) {
  mEntryControl = control;
  mEntryParam = param;
  mEntryText = str;
  mEntryRect = *textRect;
}

PIX_IBitmap* TestGraphics::OSLoadBitmap(int id, const char* name) {
  ++mBitmapLoads;
  auto maker = mBitmapMakers.find(name ? name : "");
  return maker == mBitmapMakers.end() ? nullptr : maker->second();
}

PIX_MemBitmap* MakeSolidBitmap(int w, int h, unsigned color) {
  PIX_MemBitmap* bitmap = new PIX_MemBitmap(w, h, 4);
  PIX_Clear(bitmap, color);
  return bitmap;
}

PIX_MemBitmap* MakeStrip(int frameW, int frameH, const std::vector<unsigned>& colors, bool horizontal) {
  const int n = static_cast<int>(colors.size());
  PIX_MemBitmap* bitmap = new PIX_MemBitmap(horizontal ? frameW * n : frameW, horizontal ? frameH : frameH * n, 4);
  for (int i = 0; i < n; ++i) {
    if (horizontal)
      PIX_FillRect(bitmap, i * frameW, 0, frameW, frameH, colors[i], 1.0f, 0);
    else
      PIX_FillRect(bitmap, 0, i * frameH, frameW, frameH, colors[i], 1.0f, 0);
  }
  return bitmap;
}

unsigned RowCode(int y) { return Opaque(y & 0xFF, (y >> 8) & 0xFF, 0x5A); }

PIX_MemBitmap* MakeRowCoded(int w, int h) {
  PIX_MemBitmap* bitmap = new PIX_MemBitmap(w, h, 4);
  for (int y = 0; y < h; ++y) PIX_FillRect(bitmap, 0, y, w, 1, RowCode(y), 1.0f, 0);
  return bitmap;
}

unsigned Opaque(int r, int g, int b) {
  IColor c(255, r, g, b);
  return PixColor(&c);
}

IRECT Tick(IGraphics* graphics) {
  IRECT r;
  if (graphics->IsDirty(&r)) graphics->Draw(&r);
  return r;
}

}  // namespace gtest_support
