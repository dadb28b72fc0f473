// Asking the user for a parameter value: popup menus for parameters with
// display texts, text entry for the others, and reading the typed text.

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "graphics/IKnobControls.h"
#include "graphics/ITextControls.h"

using namespace gtest_support;

namespace {

class PromptTest : public ::testing::Test {
protected:
  PromptTest() : mGUI(new TestGraphics(&mPlug, 200, 200)) {
    mGUI->mBitmapMakers["knob"] = [] { return MakeSolidBitmap(40, 40, Opaque(1, 1, 1)); };
    mBitmap = mGUI->LoadIBitmap(5001, "knob");
    for (int p = 0; p < kNumTestParams; ++p) {
      mKnobs[p] = new IKnobMultiControl(&mPlug, p * 40, 0, p, &mBitmap);
      mKnobs[p]->DisablePrompt(false);
      mGUI->AttachControl(mKnobs[p]);
    }
    mPlug.AttachGraphics(mGUI);
  }

  void Type(int paramIdx, const char* text) {
    std::string copy = text;
    mGUI->SetFromStringAfterPrompt(mKnobs[paramIdx], mPlug.GetParam(paramIdx), &copy[0]);
  }
  double Real(int paramIdx) { return mPlug.GetParam(paramIdx)->Value(); }

  TestPlug mPlug;
  TestGraphics* mGUI;
  IBitmap mBitmap;
  IKnobMultiControl* mKnobs[kNumTestParams] = {};
};

TEST_F(PromptTest, EnumeratedParameterGetsAMenuWithTheCurrentTextChecked) {
  mGUI->mMenuChoice = 2;
  IMouseMod right(false, true);
  mGUI->OnMouseDown(45, 5, &right);  // the Mode knob
  EXPECT_EQ(mGUI->mMenuItems, (std::vector<std::string>{"Soft", "Medium", "Hard"}));
  EXPECT_EQ(mGUI->mMenuChecks, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(mGUI->mMenuRect, IRECT(40, 0, 80, 40));  // the whole control
  EXPECT_DOUBLE_EQ(mKnobs[kMode]->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(Real(kMode), 2.0);
  mGUI->OnMouseUp(45, 5, &right);

  // Dismissed: nothing changes.
  mGUI->mMenuChoice = -1;
  mGUI->OnMouseDown(45, 5, &right);
  mGUI->OnMouseUp(45, 5, &right);
  EXPECT_DOUBLE_EQ(Real(kMode), 2.0);

  // A boolean with display texts also gets a menu.
  mGUI->mMenuChoice = 0;
  mGUI->OnMouseDown(85, 5, &right);
  EXPECT_EQ(mGUI->mMenuItems, (std::vector<std::string>{"off", "on"}));
  EXPECT_DOUBLE_EQ(Real(kOn), 0.0);
}

TEST_F(PromptTest, ContinuousParameterGetsATextEntryCentredOnTheControl) {
  IMouseMod right(false, true);
  mGUI->OnMouseDown(5, 5, &right);  // Gain, 5.0 with one decimal
  EXPECT_EQ(mGUI->mEntryControl, mKnobs[kGain]);
  EXPECT_EQ(mGUI->mEntryParam, mPlug.GetParam(kGain));
  EXPECT_EQ(mGUI->mEntryText, "5.0");
  EXPECT_EQ(mGUI->mEntryRect, IRECT(5, 12, 35, 28));  // 30 x 16 around (20, 20)
  EXPECT_TRUE(mGUI->mMenuItems.empty());
}

TEST_F(PromptTest, PromptingIsOffByDefaultAndNeedsAParameter) {
  auto* knob = new IKnobMultiControl(&mPlug, 0, 100, kGain, &mBitmap);
  mGUI->AttachControl(knob);
  IMouseMod right(false, true);
  mGUI->OnMouseDown(5, 105, &right);
  EXPECT_EQ(mGUI->mEntryControl, nullptr);
  IText style;
  auto* text = new ITextControl(&mPlug, IRECT(100, 100, 150, 120), &style, "x");
  mGUI->AttachControl(text);
  text->DisablePrompt(false);
  mGUI->OnMouseDown(110, 110, &right);
  EXPECT_EQ(mGUI->mEntryControl, nullptr);
  // Null arguments are refused.
  IRECT r(0, 0, 1, 1);
  mGUI->PromptUserInput(nullptr, mPlug.GetParam(kGain), &r);
  mGUI->PromptUserInput(knob, nullptr, &r);
  mGUI->PromptUserInput(knob, mPlug.GetParam(kGain), nullptr);
  EXPECT_EQ(mGUI->mEntryControl, nullptr);
}

TEST_F(PromptTest, TypedTextIsReadAsALeadingDecimalNumber) {
  struct TextCase {
    const char* text;
    double gain;  // real value of 0..10 after typing
  } cases[] = {{"7.5", 7.5},   {"3.2dB", 3.2}, {"  4", 4.0},   {"abc", 0.0},   {"", 0.0},
               {"nan", 0.0},   {"inf", 0.0},   {"0x8", 0.0},   {"1e1", 10.0},  {"2e", 2.0},
               {"-3", 0.0},    {"99", 10.0},   {".5", 0.5},    {"+6", 6.0},    {"1e999", 10.0}};
  for (const TextCase& c : cases) {
    mKnobs[kGain]->SetValueFromUserInput(0.33);
    Type(kGain, c.text);
    EXPECT_NEAR(Real(kGain), c.gain, 1e-9) << '"' << c.text << '"';
  }
  Type(kTune, "-7");
  EXPECT_DOUBLE_EQ(Real(kTune), -7.0);
}

TEST_F(PromptTest, TypedTextForEnumeratedParametersIsLookedUpExactly) {
  struct TextCase {
    int param;
    const char* text;
    double value;
  } cases[] = {{kMode, "Hard", 2.0}, {kMode, "Medium", 1.0}, {kMode, "hard", 0.0}, {kMode, "zzz", 0.0},
               {kOn, "on", 1.0},     {kOn, "On", 0.0},        {kOn, "", 0.0}};
  for (const TextCase& c : cases) {
    mKnobs[c.param]->SetValueFromUserInput(0.5);
    Type(c.param, c.text);
    EXPECT_DOUBLE_EQ(Real(c.param), c.value) << c.text;
  }
  // Without a parameter nothing happens.
  char text[] = "Hard";
  mKnobs[kMode]->SetValueFromUserInput(0.5);
  mGUI->SetFromStringAfterPrompt(mKnobs[kMode], nullptr, text);
  EXPECT_DOUBLE_EQ(mKnobs[kMode]->GetValue(), 0.5);
}

}  // namespace
