#pragma once
// The single-line text field the headless view opens for typed input: its
// place, look and contents, and the formatter that filters what is typed.
// Created and owned by the view while the entry is open; whoever answers
// the entry (IPlatformPrompts) types into it through Clear/Type/Backspace.
// Main thread.

#include "graphics/IGraphicsStructs.h"
#include "kit/KIT_String.h"
#include "platform/TextEntryFormatter.h"
#include "platform/ViewGeometry.h"

class IControl;
class IParam;

class HeadlessTextField {
public:
  // Alignment of the text inside the field.
  enum EAlignment { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

  // text is the style of the control; str the text the field shows first.
  // A parameter gets a formatter; without one anything may be typed.
  HeadlessTextField(IControl* control, IParam* param, const IText* text, const char* str, const ViewRect& frame,
                    int editorHeight);

  HeadlessTextField(const HeadlessTextField&) = delete;
  HeadlessTextField& operator=(const HeadlessTextField&) = delete;

  // Empties the field as selecting all and deleting would.
  void Clear() { mString.Set(""); }
  // Types the characters one by one; a character whose result the formatter
  // refuses is dropped. Returns how many were taken.
  int Type(const char* chars);
  void Backspace();

  const char* GetString() const { return mString.Get(); }
  IControl* GetControl() const { return mControl; }
  IParam* GetParam() const { return mParam; }
  bool HasFormatter() const { return mHasFormatter; }
  const TextEntryFormatter& GetFormatter() const { return mFormatter; }
  const ViewRect& GetFrame() const { return mFrame; }
  // The frame in editor coordinates.
  IRECT GetRECT() const { return ToIRECT(mFrame, mEditorHeight); }
  const char* GetFontName() const { return mFontName.Get(); }
  int GetFontSize() const { return mFontSize; }
  EAlignment GetAlignment() const { return mAlignment; }
  const IColor& GetTextColor() const { return mTextColor; }
  const IColor& GetBackgroundColor() const { return mBackgroundColor; }

private:
  IControl* mControl;
  IParam* mParam;
  ViewRect mFrame;
  int mEditorHeight;
  KIT_String mFontName;
  int mFontSize;
  EAlignment mAlignment;
  IColor mTextColor;
  IColor mBackgroundColor;
  bool mHasFormatter;
  TextEntryFormatter mFormatter;
  KIT_String mString;
};
