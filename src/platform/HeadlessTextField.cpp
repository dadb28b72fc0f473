#include "platform/HeadlessTextField.h"

#include "graphics/IControl.h"

namespace {
// The field's font is a little smaller than the control's text.
constexpr double kFontScale = 0.9;

HeadlessTextField::EAlignment AlignmentOf(const IText* text) {
  switch (text->mAlign) {
    case IText::kAlignCenter:
      return HeadlessTextField::kAlignCenter;
    case IText::kAlignFar:
      return HeadlessTextField::kAlignRight;
    default:
      return HeadlessTextField::kAlignLeft;
  }
}
}  // namespace

HeadlessTextField::HeadlessTextField(IControl* control, IParam* param, const IText* text, const char* str,
                                     const ViewRect& frame, int editorHeight)
    : mControl(control),
      mParam(param),
      mFrame(frame),
      mEditorHeight(editorHeight),
      mFontName(text->mFont),
      mFontSize(static_cast<int>(kFontScale * text->mSize)),
      mAlignment(AlignmentOf(text)),
      mTextColor(text->mTextEntryFGColor),
      mBackgroundColor(text->mTextEntryBGColor),
      mHasFormatter(param != nullptr),
      mString(str ? str : "") {
  if (param) mFormatter = TextEntryFormatter::ForParam(param, control->GetTextEntryLength());
}

int HeadlessTextField::Type(const char* chars) {
  if (!chars) return 0;
  int taken = 0;
  KIT_String candidate;
  for (const char* p = chars; *p; ++p) {
    candidate.Set(mString.Get());
    candidate.Append(p, 1);
    if (mHasFormatter && !mFormatter.IsPartialStringValid(candidate.Get())) continue;
    mString.Set(candidate.Get());
    ++taken;
  }
  return taken;
}

void HeadlessTextField::Backspace() {
  int n = mString.GetLength();
  if (n == 0) return;
  // Removes a whole UTF-8 character, continuation bytes included.
  const char* s = mString.Get();
  do {
    --n;
  } while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80);
  KIT_String shorter;
  shorter.Set(s, n);
  mString.Set(shorter.Get());
}
