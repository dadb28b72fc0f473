// The editor core driven the way a platform drives it: ticks, repaints and
// mouse/key events, with the results read from the draw bitmap.

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "graphics/IBitmapControls.h"

using namespace gtest_support;

namespace {

// Records the events it receives; draws a solid rectangle.
class RecordingControl : public IControl {
public:
  RecordingControl(IPluginBase* plug, IRECT rect, int paramIdx = -1) : IControl(plug, rect, paramIdx) {}

  void OnMouseDown(int x, int y, IMouseMod* mod) override { mEvents += "down;"; }
  void OnMouseUp(int x, int y, IMouseMod* mod) override { mEvents += "up;"; }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override {
    mEvents += "drag " + std::to_string(dX) + "," + std::to_string(dY) + ";";
  }
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override { mEvents += "dbl;"; }
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override { mEvents += "wheel;"; }
  bool OnKeyDown(int x, int y, int key) override {
    mEvents += "key " + std::to_string(key) + ";";
    return true;
  }
  void OnMouseOver(int x, int y, IMouseMod* mod) override { mEvents += "over;"; }
  void OnMouseOut() override { mEvents += "out;"; }
  bool Draw(IGraphics* graphics) override {
    ++mDraws;
    return true;
  }

  std::string mEvents;
  int mDraws = 0;
};

class EditorTest : public ::testing::Test {
protected:
  EditorTest() : mGUI(new TestGraphics(&mPlug, 100, 100)) {}

  // Hands the editor to the plug-in, which pushes the parameter values and
  // prepares drawing (as an instrument's constructor does).
  void Attach() { mPlug.AttachGraphics(mGUI); }

  RecordingControl* Add(IRECT r, int paramIdx = -1) {
    auto* c = new RecordingControl(&mPlug, r, paramIdx);
    mGUI->AttachControl(c);
    return c;
  }

  TestPlug mPlug;
  TestGraphics* mGUI;  // owned by mPlug once attached
  IMouseMod mLeft{true, false};
};

TEST_F(EditorTest, ClickInOverlapGoesToTheLaterControlUnlessHiddenOrGreyed) {
  RecordingControl* a = Add(IRECT(10, 10, 50, 50));
  RecordingControl* b = Add(IRECT(30, 30, 70, 70));
  Attach();

  mGUI->OnMouseDown(40, 40, &mLeft);
  mGUI->OnMouseUp(40, 40, &mLeft);
  EXPECT_EQ(b->mEvents, "down;up;");
  EXPECT_EQ(a->mEvents, "");

  b->Hide(true);
  mGUI->OnMouseDown(40, 40, &mLeft);
  EXPECT_EQ(a->mEvents, "down;");
  mGUI->OnMouseUp(40, 40, &mLeft);
  b->Hide(false);
  b->GrayOut(true);
  a->mEvents.clear();
  mGUI->OnMouseDown(40, 40, &mLeft);
  EXPECT_EQ(a->mEvents, "down;");
  mGUI->OnMouseUp(40, 40, &mLeft);

  // Outside every control nothing is hit.
  a->mEvents.clear();
  mGUI->OnMouseDown(90, 5, &mLeft);
  mGUI->OnMouseUp(90, 5, &mLeft);
  EXPECT_EQ(a->mEvents, "");
}

TEST_F(EditorTest, CaptureFollowsTheDragOutsideAndSamePositionIsNotDelivered) {
  RecordingControl* a = Add(IRECT(10, 10, 30, 30));
  RecordingControl* other = Add(IRECT(60, 60, 90, 90));
  Attach();

  mGUI->OnMouseDrag(20, 20, &mLeft);  // no capture yet: nobody
  mGUI->OnMouseDown(20, 20, &mLeft);
  mGUI->OnMouseDrag(20, 20, &mLeft);  // same position
  mGUI->OnMouseDrag(70, 75, &mLeft);  // over the other control
  mGUI->OnMouseDrag(70, 75, &mLeft);
  mGUI->OnMouseDrag(65, 75, &mLeft);
  mGUI->OnMouseWheel(70, 70, &mLeft, 1);
  mGUI->OnMouseUp(70, 75, &mLeft);
  EXPECT_EQ(a->mEvents, "down;drag 50,55;drag -5,0;wheel;up;");
  EXPECT_EQ(other->mEvents, "");

  // After the mouse-up the capture is gone.
  mGUI->OnMouseDrag(71, 75, &mLeft);
  EXPECT_EQ(a->mEvents, "down;drag 50,55;drag -5,0;wheel;up;");
}

TEST_F(EditorTest, BeginAndEndNoticesOnlyForControlsWithAParameter) {
  Add(IRECT(0, 0, 20, 20));
  Add(IRECT(50, 50, 70, 70), kGain);
  Attach();

  mGUI->OnMouseDown(5, 5, &mLeft);
  mGUI->OnMouseUp(5, 5, &mLeft);
  EXPECT_TRUE(mPlug.mBegins.empty());
  EXPECT_TRUE(mPlug.mEnds.empty());

  mGUI->OnMouseDown(55, 55, &mLeft);
  mGUI->OnMouseUp(0, 99, &mLeft);  // released elsewhere: still the captured control
  EXPECT_EQ(mPlug.mBegins, std::vector<int>{kGain});
  EXPECT_EQ(mPlug.mEnds, std::vector<int>{kGain});
}

TEST_F(EditorTest, DoubleClickAsSingleClickCapturesWithoutABeginNotice) {
  RecordingControl* plain = Add(IRECT(0, 0, 20, 20), kGain);
  RecordingControl* single = Add(IRECT(50, 50, 70, 70), kGain);
  single->SetDblAsSingleClick(true);
  Attach();

  EXPECT_FALSE(mGUI->OnMouseDblClick(5, 5, &mLeft));
  EXPECT_EQ(plain->mEvents, "dbl;");
  EXPECT_TRUE(mGUI->OnMouseDblClick(55, 55, &mLeft));
  mGUI->OnMouseDrag(80, 80, &mLeft);
  EXPECT_EQ(single->mEvents, "down;drag 25,25;");
  EXPECT_TRUE(mPlug.mBegins.empty());
  EXPECT_FALSE(mGUI->OnMouseDblClick(95, 5, &mLeft));
}

TEST_F(EditorTest, KeysGoToTheControlOrTheKeyCatcherButNeverTheBackground) {
  RecordingControl* background = Add(IRECT(0, 0, 100, 100));
  RecordingControl* knob = Add(IRECT(40, 40, 60, 60));
  Attach();

  EXPECT_TRUE(mGUI->OnKeyDown(50, 50, KEY_SPACE));
  EXPECT_EQ(knob->mEvents, "key 0;");
  EXPECT_FALSE(mGUI->OnKeyDown(5, 5, KEY_ALPHA_A));  // over the background, no catcher
  EXPECT_EQ(background->mEvents, "");

  auto* catcher = new RecordingControl(&mPlug, IRECT());
  mGUI->AttachKeyCatcher(catcher);
  EXPECT_TRUE(mGUI->OnKeyDown(5, 5, KEY_ALPHA_A));
  EXPECT_EQ(catcher->mEvents, "key 15;");
  EXPECT_EQ(background->mEvents, "");
}

TEST_F(EditorTest, MouseOverIsOffByDefaultAndTellsThePreviousControlWhenOn) {
  RecordingControl* a = Add(IRECT(0, 0, 20, 20));
  RecordingControl* b = Add(IRECT(50, 50, 70, 70));
  b->GrayOut(true);
  Attach();

  EXPECT_FALSE(mGUI->OnMouseOver(5, 5, &mLeft));
  EXPECT_EQ(a->mEvents, "");

  mGUI->HandleMouseOver(true);
  EXPECT_TRUE(mGUI->OnMouseOver(5, 5, &mLeft));
  EXPECT_EQ(a->mEvents, "over;");
  // Greyed without mouse-over-when-greyed: not found, nobody told.
  EXPECT_TRUE(mGUI->OnMouseOver(55, 55, &mLeft));
  EXPECT_EQ(a->mEvents, "over;");
  b->SetMOWhenGrayed(true);
  mGUI->OnMouseOver(55, 55, &mLeft);
  EXPECT_EQ(b->mEvents, "over;");
  EXPECT_EQ(a->mEvents, "over;out;");
  mGUI->OnMouseOut();
  EXPECT_EQ(b->mEvents, "over;out;");
}

TEST_F(EditorTest, RelaysFromThePlugInReachEveryBoundControlOnce) {
  RecordingControl* a = Add(IRECT(0, 0, 10, 10), kGain);
  RecordingControl* b = Add(IRECT(20, 0, 30, 10), kGain);
  RecordingControl* aux = Add(IRECT(40, 0, 50, 10), kMode);
  aux->AddAuxParam(kTune);
  aux->AddAuxParam(kGain);
  Attach();
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.5);  // Gain 5 of 0..10, pushed on attach

  mGUI->SetParameterFromPlug(kGain, 2.5, false);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(aux->GetAuxParam(1)->mValue, 0.25);
  EXPECT_DOUBLE_EQ(aux->GetAuxParam(0)->mValue, 0.5);  // Tune 0 of -12..12 on attach

  mGUI->SetParameterFromPlug(kGain, 0.75, true);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.75);

  mGUI->SetControlFromPlug(2, 0.4);
  EXPECT_DOUBLE_EQ(aux->GetValue(), 0.4);
  mGUI->SetControlFromPlug(3, 0.9);  // no such control: ignored
  mGUI->SetControlFromPlug(-1, 0.9);
  EXPECT_EQ(mGUI->GetControl(3), nullptr);
  EXPECT_EQ(mGUI->GetControl(-1), nullptr);
}

TEST_F(EditorTest, HideGreyAndClampByParameter) {
  RecordingControl* a = Add(IRECT(0, 0, 10, 10), kGain);
  RecordingControl* other = Add(IRECT(20, 0, 30, 10), kMode);
  Attach();

  mGUI->HideControl(kGain, true);
  EXPECT_TRUE(a->IsHidden());
  EXPECT_FALSE(other->IsHidden());
  mGUI->GrayOutControl(kGain, true);
  EXPECT_TRUE(a->IsGrayed());
  EXPECT_FLOAT_EQ(a->GetBlend()->mWeight, 0.25f);
  mGUI->GrayOutControl(kGain, false);
  EXPECT_FLOAT_EQ(a->GetBlend()->mWeight, 1.0f);

  mGUI->ClampControl(kGain, 2.0, 4.0, false);  // 0.2 .. 0.4 normalized
  mGUI->SetControlFromPlug(0, 0.9);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.4);
}

TEST_F(EditorTest, DrawOnAnEmptyListSucceedsWithoutTouchingTheScreen) {
  Attach();
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(mGUI->Draw(&r));
  EXPECT_TRUE(mGUI->mScreens.empty());
  IRECT dirty;
  EXPECT_FALSE(mGUI->IsDirty(&dirty));
}

TEST_F(EditorTest, IsDirtyUnitesDrawingRectanglesOfDirtyControlsHiddenOnesToo) {
  RecordingControl* a = Add(IRECT(10, 10, 20, 20));
  RecordingControl* b = Add(IRECT(50, 60, 70, 80));
  Attach();
  Tick(mGUI);
  IRECT r;
  EXPECT_FALSE(mGUI->IsDirty(&r));
  a->SetDirty(false);
  b->Hide(true);
  EXPECT_TRUE(mGUI->IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 10, 70, 80));
}

TEST_F(EditorTest, AControlThatAskedForARedrawIsDrawnOnceMore) {
  RecordingControl* a = Add(IRECT(10, 10, 20, 20), kGain);
  Attach();
  Tick(mGUI);
  a->mDraws = 0;

  mGUI->SetParameterFromPlug(kGain, 0.9, true);  // value change asks for a redraw
  EXPECT_FALSE(Tick(mGUI).Empty());
  EXPECT_FALSE(Tick(mGUI).Empty());
  EXPECT_TRUE(Tick(mGUI).Empty());
  EXPECT_EQ(a->mDraws, 2);
}

TEST_F(EditorTest, AFailedScreenCopyStillLeavesControlsClean) {
  Add(IRECT(10, 10, 20, 20));
  Attach();
  mGUI->mScreenWorks = false;
  IRECT r;
  ASSERT_TRUE(mGUI->IsDirty(&r));
  EXPECT_FALSE(mGUI->Draw(&r));
  IRECT again;
  EXPECT_FALSE(mGUI->IsDirty(&again));
}

TEST_F(EditorTest, ResizeDropsControlsRemakesTheBitmapAndTellsThePlugIn) {
  Add(IRECT(10, 10, 20, 20));
  Attach();
  mGUI->OnMouseDown(15, 15, &mLeft);
  mGUI->Resize(60, 40);
  EXPECT_EQ(mGUI->GetNControls(), 0);
  EXPECT_EQ(mGUI->Width(), 60);
  ASSERT_NE(mGUI->GetDrawBitmap(), nullptr);
  EXPECT_EQ(mGUI->GetDrawBitmap()->getWidth(), 60);
  EXPECT_EQ(mGUI->GetDrawBitmap()->getHeight(), 40);
  ASSERT_EQ(mPlug.mResizes.size(), 1u);
  EXPECT_EQ(mPlug.mResizes[0], std::make_pair(60, 40));
  mGUI->OnMouseDrag(30, 30, &mLeft);  // the capture went with the controls
}

TEST_F(EditorTest, AttachBackgroundGoesToTheFrontAndShiftsIndices) {
  mGUI->mBitmapMakers["bg.png"] = [] { return MakeSolidBitmap(100, 100, Opaque(1, 2, 3)); };
  RecordingControl* a = Add(IRECT(10, 10, 20, 20));
  EXPECT_EQ(mGUI->GetControl(0), a);
  mGUI->AttachBackground(9001, "bg.png");
  EXPECT_EQ(mGUI->GetControl(1), a);
  EXPECT_EQ(*mGUI->GetControl(0)->GetRECT(), IRECT(0, 0, 100, 100));
  EXPECT_EQ(mGUI->GetControl(0)->ParamIdx(), -1);
  EXPECT_EQ(mGUI->GetControl(0)->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  IControl* panel = mGUI->AttachPanelBackground(&COLOR_RED);
  EXPECT_EQ(mGUI->GetControl(0), panel);
  EXPECT_EQ(*panel->GetRECT(), IRECT(0, 0, 100, 100));
  Attach();
}

// ---- Strict and non-strict repaint, read from the pixels. ----

class RedrawTest : public EditorTest {
protected:
  static constexpr unsigned kMarker = 0x12345678;

  void Build() {
    mGUI->mBitmapMakers["bg"] = [] { return MakeSolidBitmap(100, 100, Opaque(0, 0, 0)); };
    mGUI->mBitmapMakers["red"] = [] { return MakeSolidBitmap(20, 20, Opaque(255, 0, 0)); };
    mGUI->mBitmapMakers["green"] = [] { return MakeSolidBitmap(20, 20, Opaque(0, 255, 0)); };
    mGUI->mBitmapMakers["blue"] = [] { return MakeSolidBitmap(20, 20, Opaque(0, 0, 255)); };
    mGUI->AttachBackground(8000, "bg");
    IBitmap red = mGUI->LoadIBitmap(8001, "red");
    IBitmap green = mGUI->LoadIBitmap(8002, "green");
    IBitmap blue = mGUI->LoadIBitmap(8003, "blue");
    mA = new IBitmapControl(&mPlug, 10, 10, kGain, &red);    // (10,10)-(30,30)
    mB = new IBitmapControl(&mPlug, 60, 60, kMode, &green);  // (60,60)-(80,80)
    mC = new IBitmapControl(&mPlug, 25, 25, &blue);          // overlaps A: (25,25)-(45,45)
    mGUI->AttachControl(mA);
    mGUI->AttachControl(mB);
    mGUI->AttachControl(mC);
    Attach();
    Tick(mGUI);
  }

  unsigned Pixel(int x, int y) { return PIX_GetPixel(mGUI->GetDrawBitmap(), x, y); }
  void Mark(int x, int y) { PIX_PutPixel(mGUI->GetDrawBitmap(), x, y, kMarker, 1.0f, 0); }

  IBitmapControl* mA = nullptr;
  IBitmapControl* mB = nullptr;
  IBitmapControl* mC = nullptr;
};

TEST_F(RedrawTest, FirstRepaintPaintsEverythingInAttachOrder) {
  Build();
  EXPECT_EQ(Pixel(5, 5), Opaque(0, 0, 0));
  EXPECT_EQ(Pixel(12, 12), Opaque(255, 0, 0));
  EXPECT_EQ(Pixel(27, 27), Opaque(0, 0, 255));  // C covers A
  EXPECT_EQ(Pixel(70, 70), Opaque(0, 255, 0));
  ASSERT_EQ(mGUI->mScreens.size(), 1u);
  EXPECT_EQ(mGUI->mScreens[0], IRECT(0, 0, 100, 100));
}

TEST_F(RedrawTest, StrictRepaintsExactlyTheDirtyArea) {
  Build();
  for (int p : {12, 27, 40, 70, 95}) Mark(p, p);
  Mark(35, 12);  // inside the dirty area but covered by no control but the background

  mB->SetDirty(false);
  mA->SetDirty(false);
  IRECT r;
  ASSERT_TRUE(mGUI->IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 10, 80, 80));
  mGUI->Draw(&r);
  EXPECT_EQ(Pixel(12, 12), Opaque(255, 0, 0));
  EXPECT_EQ(Pixel(27, 27), Opaque(0, 0, 255));
  EXPECT_EQ(Pixel(40, 40), Opaque(0, 0, 255));
  EXPECT_EQ(Pixel(35, 12), Opaque(0, 0, 0));
  EXPECT_EQ(Pixel(70, 70), Opaque(0, 255, 0));
  EXPECT_EQ(Pixel(95, 95), kMarker);  // outside the repainted area
  EXPECT_TRUE(Tick(mGUI).Empty());
}

TEST_F(RedrawTest, StrictRepaintSkipsHiddenControls) {
  Build();
  mC->Hide(true);
  Tick(mGUI);
  EXPECT_EQ(Pixel(27, 27), Opaque(255, 0, 0));
  EXPECT_EQ(Pixel(40, 40), Opaque(0, 0, 0));
}

TEST_F(RedrawTest, NonStrictRepaintsEachDirtyControlWithThoseThatMeetIt) {
  Build();
  mGUI->SetStrictDrawing(false);
  Tick(mGUI);  // everything was marked: the background repaints all
  for (int p : {12, 27, 40, 70, 95}) Mark(p, p);
  Mark(75, 12);

  mA->SetDirty(false);
  IRECT r;
  ASSERT_TRUE(mGUI->IsDirty(&r));
  mGUI->Draw(&r);
  EXPECT_EQ(Pixel(12, 12), Opaque(255, 0, 0));
  EXPECT_EQ(Pixel(27, 27), Opaque(0, 0, 255));  // C meets A and is drawn over it
  EXPECT_EQ(Pixel(40, 40), kMarker);            // C's part outside A's area is clipped away
  EXPECT_EQ(Pixel(70, 70), kMarker);            // B is not dirty and does not meet A
  EXPECT_EQ(Pixel(95, 95), kMarker);
  EXPECT_EQ(Pixel(75, 12), kMarker);
  EXPECT_TRUE(Tick(mGUI).Empty());
}

TEST_F(RedrawTest, NonStrictDirtyBackgroundRepaintsEverythingButHiddenControls) {
  Build();
  mGUI->SetStrictDrawing(false);
  mC->Hide(true);
  Tick(mGUI);
  for (int p : {12, 27, 70, 95}) Mark(p, p);
  mGUI->GetControl(0)->SetDirty(false);
  Tick(mGUI);
  EXPECT_EQ(Pixel(12, 12), Opaque(255, 0, 0));
  EXPECT_EQ(Pixel(27, 27), Opaque(255, 0, 0));
  EXPECT_EQ(Pixel(70, 70), Opaque(0, 255, 0));
  EXPECT_EQ(Pixel(95, 95), Opaque(0, 0, 0));
  // The hidden control keeps its dirty state.
  EXPECT_TRUE(mC->IsDirty());
}

}  // namespace
