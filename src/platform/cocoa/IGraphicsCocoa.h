#pragma once
// The AppKit view the Mac editor lives in, and the small AppKit classes it
// uses: the key-capable window, the text-entry formatter, and the menu and
// menu receiver of popup menus. Objective-C++ only.
//
// Ownership: the editor (IGraphicsMac) creates the view in OpenWindow and
// keeps one reference until CloseWindow; the superview keeps another. The
// view's pointer to the editor is non-owning and nil-ed when either side
// lets go. The view owns its timer, text field and the menus it shows.
//
// Threads: main thread only; the timer is a run-loop timer.

#import <AppKit/AppKit.h>

#include "graphics/IGraphicsStructs.h"

class IControl;
class IGraphicsMac;
class IParam;
class IPopupMenu;
class PIX_IBitmap;

// A borderless window that can still become the key window, so that a text
// field in it takes typing.
@interface CustomCocoaWindow_vTonnik_au : NSWindow
@end

// Filters what is typed into a text field: a partial string is accepted
// only if every character is in the filter set (when set), it is no longer
// than maxLength and its integer value not above maxValue (each when not 0).
// Object value and string are the same string.
@interface CocoaFormatter_vTonnik_au : NSFormatter {
  NSCharacterSet* filterCharacterSet;
  int maxLength;
  int maxValue;
}
- (void)setAcceptableCharacterSet:(NSCharacterSet*)characterSet;
- (void)setMaximumLength:(int)length;
- (void)setMaximumValue:(int)value;
- (NSCharacterSet*)acceptableCharacterSet;
- (int)maximumLength;
- (int)maximumValue;
@end

// A native menu built from an IPopupMenu, remembering where it came from.
@interface IGraphicsNSMenu_vTonnik_au : NSMenu {
  IPopupMenu* mIPopupMenu;
}
// Entries for every item of menu (nested menus for submenus); chosen
// entries send OnMenuSelection: to receiver.
- (id)initWithIPopupMenu:(IPopupMenu*)menu target:(id)receiver;
- (IPopupMenu*)AssociatedIPopupMenu;
@end

// The target of a popup menu's entries: records the entry chosen.
@interface IGraphicsMenuRcvr_vTonnik_au : NSObject {
  NSMenuItem* nsMenuItem;
}
- (void)OnMenuSelection:(id)sender;
- (NSMenuItem*)MenuItem;
@end

@interface IGraphicsCocoa_vTonnik_au : NSView <NSTextFieldDelegate> {
  IGraphicsMac* mGraphics;  // nil after either side let go
  NSTimer* mTimer;
  NSTextField* mTextFieldView;
  IControl* mEdControl;
  IParam* mEdParam;
  int mPrevX;
  int mPrevY;
#ifdef GNUSTEP
  NSString* mAcceptedText;  // the field's last text the formatter accepted
#endif
}
// Frame (0, 0, width, height) and a repeating timer at the editor's frame
// rate in the current run loop's common modes.
- (id)initWithIGraphics:(IGraphicsMac*)graphics;
- (void)onTimer:(NSTimer*)timer;
- (void)killTimer;
// The editor lets go of the view (CloseWindow).
- (void)detachGraphics;
- (IGraphicsMac*)graphics;
- (NSTextField*)textField;

- (void)createTextEntry:(IControl*)control
                       :(IParam*)param
                       :(const IText*)text
                       :(const char*)str
                       :(NSRect)areaRect;
// Closes an open text field without committing it.
- (void)endUserInput;
// The IPopupMenu holding the chosen item (its chosen index set), or null.
- (IPopupMenu*)createIPopupMenu:(IPopupMenu*)menu :(NSRect)areaRect;
@end

// The window-system rectangle of an editor rectangle (one pixel larger in
// each direction), for an editor editorHeight pixels high.
NSRect IRECTToNSRect(const IRECT& r, int editorHeight);
// An NSString of UTF-8 text; "" for null or malformed text.
NSString* ToNSString(const char* utf8);

// The screen copy: draws the bitmap's rows 0..height-1, row span wide, into
// the view's rectangle (0, 0, row span / scale, height / scale) points of
// the current graphics context, top row at the top; on a backing store of
// `scale` pixels per point that is pixel for pixel. The one place where the
// Mac and the GNUstep builds differ in drawing. False without a current
// graphics context.
bool DrawBitmapIntoCurrentContext(PIX_IBitmap* bitmap, double scale = 1.0);

// Device pixels per point of the window's backing store: its
// backingScaleFactor on a Mac; on GNUstep, which has none, 1 unless a test
// forced another (ForceBackingScale).
double BackingScaleOf(NSWindow* window);
// GNUstep only: the factor BackingScaleOf answers from now on (0: none).
void ForceBackingScale(double scale);
