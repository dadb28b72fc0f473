#pragma once
// The instrument with its editor open headless: clicks, drags and wheel
// steps given in editor pixels go through the view as the window system
// would send them; Tick() refreshes as the view's timer does; pixel helpers
// compare what the screen shows against frames of the editor's images.

#include <string>

#include "TonnikFixture.h"
#include "graphics/IControl.h"
#include "graphics/ITextControls.h"
#include "pix/PIX_Bitmap.h"
#include "platform/HeadlessView.h"
#include "platform/IGraphicsHeadless.h"
#include "tonnik/TonnikLayout.h"

class EditorRig : public TonnikRig {
public:
  // Opened at a screen scale, device pixels per editor pixel.
  explicit EditorRig(double scale = 1.0) : mGui(dynamic_cast<IGraphicsHeadless*>(Plug().GetGUI())) {
    if (mGui) {
      mGui->OpenWindow(nullptr);
      mGui->SetScreenScale(scale);
      mGui->Tick();
    }
  }

  IGraphicsHeadless* Gui() { return mGui; }
  IControl* Control(int idx) { return mGui->GetControl(idx); }
  ITextControl* Display() { return dynamic_cast<ITextControl*>(Control(kCtlValueDisplay)); }
  std::string DisplayText() { return Display()->GetString(); }

  ViewPoint At(int x, int y) { return ViewPoint{double(x + 2), double(mGui->Height() - y - 3)}; }
  void Click(int x, int y) {
    mGui->GetView()->MouseDown(At(x, y), ViewModifiers());
    mGui->GetView()->MouseUp(At(x, y), ViewModifiers());
  }
  void Drag(int x, int y, int dx, int dy) {
    mGui->GetView()->MouseDown(At(x, y), ViewModifiers());
    mGui->GetView()->MouseDragged(At(x + dx, y + dy), ViewModifiers());
    mGui->GetView()->MouseUp(At(x + dx, y + dy), ViewModifiers());
  }
  void Wheel(int x, int y, int steps) { mGui->GetView()->ScrollWheel(At(x, y), ViewModifiers(), steps); }
  bool Tick() { return mGui->Tick(); }

  // The screen's pixels in r, row by row.
  std::string ScreenArea(const IRECT& r) { return Area(mGui->GetScreen(), r.L, r.T, r.W(), r.H()); }

  // Pixels w x h at (x, y) of a bitmap, row by row.
  static std::string Area(PIX_IBitmap* b, int x, int y, int w, int h);

private:
  IGraphicsHeadless* mGui;
};
