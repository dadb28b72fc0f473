#pragma once
// The editor's platform half on macOS: it puts the editor into an AppKit
// view (IGraphicsCocoa_vTonnik_au) inside the host's window, refreshes it
// on a run-loop timer at the editor's frame rate, copies the draw bitmap to
// the screen, and supplies text entry, popup menus, the bundle's images and
// the cursor. The same code builds against GNUstep, which supplies AppKit
// and Foundation on other systems; CoreFoundation comes from the system on
// a Mac and from the project's stand-ins elsewhere.
//
// Driving it: the Audio Unit's view factory (Tonnik_View) calls
// OpenWindow(nullptr) and hands the returned view to the host, which adds
// it to its window. The host removing the view, or CloseWindow, ends it;
// the editor survives and can open a new view.
//
// Ownership: made by the graphics factory (MakeGraphicsMac) and owned by
// the plug-in base like every editor. The open view is retained by the
// editor and by its superview; CloseWindow releases the editor's hold.
//
// Threads: main thread (the window system's), except the plug-in relays of
// IGraphics.

#include "graphics/IGraphics.h"
#include "kit/KIT_String.h"

#ifdef __OBJC__
@class IGraphicsCocoa_vTonnik_au;
#else
typedef struct objc_object IGraphicsCocoa_vTonnik_au;
#endif

class IGraphicsMac : public IGraphics {
public:
  // Makes sure the application framework is loaded; without a window
  // system the editor works but opens no view.
  IGraphicsMac(IPluginBase* plug, int w, int h, int fps);
  // Closes the window first.
  ~IGraphicsMac() override;

  // ---- Platform operations of IGraphics ----

  // Draws the whole draw bitmap into the view; the window system shows only
  // the area it is repainting. False without a current graphics context.
  bool DrawScreen(IRECT* r) override;
  // The base operation inside an autorelease pool.
  bool MeasureIText(IText* text, const char* str, IRECT* r) override;
  // Closes an open text field without committing it.
  void ForceEndUserEdit() override;
  // Nothing when the size is unchanged; otherwise the base operation, then
  // the view's frame follows.
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "Cocoa gui"; }
  // A modal alert; type 0 is OK only, anything else OK and Cancel. 1 for
  // OK, 2 for Cancel.
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Releases the mouse capture first; null while no view is open or when
  // nothing was chosen.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override;
  // Only while a view is open.
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override;
  // The running program's bundle folder.
  void HostPath(KIT_String* path) override;
  // The plug-in's bundle folder (found by its identifier), or "".
  void PluginPath(KIT_String* path) override;
  // The user's desktop folder.
  void DesktopPath(KIT_String* path) override;
  // An open or save panel; fileName is "" when cancelled.
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override;
  // There is no colour dialog in this layer: false.
  bool PromptForColor(IColor* color, char* prompt) override { return false; }
  // Opens the URL with the workspace; false when that fails.
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override;
  // Closes any open view, creates a new one and adds it to parentView when
  // given (an NSView*). Returns the view (an IGraphicsCocoa_vTonnik_au*),
  // or null without a window system.
  void* OpenWindow(void* parentView) override;
  // Stops the view's timer, forgets it and, unless the view already let go
  // of the editor, detaches it and removes it from its superview.
  void CloseWindow() override;
  void* GetWindow() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // LoadImgFromResourceOSX(bundle identifier, name); the id is not used.
  PIX_IBitmap* OSLoadBitmap(int id, const char* name) override;
  // ResourceImageFileOSX(bundle identifier, name).
  bool OSImageFile(int id, const char* name, KIT_String* path) override;

  // ---- Mac platform ----

  void SetBundleID(const char* id) { mBundleID.Set(id); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  IGraphicsCocoa_vTonnik_au* GetView() const { return mView; }

private:
  IGraphicsCocoa_vTonnik_au* mView = nullptr;
  KIT_String mBundleID;
  bool mHasWindowSystem;
};

// The graphics factory's maker for this layer (SetPlatformGraphicsMaker):
// an IGraphicsMac with the bundle identifier of the plug-in when it is an
// Audio Unit.
IGraphics* MakeGraphicsMac(IPluginBase* plug, int w, int h, int fps);

// The PNG resource name ("resources/img/knob.png" is the resource "knob" of
// type "png") of the bundle with that identifier, decoded into a new bitmap
// the caller owns. Null for a null name, a name not ending in ".png" (any
// letter case), or a missing bundle, resource or file.
PIX_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name);
// The file the bundle holds for an image resource name; false when none.
bool ResourceImageFileOSX(const char* bundleID, const char* name, KIT_String* path);
