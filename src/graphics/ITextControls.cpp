#include "graphics/ITextControls.h"

#include <cstring>

#include "graphics/IBitmapMonoText.h"
#include "graphics/IGraphics.h"
#include "plugin/IParam.h"
#include "plugin/IPluginBase.h"

// Room for any number GetDisplayForHost may print, plus " " and a label.
static constexpr int kCaptionBufLen = 512 + 1 + IParam::kTextLen;

ITextControl::ITextControl(IPluginBase* plug, IRECT rect, IText* text, const char* str)
    : IControl(plug, rect), mStr(str) {
  mText = *text;
}

void ITextControl::SetTextFromPlug(const char* str) {
  // Publish the text before the dirty mark, so a draw that sees the mark
  // finds the text.
  if (mStr.Post(str)) SetDirty(false);
}

const char* ITextControl::GetString() { return mStr.Latest(); }

bool ITextControl::Draw(IGraphics* graphics) {
  const char* str = GetString();
  if (!*str) return true;
  return graphics->DrawIText(&mText, str, &mRECT);
}

ICaptionControl::ICaptionControl(IPluginBase* plug, IRECT rect, int paramIdx, IText* text, bool showParamLabel)
    : ITextControl(plug, rect, text), mShowParamLabel(showParamLabel) {
  mParamIdx = paramIdx;
  // A caption exists to be typed into.
  mDisablePrompt = false;
}

void ICaptionControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int x, int y, IMouseMod* mod) { PromptUserInput(); }

bool ICaptionControl::Draw(IGraphics* graphics) {
  IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  if (!param) return true;
  char text[kCaptionBufLen];
  param->GetDisplayForHost(text);
  if (mShowParamLabel) {
    std::strcat(text, " ");
    std::strcat(text, param->GetLabelForHost());
  }
  if (!*text) return true;
  return graphics->DrawIText(&mText, text, &mRECT);
}

IBitmapTextControl::IBitmapTextControl(IPluginBase* plug, IRECT rect, IBitmap* bitmap, const char* str, IText* text,
                                       int charWidth, int charHeight)
    : IControl(plug, rect), mStr(str), mCharWidth(charWidth), mCharHeight(charHeight), mTextBitmap(*bitmap) {
  if (text) mText = *text;
}

void IBitmapTextControl::SetTextFromPlug(const char* str) {
  if (mStr.Post(str)) SetDirty(false);
}

const char* IBitmapTextControl::GetString() { return mStr.Latest(); }

bool IBitmapTextControl::Draw(IGraphics* graphics) {
  const char* str = GetString();
  if (!*str) return true;
  DrawBitmapedText(graphics, &mTextBitmap, &mRECT, &mText, &mBlend, str, true, false, mCharWidth, mCharHeight);
  return true;
}
