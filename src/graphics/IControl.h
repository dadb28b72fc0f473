#pragma once
// Base of every editor element: a drawing rectangle and a hit rectangle, an
// optional parameter (index -1 for none), a normalized value 0..1 with a
// default and a clamp range, dirty/hidden/greyed flags, a blend, and
// optional text controls that show its value and its parameter's name.
//
// A user change goes SetDirty(true) -> IPluginBase::SetParameterFromGUI; a
// plug-in change arrives through IGraphics::SetParameterFromPlug ->
// SetValueFromPlug.
//
// Ownership: created by the plug-in while it builds its editor, owned and
// deleted by the editor once attached. The plug-in and the display controls
// are not owned.
//
// Threads: everything on the main thread, except SetValueFromPlug,
// SetAuxParamValueFromPlug, SetDirty(false), Redraw and IsDirty, which the
// plug-in relays may call on the host's or audio thread. The value and the
// dirty and redraw flags are atomic so that no access is torn; a value that
// changes while a draw runs is drawn on the next tick.

#include <atomic>

#include "graphics/IGraphicsStructs.h"
#include "kit/KIT_TypedBuf.h"

class IGraphics;
class IPluginBase;

// A control's value as a plain double to its users. The main thread and the
// plug-in relays (host or audio thread) both write it while draws read it:
// every access is one relaxed atomic load or store, so none is torn and
// concurrent changes are last-writer-wins, as with a plain double.
class IControlValue {
public:
  IControlValue(double value = 0.0) : mValue(value) {}
  IControlValue(const IControlValue& other) : mValue(static_cast<double>(other)) {}
  IControlValue& operator=(const IControlValue& other) { return *this = static_cast<double>(other); }
  IControlValue& operator=(double value) {
    mValue.store(value, std::memory_order_relaxed);
    return *this;
  }
  IControlValue& operator+=(double delta) { return *this = static_cast<double>(*this) + delta; }
  IControlValue& operator-=(double delta) { return *this = static_cast<double>(*this) - delta; }
  operator double() const { return mValue.load(std::memory_order_relaxed); }

private:
  std::atomic<double> mValue;
};

// Opacity of a greyed-out control.
inline constexpr float GRAYED_ALPHA = 0.25f;

class IControl {
public:
  // A further parameter shown by a control, with the value last pushed to it.
  struct AuxParam {
    double mValue;
    int mParamIdx;
  };

  IControl(IPluginBase* plug, IRECT rect, int paramIdx = -1, IChannelBlend blend = IChannelBlend());

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Virtual operations, in slot order. ----
  virtual ~IControl();

  // Right button: prompt for a value.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int x, int y, IMouseMod* mod);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod);
  // Restores the default value once one has been pushed.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  // 0.01 per step, 0.001 with Shift or Control.
  virtual void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* mod);
  virtual void OnMouseOut();
  virtual bool Draw(IGraphics* graphics) = 0;
  // Host thread or main thread. The first value ever pushed also becomes the
  // default value.
  virtual void SetValueFromPlug(double value);
  // Text typed into an entry opened without a parameter.
  virtual void TextFromTextEntry(const char* txt);
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  // Clamps the value and marks the control for drawing. With push, a control
  // bound to a parameter sets it in the plug-in and updates its displays.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Leaves the control dirty for one more cycle when it asked for a redraw.
  virtual void SetClean();
  virtual bool IsDirty();
  virtual void OnGUIIdle();
  // Host thread or main thread.
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  // ---- Plain operations (main thread unless noted). ----
  int ParamIdx() const { return mParamIdx; }
  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  IText* GetText() { return &mText; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  const IChannelBlend* GetBlend() const { return &mBlend; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool allow) { mMOWhenGrayed = allow; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }

  void Clamp(double lo, double hi) {
    mClampLo = lo;
    mClampHi = hi;
  }
  // The text control that shows this control's value (not owned).
  void SetValDisplayControl(IControl* valueDisplayControl) { mValDisplayControl = valueDisplayControl; }
  // The text control that shows the parameter's name (not owned).
  void SetNameDisplayControl(IControl* nameDisplayControl) { mNameDisplayControl = nameDisplayControl; }

  // A typed or chosen value: taken and pushed to the plug-in when it differs.
  void SetValueFromUserInput(double value);
  // Asks the editor for a value over the control (a menu over the whole
  // control for parameters with display texts, else a small text field
  // centred on it). Does nothing without a parameter or while disabled.
  void PromptUserInput();
  void PromptUserInput(IRECT* textRect);
  // Any thread that may mark the control: asks for one more drawing.
  void Redraw() { mRedraw.store(true, std::memory_order_relaxed); }

  void AddAuxParam(int paramIdx);
  // idx must be one AddAuxParam handed out (0 .. count - 1).
  AuxParam* GetAuxParam(int idx);
  // First aux index bound to paramIdx, or -1.
  int AuxParamIdx(int paramIdx) const;
  int NAuxParams() const { return mAuxParams.GetSize(); }
  void SetAllAuxParamsFromGUI();

protected:
  IGraphics* GetGUI();
  // The frame a bitmap strip shows for the current value (1-based).
  int FrameForValue(int nFrames) const;
  // The value held to 0..1, for drawing.
  double UnitValue() const;

  int mTextEntryLength = 20;
  IText mText;
  IPluginBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  KIT_TypedBuf<AuxParam> mAuxParams;
  IControlValue mValue = 0.0;
  IControlValue mDefaultValue = -1.0;
  double mClampLo = 0.0;
  double mClampHi = 1.0;
  std::atomic<bool> mDirty{true};
  bool mHide = false;
  bool mGrayed = false;
  std::atomic<bool> mRedraw{false};
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
  IControl* mValDisplayControl = nullptr;
  IControl* mNameDisplayControl = nullptr;

private:
  void UpdateDisplays();
};
