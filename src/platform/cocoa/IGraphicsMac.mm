// The Mac editor: window lifetime and the platform operations of IGraphics.

#import "platform/cocoa/IGraphicsMac.h"

#import "platform/cocoa/IGraphicsCocoa.h"

#include "au/IPluginAU.h"
#include "au/apple/CoreFoundation.h"
#include "graphics/IPopupMenu.h"
#include "pix/PIX_Bitmap.h"

namespace {

void SetPath(KIT_String* path, NSString* s) { path->Set(s ? [s fileSystemRepresentation] : ""); }

// The folder of the bundle with that identifier, or "".
void BundlePath(const char* bundleID, KIT_String* path) {
  path->Set("");
  CFStringRef identifier = CFStringCreateWithCString(nullptr, bundleID ? bundleID : "", kCFStringEncodingUTF8);
  CFBundleRef bundle = identifier ? CFBundleGetBundleWithIdentifier(identifier) : nullptr;
  if (identifier) CFRelease(identifier);
  CFURLRef url = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
  if (!url) return;
  char buf[4096];
  if (CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(buf), sizeof(buf))) path->Set(buf);
  CFRelease(url);
}

}  // namespace

namespace {

// Loads the application framework once; false when it cannot run (for
// GNUstep: no display to connect to), and then no view can open.
bool LoadApplicationFramework() {
#ifdef GNUSTEP
  // GNUstep has no NSApplicationLoad; making the shared application loads
  // the framework and connects to the display, which throws without one.
  if (NSApp) return true;
  @try {
    [NSApplication sharedApplication];
  } @catch (NSException* e) {
    NSLog(@"editor: no window system: %@", [e reason]);
  }
  return NSApp != nil;
#else
  return NSApplicationLoad();
#endif
}

}  // namespace

IGraphicsMac::IGraphicsMac(IPluginBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {
  mHasWindowSystem = LoadApplicationFramework();
}

IGraphicsMac::~IGraphicsMac() { CloseWindow(); }

bool IGraphicsMac::DrawScreen(IRECT* r) {
  IRECT device;
  PIX_IBitmap* pixels = ScreenPixels(*r, &device);
  return DrawBitmapIntoCurrentContext(pixels, GetScreenScale());
}

bool IGraphicsMac::MeasureIText(IText* text, const char* str, IRECT* r) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  const bool ok = IGraphics::MeasureIText(text, str, r);
  [pool release];
  return ok;
}

void IGraphicsMac::ForceEndUserEdit() { [mView endUserInput]; }

void IGraphicsMac::Resize(int w, int h) {
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  [mView setFrameSize:NSMakeSize(w, h)];
}

int IGraphicsMac::ShowMessageBox(const char* text, const char* caption, int type) {
  NSAlert* alert = [[[NSAlert alloc] init] autorelease];
  [alert setMessageText:ToNSString(caption)];
  [alert setInformativeText:ToNSString(text)];
  [alert addButtonWithTitle:@"OK"];
  if (type != 0) [alert addButtonWithTitle:@"Cancel"];
  return [alert runModal] == NSAlertFirstButtonReturn ? 1 : 2;
}

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) {
  // The menu takes the mouse-up that ends the gesture; the control would
  // otherwise stay captured.
  ReleaseMouseCapture();
  if (!mView || !menu || !textRect) return nullptr;
  return [mView createIPopupMenu:menu :IRECTToNSRect(*textRect, Height())];
}

void IGraphicsMac::CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) {
  if (!mView || !text || !textRect) return;
  [mView createTextEntry:control :param :text :str :IRECTToNSRect(*textRect, Height())];
}

void IGraphicsMac::HostPath(KIT_String* path) { SetPath(path, [[NSBundle mainBundle] bundlePath]); }

void IGraphicsMac::PluginPath(KIT_String* path) { BundlePath(mBundleID.Get(), path); }

void IGraphicsMac::DesktopPath(KIT_String* path) {
  NSArray* found = NSSearchPathForDirectoriesInDomains(NSDesktopDirectory, NSUserDomainMask, YES);
  SetPath(path, [found count] ? [found objectAtIndex:0] : nil);
}

void IGraphicsMac::PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) {
  fileName->Set("");
  NSArray* types = extension && *extension ? [NSArray arrayWithObject:ToNSString(extension)] : nil;
  NSSavePanel* panel = nil;
  if (action == kFileSave) {
    panel = [NSSavePanel savePanel];
  } else {
    NSOpenPanel* open = [NSOpenPanel openPanel];
    [open setCanChooseFiles:YES];
    [open setCanChooseDirectories:NO];
    [open setAllowsMultipleSelection:NO];
    panel = open;
  }
  [panel setAllowedFileTypes:types];
  if (dir && !dir->IsEmpty()) [panel setDirectoryURL:[NSURL fileURLWithPath:ToNSString(dir->Get())]];
  if ([panel runModal] != NSFileHandlingPanelOKButton) return;
  SetPath(fileName, [[panel URL] path]);
  if (dir) SetPath(dir, [[[panel URL] path] stringByDeletingLastPathComponent]);
}

bool IGraphicsMac::OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
                           const char* errMsgOnFailure) {
  NSURL* target = url ? [NSURL URLWithString:ToNSString(url)] : nil;
  return target && [[NSWorkspace sharedWorkspace] openURL:target];
}

void* IGraphicsMac::OpenWindow(void* parentView) {
  CloseWindow();
  if (!mHasWindowSystem) return nullptr;
  OpenDrawing();
  mView = [[IGraphicsCocoa_vTonnik_au alloc] initWithIGraphics:this];
  if (parentView) [static_cast<NSView*>(parentView) addSubview:mView];
  return mView;
}

void IGraphicsMac::CloseWindow() {
  if (!mView) return;
  IGraphicsCocoa_vTonnik_au* view = mView;
  mView = nullptr;
  [view killTimer];
  if ([view graphics]) {
    [view detachGraphics];
    [view removeFromSuperview];
  }
  [view release];
}

void* IGraphicsMac::GetWindow() { return mView; }

void IGraphicsMac::HideMouseCursor() {
  if (mCursorHidden) return;
  const NSPoint at = [NSEvent mouseLocation];
  const NSRect screen = [[[NSScreen screens] objectAtIndex:0] frame];
  [NSCursor hide];
  mCursorHidden = true;
  mHiddenMousePointX = (int)at.x;
  mHiddenMousePointY = (int)(screen.size.height - at.y);
}

void IGraphicsMac::ShowMouseCursor() {
  if (!mCursorHidden) return;
#ifndef GNUSTEP
  CGWarpMouseCursorPosition(CGPointMake(mHiddenMousePointX, mHiddenMousePointY));
#endif
  [NSCursor unhide];
  mCursorHidden = false;
}

bool IGraphicsMac::OSImageFile(int id, const char* name, KIT_String* path) {
  return ResourceImageFileOSX(mBundleID.Get(), name, path);
}

PIX_IBitmap* IGraphicsMac::OSLoadBitmap(int id, const char* name) {
  return LoadImgFromResourceOSX(mBundleID.Get(), name);
}

IGraphics* MakeGraphicsMac(IPluginBase* plug, int w, int h, int fps) {
  IGraphicsMac* graphics = new IGraphicsMac(plug, w, h, fps);
  // Mac editors serve Audio Units, whose bundle holds the images.
  if (IPluginAU* unit = dynamic_cast<IPluginAU*>(plug)) graphics->SetBundleID(unit->GetBundleID());
  return graphics;
}
