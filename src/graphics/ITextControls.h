#pragma once
// Controls that show text: a plain text, a parameter's value as a caption,
// and text drawn from a monospaced bitmap font.
//
// Threads: SetTextFromPlug may be called from any thread, several at once,
// the audio thread included: it neither waits nor allocates, and never
// touches the text a draw on the main thread is reading (ITextMailbox).
// Everything else runs on the main thread.

#include "graphics/IControl.h"
#include "graphics/ITextMailbox.h"

class ITextControl : public IControl {
public:
  ITextControl(IPluginBase* plug, IRECT rect, IText* text, const char* str = "");

  // Takes a text that differs from the last one set and marks the control
  // dirty; an equal text changes nothing. Texts are cut to
  // ITextMailbox::kCapacity - 1 bytes.
  void SetTextFromPlug(const char* str);
  // Main thread: the text the control shows.
  const char* GetString();

  // Draws a non-empty string with the control's text style.
  bool Draw(IGraphics* graphics) override;

protected:
  ITextMailbox mStr;
};

// Shows its parameter's display value, followed by " " and the label when
// show-label is set. Any click or a double click prompts for a value.
class ICaptionControl : public ITextControl {
public:
  ICaptionControl(IPluginBase* plug, IRECT rect, int paramIdx, IText* text, bool showParamLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

protected:
  bool mShowParamLabel;
};

// Text drawn with a bitmap font whose frame k shows character k + 31,
// vertically centred in the rectangle.
class IBitmapTextControl : public IControl {
public:
  IBitmapTextControl(IPluginBase* plug, IRECT rect, IBitmap* bitmap, const char* str = "", IText* text = nullptr,
                     int charWidth = 6, int charHeight = 12);

  // As ITextControl::SetTextFromPlug.
  void SetTextFromPlug(const char* str);
  // Main thread: the text the control shows.
  const char* GetString();

  bool Draw(IGraphics* graphics) override;

protected:
  ITextMailbox mStr;
  int mCharWidth;
  int mCharHeight;
  IBitmap mTextBitmap;
};
