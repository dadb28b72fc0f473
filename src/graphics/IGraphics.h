#pragma once
// The platform-independent half of a plug-in's editor: the ordered list of
// controls, the off-screen bitmap they draw into, the dirty-rectangle
// bookkeeping, mouse and key dispatch, the relays between plug-in and
// controls, and the drawing operations controls call.
//
// Ownership: the plug-in base owns the editor (it deletes it); the editor
// keeps a non-owning pointer back to its plug-in. The editor owns its
// controls, its key catcher and both bitmaps. Loaded bitmaps and fonts live
// in process-wide caches (IGraphicsCaches.h) shared by all editors.
//
// The platform half derives from this class and supplies the window, the
// screen blit, the refresh timer, text entry and popup menus through the
// pure virtual operations. A platform drives the editor like this: each tick
// IsDirty() with an empty rectangle; if dirty, repaint that area with Draw();
// mouse and key events go to the On... operations.
//
// Scale: controls, rectangles, events and the layout are in editor pixels
// at every scale. On a high-density screen the editor draws at 2 device
// pixels per editor pixel (bitmaps from their 2x images, text at twice the
// size); a window scale between 1 and 2 is drawn at 2 and reduced once,
// by area averaging, to the window's size. SetScreenScale is the one entry
// point for every source of a scale.
//
// Threads: everything runs on the main thread, except the relays from the
// plug-in (SetParameterFromPlug, SetControlFromPlug), which the plug-in may
// call on any thread, the audio thread included, with or without the
// plug-in mutex: they only store into the controls' atomic values and flags
// (IControl.h), never allocate and take no lock, and the control list they
// walk is fixed once the plug-in's constructor has attached it. The editor
// takes no lock while drawing; a control draws the value it holds then.

#include <memory>

#include "graphics/IGraphicsStructs.h"
#include "kit/KIT_Mutex.h"
#include "kit/KIT_PtrList.h"
#include "kit/KIT_String.h"

class IControl;
class IParam;
class IPluginBase;
class IPopupMenu;
class IScaledImage;
class PIX_IBitmap;
class PIX_MemBitmap;
class PIX_SysBitmap;
class PIX_CachedFont;

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

// Raster pixel of a colour: alpha in bits 0-7, red 8-15, green 16-23, blue 24-31.
inline unsigned PixColor(const IColor* color) {
  return (static_cast<unsigned>(color->A) & 0xFF) | ((static_cast<unsigned>(color->R) & 0xFF) << 8) |
         ((static_cast<unsigned>(color->G) & 0xFF) << 16) | ((static_cast<unsigned>(color->B) & 0xFF) << 24);
}
// Opacity of a blend; a null blend is fully opaque.
inline float PixWeight(const IChannelBlend* blend) { return blend ? blend->mWeight : 1.0f; }
// Raster combine mode of a blend (source-alpha copy for null or unknown methods).
int PixBlendMode(const IChannelBlend* blend);

class IGraphics {
public:
  // A frame rate of 0 or less means the default of 25 frames per second.
  // Creates no bitmaps and starts nothing: an editor costs next to nothing
  // until its window opens (OpenDrawing) or it first draws.
  IGraphics(IPluginBase* plug, int width, int height, int fps);

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Platform operations, in slot order. ----

  // Copies the repainted area of the draw bitmap to the screen.
  virtual bool DrawScreen(IRECT* r) = 0;
  // Measures str in the style; r receives the bounds of the text.
  virtual bool MeasureIText(IText* text, const char* str, IRECT* r);
  // Closes an open text entry without committing it.
  virtual void ForceEndUserEdit() = 0;
  // Deletes every control, remakes the bitmaps at the new size and tells the
  // plug-in. The caller attaches controls again afterwards.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen();
  virtual const char* GetGUIAPI();
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu; returns the menu holding the chosen item (with its chosen
  // index set), or null when nothing was chosen.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) = 0;
  // Opens a text field; when it ends the platform calls
  // SetFromStringAfterPrompt (with a parameter) or the control's
  // TextFromTextEntry (without).
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                               IParam* param) = 0;
  virtual void HostPath(KIT_String* path) = 0;
  virtual void PluginPath(KIT_String* path) = 0;
  virtual void DesktopPath(KIT_String* path) = 0;
  // Asks the user for a file. On return fileName holds the chosen path, or
  // is empty when the user cancelled; dir may be updated to the folder used.
  // extension is given without the dot ("fxp").
  virtual void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir,
                             char* extension) = 0;
  virtual bool PromptForColor(IColor* color, char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
                       const char* errMsgOnFailure) = 0;
  virtual void* OpenWindow(void* parentView) = 0;
  virtual void* OpenWindow(void* parentWindow, void* parentControl, short leftOffset, short topOffset);
  virtual void AttachSubWindow(void* hostWindow);
  virtual void RemoveSubWindow();
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  // Deletes the key catcher, every control and both bitmaps.
  virtual ~IGraphics();
  virtual void HideMouseCursor();
  virtual void ShowMouseCursor();
  // Loads an image resource by name; null when it cannot be found or decoded.
  virtual PIX_IBitmap* OSLoadBitmap(int id, const char* name) = 0;
  // The PNG file of an image resource, so that it can be decoded when first
  // drawn instead of when loaded. False (the base answer) when the platform
  // names no file: the image is then decoded at once by OSLoadBitmap.
  virtual bool OSImageFile(int id, const char* name, KIT_String* path);
  // The screen scale changed (SetScreenScale): the platform resizes its
  // window or view to ScreenWidth() x ScreenHeight() device pixels. Every
  // control is already marked for redrawing. The base does nothing.
  virtual void OnScreenScaleChanged();

  // ---- Construction and attachment (main thread). ----

  // Creates the draw bitmap at the editor's size times the drawing scale
  // and the empty scratch bitmap, unless they exist. Drawing calls it;
  // nothing else needs to.
  void PrepDraw();
  // Called by a platform as its window opens: starts the font library's
  // set-up on a helper thread, to run while the first frame's images
  // decode. The bitmaps come with the first frame, at the scale the host
  // has set by then.
  void OpenDrawing();
  // False until the editor first draws or opens a window.
  bool HoldsDrawBitmap() const { return mDrawBitmap != nullptr; }
  // Loads a one-frame bitmap and puts it, drawn opaque, in front of the list.
  void AttachBackground(int id, const char* name);
  // A panel of that colour over the whole editor, in front of the list.
  IControl* AttachPanelBackground(const IColor* color);
  // Takes the control; returns its index.
  int AttachControl(IControl* control);
  // Takes the control that receives keys no listed control takes. Replaces,
  // without deleting, a previous key catcher.
  void AttachKeyCatcher(IControl* control);
  // Null for an index outside the list.
  IControl* GetControl(int idx) { return mControls.Get(idx); }
  int GetNControls() const { return mControls.GetSize(); }

  IPluginBase* GetPlug() { return mPlug; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }

  // ---- Scale (main thread). ----

  // Smallest and largest screen scale, in device pixels per editor pixel.
  static constexpr double kMinScreenScale = 1.0;
  static constexpr double kMaxScreenScale = 2.0;

  // Sets the device pixels per editor pixel of the window the editor is
  // shown in: from a host's scale call, the window's backing scale or a
  // command-line option. A change remakes the draw bitmap at the new
  // drawing scale, marks every control dirty and tells the platform
  // (OnScreenScaleChanged). False, changing nothing, for a scale outside
  // [kMinScreenScale, kMaxScreenScale] or not finite.
  bool SetScreenScale(double scale);
  double GetScreenScale() const { return mScreenScale; }
  // Device pixels per editor pixel in the draw bitmap: 1, or 2 for every
  // screen scale above 1.
  int DrawScale() const { return mDrawScale; }
  // The window's size in device pixels (the editor's size times the screen
  // scale, rounded).
  int ScreenWidth() const;
  int ScreenHeight() const;
  // The device pixels that show the editor area r: every pixel any part of
  // r reaches.
  IRECT ToScreen(const IRECT& r) const;
  // The editor pixel under a device pixel.
  void ScreenToEditor(int deviceX, int deviceY, int* x, int* y) const;
  // What the platform copies to the window after the area r was repainted:
  // the draw bitmap itself when the screen scale is the drawing scale,
  // otherwise its reduction to the window's size, brought up to date for r.
  // screenRect receives the device pixels to copy (the same place in the
  // returned bitmap and in the window).
  PIX_IBitmap* ScreenPixels(const IRECT& r, IRECT* screenRect);

  // ---- Plug-in to editor. ----

  // Any thread (see Threads above). A value that is not
  // normalized is converted with the parameter's mapping first; every control
  // bound to the parameter, directly or as an aux parameter, is updated.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  // Any thread (see Threads above). Ignored for an index outside the
  // control list.
  void SetControlFromPlug(int controlIdx, double normalizedValue);

  // Main thread from here on.
  void SetAllControlsDirty();
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  // Strict drawing redraws every control meeting the repainted area; the
  // other mode redraws each dirty control with those that meet it.
  void SetStrictDrawing(bool strict);
  // Off by default: mouse-over events reach no control.
  void HandleMouseOver(bool canHandle) { mHandleMouseOver = canHandle; }

  // ---- Platform to editor (main thread, editor coordinates). ----

  // r starts empty; it grows by the drawing rectangle of every dirty control.
  bool IsDirty(IRECT* r);
  // Repaints the area r into the draw bitmap, marks the controls clean and
  // copies the area to the screen.
  bool Draw(IRECT* r);
  void OnGUIIdle();

  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int delta);
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  // True when a control consumed the key.
  bool OnKeyDown(int x, int y, int key);
  void ReleaseMouseCapture();

  // ---- Control to editor (main thread). ----

  // A popup menu of the display texts for enumerated (and labelled boolean)
  // parameters, otherwise a text entry.
  void PromptUserInput(IControl* control, IParam* param, IRECT* textRect);
  // Called by the platform when a text entry ends.
  void SetFromStringAfterPrompt(IControl* control, IParam* param, char* text);

  // ---- Bitmaps and the bitmap cache (main thread). ----

  // The first bitmap loaded under an id serves every later request with that
  // id. A bitmap that cannot be loaded stops the program with a message
  // naming the resource: every bitmap the editor names must be packaged.
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHoriztonal = false);
  // Keeps a derived bitmap in the cache until ReleaseBitmap.
  void RetainBitmap(IBitmap* bitmap);
  // Removes the bitmap from the cache and deletes it.
  void ReleaseBitmap(IBitmap* bitmap);
  // New retained bitmaps; release them when no longer drawn.
  IBitmap ScaleBitmap(IBitmap* srcBitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* srcBitmap, IRECT* r);

  // ---- Drawing into the draw bitmap (main thread, while drawing). ----

  // Bitmap blits are clipped to the area being repainted.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend = nullptr);
  // frame counts from 1.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame = 1, const IChannelBlend* blend = nullptr);
  // angle in radians, clockwise; not clipped to the repainted area.
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* blend = nullptr);
  // angle in degrees; base, mask and top are composed in the scratch bitmap.
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);

  // Primitives: clipped to the draw bitmap only. Angles in radians, 0 up,
  // growing clockwise. At drawing scale 2 lines, arcs and outlines are two
  // device pixels wide.
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr, bool antiAlias = false);
  // (x, y) must lie inside the draw bitmap.
  bool ForcePixel(const IColor* color, int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend = nullptr,
                bool antiAlias = false);
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend = nullptr,
                  bool antiAlias = false);
  bool RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool antiAlias);
  bool FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool antiAlias);
  bool FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend = nullptr);
  bool FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend = nullptr,
                  bool antiAlias = false);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3, IChannelBlend* blend);
  bool FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend = nullptr);
  bool DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi);
  // Outline including the pixel column R and the row B.
  bool DrawRect(const IColor* color, IRECT* r);
  // x (y) in 0..1 across the rectangle, y measured up from the bottom.
  bool DrawVerticalLine(const IColor* color, IRECT* r, float x);
  bool DrawHorizontalLine(const IColor* color, IRECT* r, float y);
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool antiAlias = false);
  IColor GetPoint(int x, int y);
  // The draw bitmap's pixel memory (DrawScale() device pixels per editor
  // pixel); both make the bitmap when it is missing.
  void* GetBits();
  PIX_SysBitmap* GetDrawBitmap();

  // Text. With measure true nothing is drawn and r receives the text's
  // bounds, in editor pixels at every scale. At drawing scale 2 the text is
  // rasterised at twice its size. False when no font could be made.
  bool DrawIText(IText* text, const char* str, IRECT* r, bool measure = false);
  // The style's cached font, created on first use; null when the platform
  // cannot make one.
  PIX_CachedFont* CacheFont(IText* text);

  // The area being repainted.
  const IRECT& GetDrawRECT() const { return mDrawRECT; }

protected:
  // Index of the control under (x, y), or the captured one; -1 for none.
  int GetMouseControlIdx(int x, int y, bool mo = false);

  // Fields in declaration order; the cursor fields serve the platform layer.
  KIT_Mutex mMutex;  // kept for platform layers; the editor core never takes it
  KIT_PtrList<IControl> mControls;  // owned: the framework's list, emptied with Empty(true)
  IPluginBase* mPlug;
  IRECT mDrawRECT;
  bool mCursorHidden = false;
  int mHiddenMousePointX = -1;
  int mHiddenMousePointY = -1;
  std::unique_ptr<PIX_SysBitmap> mDrawBitmap;
  std::unique_ptr<PIX_MemBitmap> mTmpBitmap;
  int mWidth;
  int mHeight;
  int mFPS;
  int mIdleTicks = 0;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0;
  int mMouseY = 0;
  int mLastClickedParam = -1;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  std::unique_ptr<IControl> mKeyCatcher;
  double mScreenScale = 1.0;
  int mDrawScale = 1;
  // The reduction shown at a screen scale between the drawing scales.
  std::unique_ptr<PIX_MemBitmap> mScreenBitmap;

private:
  // The image resource, from its file when the platform names one, else
  // from OSLoadBitmap; stops the program naming it (and why its file did
  // not do) when neither gives an image.
  PIX_IBitmap* LoadResourceBitmap(int id, const char* name);
  // The pixels to draw a bitmap with at the drawing scale: its own at that
  // scale, or null when it has none there (it is then scaled while drawn).
  PIX_IBitmap* PixelsAtDrawScale(IBitmap* bitmap);
  // A derived bitmap of w x h editor pixels at the drawing scale.
  PIX_IBitmap* NewDerivedBitmap(int w, int h);
  // An editor pixel's block of device pixels, put pixel by pixel.
  void FillBlock(unsigned pix, int x, int y, float weight, int mode);
  // A line between two editor pixels, DrawScale() device pixels wide.
  void ScaledLine(unsigned pix, int x1, int y1, int x2, int y2, float weight, int mode, bool antiAlias);
  void ClearMouseCapture();
  bool DrawStrict(const IRECT& r);
  void DrawNonStrict();
  void DeleteBitmaps();

  // The images this editor loaded (the bitmap cache owns them), decoded
  // side by side at a drawing scale before its first frame there.
  KIT_PtrList<IScaledImage> mImages;
  int mImagesDecodedAt = 0;
};
