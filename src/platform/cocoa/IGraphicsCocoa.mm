// The editor's AppKit view: timer, repaint, mouse and key events, text
// entry and popup menus.

#import "platform/cocoa/IGraphicsCocoa.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/IPopupMenu.h"
#include "kit/KIT_String.h"
#include "platform/HeadlessMenu.h"
#include "platform/KeyMapping.h"
#include "platform/TextEntryFormatter.h"
#include "platform/ViewGeometry.h"
#include "platform/cocoa/IGraphicsMac.h"
#include "plugin/IParam.h"

namespace {

// The field's font size relative to the style's: AppKit text set at the
// raster font's pixel size looks larger than the editor's own text.
const double kTextEntryFontScale = 0.9;
// A popup opens this many points below the rectangle it belongs to, so the
// pointer does not rest on its first entry.
const CGFloat kPopupDropPoints = 4.0;
#ifdef GNUSTEP
// The longest press, in seconds, that still counts as a click that opens a
// popup menu rather than a press-drag-release choice in it.
const double kQuickClickSeconds = 0.5;
#endif

IRECT NSRectToIRECT(NSRect r, int editorHeight) {
  ViewRect v;
  v.x = r.origin.x;
  v.y = r.origin.y;
  v.width = r.size.width;
  v.height = r.size.height;
  return ToIRECT(v, editorHeight);
}

ViewModifiers ModifiersOf(NSEvent* event) {
  const NSUInteger flags = [event modifierFlags];
  ViewModifiers mods;
  mods.command = (flags & NSCommandKeyMask) != 0;
  mods.shift = (flags & NSShiftKeyMask) != 0;
  mods.control = (flags & NSControlKeyMask) != 0;
  mods.option = (flags & NSAlternateKeyMask) != 0;
  return mods;
}

NSColor* ToNSColor(const IColor& c) {
  return [NSColor colorWithCalibratedRed:c.R / 255.0 green:c.G / 255.0 blue:c.B / 255.0 alpha:c.A / 255.0];
}

// The Mac virtual key code of a key event.
unsigned short MacKeyCode(NSEvent* event, NSString* characters) {
#ifdef GNUSTEP
  // GNUstep reports the X server's key codes, not the Mac's; the keys that
  // are mapped by code are recognised by their characters instead.
  struct CharacterCode {
    unichar character;
    unsigned short code;
  };
  static const CharacterCode kCodes[] = {
      {' ', kViewKeySpace},
      {NSUpArrowFunctionKey, kViewKeyUp},
      {NSDownArrowFunctionKey, kViewKeyDown},
      {NSLeftArrowFunctionKey, kViewKeyLeft},
      {NSRightArrowFunctionKey, kViewKeyRight},
  };
  const unichar c = [characters characterAtIndex:0];
  for (const CharacterCode& k : kCodes)
    if (k.character == c) return k.code;
  // No Mac key code is this large, so the character decides.
  return 0xFFFF;
#else
  return [event keyCode];
#endif
}

}  // namespace

NSRect IRECTToNSRect(const IRECT& r, int editorHeight) {
  const ViewRect v = ToViewRect(r, editorHeight);
  return NSMakeRect(v.x, v.y, v.width, v.height);
}

NSString* ToNSString(const char* utf8) {
  NSString* s = utf8 ? [NSString stringWithUTF8String:utf8] : nil;
  return s ? s : @"";
}

@implementation CustomCocoaWindow_vTonnik_au
- (BOOL)canBecomeKeyWindow {
  return YES;
}
@end

@implementation CocoaFormatter_vTonnik_au
- (void)dealloc {
  [filterCharacterSet release];
  [super dealloc];
}

- (void)setAcceptableCharacterSet:(NSCharacterSet*)characterSet {
  [characterSet retain];
  [filterCharacterSet release];
  filterCharacterSet = characterSet;
}

- (void)setMaximumLength:(int)length {
  maxLength = length;
}

- (void)setMaximumValue:(int)value {
  maxValue = value;
}

- (NSCharacterSet*)acceptableCharacterSet {
  return filterCharacterSet;
}

- (int)maximumLength {
  return maxLength;
}

- (int)maximumValue {
  return maxValue;
}

- (NSString*)stringForObjectValue:(id)anObject {
  return [anObject isKindOfClass:[NSString class]] ? anObject : nil;
}

- (BOOL)getObjectValue:(id*)anObject forString:(NSString*)string errorDescription:(NSString**)error {
  if (anObject) *anObject = string;
  return YES;
}

- (BOOL)isPartialStringValid:(NSString*)partialString
            newEditingString:(NSString**)newString
            errorDescription:(NSString**)error {
  if (newString) *newString = nil;
  if (filterCharacterSet &&
      [partialString rangeOfCharacterFromSet:[filterCharacterSet invertedSet]].location != NSNotFound)
    return NO;
  if (maxLength > 0 && (int)[partialString length] > maxLength) return NO;
  if (maxValue > 0 && [partialString intValue] > maxValue) return NO;
  return YES;
}
@end

@implementation IGraphicsNSMenu_vTonnik_au
- (id)initWithIPopupMenu:(IPopupMenu*)menu target:(id)receiver {
  self = [super initWithTitle:@""];
  if (!self) return nil;
  mIPopupMenu = menu;
  [self setAutoenablesItems:NO];
  for (int i = 0; i < menu->GetNItems(); ++i) {
    IPopupMenuItem* item = menu->GetItem(i);
    KIT_String title;
    MenuEntryTitle(menu->GetPrefix(), i, item->GetText(), &title);
    NSString* text = ToNSString(title.Get());
    if (item->GetSubmenu()) {
      NSMenuItem* entry = [self addItemWithTitle:text action:NULL keyEquivalent:@""];
      IGraphicsNSMenu_vTonnik_au* submenu = [[IGraphicsNSMenu_vTonnik_au alloc] initWithIPopupMenu:item->GetSubmenu()
                                                                                            target:receiver];
      [self setSubmenu:submenu forItem:entry];
      [submenu release];
    } else if (item->GetIsSeparator()) {
      [self addItem:[NSMenuItem separatorItem]];
    } else {
      NSMenuItem* entry = [self addItemWithTitle:text action:@selector(OnMenuSelection:) keyEquivalent:@""];
      [entry setTarget:receiver];
      if (item->GetIsTitle()) [entry setIndentationLevel:1];
      if (item->GetChecked()) [entry setState:NSOnState];
      if (!item->GetEnabled()) [entry setEnabled:NO];
    }
  }
  return self;
}

- (IPopupMenu*)AssociatedIPopupMenu {
  return mIPopupMenu;
}
@end

@implementation IGraphicsMenuRcvr_vTonnik_au
- (void)dealloc {
  [nsMenuItem release];
  [super dealloc];
}

- (void)OnMenuSelection:(id)sender {
  [sender retain];
  [nsMenuItem release];
  nsMenuItem = sender;
}

- (NSMenuItem*)MenuItem {
  return nsMenuItem;
}
@end

@implementation IGraphicsCocoa_vTonnik_au
- (id)initWithIGraphics:(IGraphicsMac*)graphics {
  self = [super initWithFrame:NSMakeRect(0, 0, graphics->Width(), graphics->Height())];
  if (!self) return nil;
  mGraphics = graphics;
  // The timer holds the view until killTimer.
  mTimer = [NSTimer timerWithTimeInterval:1.0 / graphics->FPS()
                                   target:self
                                 selector:@selector(onTimer:)
                                 userInfo:nil
                                  repeats:YES];
#ifdef GNUSTEP
  // GNUstep's run loop never fires a timer added for the common modes; the
  // modes it stands for are named one by one.
  NSString* const modes[] = {NSDefaultRunLoopMode, NSEventTrackingRunLoopMode, NSModalPanelRunLoopMode};
  for (NSString* mode : modes) [[NSRunLoop currentRunLoop] addTimer:mTimer forMode:mode];
#else
  [[NSRunLoop currentRunLoop] addTimer:mTimer forMode:NSRunLoopCommonModes];
#endif
  return self;
}

- (void)dealloc {
  [self killTimer];
  [self endUserInput];
#ifdef GNUSTEP
  [mAcceptedText release];
#endif
  [super dealloc];
}

- (IGraphicsMac*)graphics {
  return mGraphics;
}

- (NSTextField*)textField {
  return mTextFieldView;
}

- (void)detachGraphics {
  mGraphics = nullptr;
}

- (void)killTimer {
  [mTimer invalidate];
  mTimer = nil;
}

- (void)onTimer:(NSTimer*)timer {
  if (timer != mTimer || !mGraphics) return;
  IRECT r;
  if (mGraphics->IsDirty(&r)) [self setNeedsDisplayInRect:IRECTToNSRect(r, mGraphics->Height())];
}

- (void)drawRect:(NSRect)rect {
  if (!mGraphics) return;
  IRECT r = NSRectToIRECT(rect, mGraphics->Height());
  mGraphics->Draw(&r);
}

- (BOOL)isOpaque {
  return mGraphics ? YES : NO;
}

- (BOOL)acceptsFirstResponder {
  return YES;
}

- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  return YES;
}

// The view keeps its size in points; its backing store has the window's
// pixels per point, and the editor draws at that scale.
- (void)followBackingScale {
  if (!mGraphics || ![self window]) return;
  // A backing store beyond the editor's range gets the nearest scale it draws.
  const double scale = std::min(std::max(BackingScaleOf([self window]), IGraphics::kMinScreenScale),
                                IGraphics::kMaxScreenScale);
  if (mGraphics->SetScreenScale(scale)) [self setNeedsDisplay:YES];
}

- (void)viewDidMoveToWindow {
  NSWindow* window = [self window];
  if (!window) return;
  [window makeFirstResponder:self];
  [window setAcceptsMouseMovedEvents:YES];
  [self followBackingScale];
}

- (void)viewDidChangeBackingProperties {
  [self followBackingScale];
}

// The editor position of an event, remembered for key events.
- (void)getEditorPoint:(NSEvent*)event x:(int*)x y:(int*)y {
  const NSPoint p = [self convertPoint:[event locationInWindow] fromView:nil];
  ViewPoint vp;
  vp.x = p.x;
  vp.y = p.y;
  ViewPointToEditor(vp, mGraphics->Height(), x, y);
  mPrevX = *x;
  mPrevY = *y;
}

// A button's events, for either button: mod says which it was.
- (void)buttonDown:(NSEvent*)event mod:(IMouseMod)mod {
  if (!mGraphics) return;
  int x, y;
  [self getEditorPoint:event x:&x y:&y];
  if ([event clickCount] < 2)
    mGraphics->OnMouseDown(x, y, &mod);
  else
    mGraphics->OnMouseDblClick(x, y, &mod);
}

- (void)buttonUp:(NSEvent*)event mod:(IMouseMod)mod {
  if (!mGraphics) return;
  int x, y;
  [self getEditorPoint:event x:&x y:&y];
  mGraphics->OnMouseUp(x, y, &mod);
}

- (void)buttonDragged:(NSEvent*)event mod:(IMouseMod)mod {
  if (!mGraphics || mTextFieldView) return;
  int x, y;
  [self getEditorPoint:event x:&x y:&y];
  mGraphics->OnMouseDrag(x, y, &mod);
}

- (void)mouseDown:(NSEvent*)event {
  [self buttonDown:event mod:GetMouseMod(ModifiersOf(event))];
}

- (void)mouseUp:(NSEvent*)event {
  [self buttonUp:event mod:GetMouseMod(ModifiersOf(event))];
}

- (void)mouseDragged:(NSEvent*)event {
  [self buttonDragged:event mod:GetMouseMod(ModifiersOf(event))];
}

- (void)rightMouseDown:(NSEvent*)event {
  [self buttonDown:event mod:GetRightMouseMod(ModifiersOf(event))];
}

- (void)rightMouseUp:(NSEvent*)event {
  [self buttonUp:event mod:GetRightMouseMod(ModifiersOf(event))];
}

- (void)rightMouseDragged:(NSEvent*)event {
  [self buttonDragged:event mod:GetRightMouseMod(ModifiersOf(event))];
}

- (void)mouseMoved:(NSEvent*)event {
  if (!mGraphics) return;
  int x, y;
  [self getEditorPoint:event x:&x y:&y];
  IMouseMod mod = GetMouseMod(ModifiersOf(event));
  mGraphics->OnMouseOver(x, y, &mod);
}

- (void)scrollWheel:(NSEvent*)event {
  if (mTextFieldView) [self endUserInput];
  if (!mGraphics) return;
  int x, y;
  [self getEditorPoint:event x:&x y:&y];
  IMouseMod mod = GetMouseMod(ModifiersOf(event));
  mGraphics->OnMouseWheel(x, y, &mod, (int)[event deltaY]);
}

- (void)keyDown:(NSEvent*)event {
  NSString* characters = [event charactersIgnoringModifiers];
  if ([characters length] != 1) return;
  const int key = MapViewKey(MacKeyCode(event, characters), [characters UTF8String]);
  if (key >= 0 && mGraphics && mGraphics->OnKeyDown(mPrevX, mPrevY, key)) return;
  [[self nextResponder] keyDown:event];
}

- (void)removeFromSuperview {
  // GNUstep's addSubview: sends this to a view that is in no superview yet;
  // nothing is taken away then.
  if (![self superview]) {
    [super removeFromSuperview];
    return;
  }
  // Closing the editor's window releases the editor's hold on this view.
  [[self retain] autorelease];
  [self endUserInput];
  if (mGraphics) {
    IGraphicsMac* graphics = mGraphics;
    mGraphics = nullptr;
    graphics->CloseWindow();
  }
  [super removeFromSuperview];
}

- (void)createTextEntry:(IControl*)control
                       :(IParam*)param
                       :(const IText*)text
                       :(const char*)str
                       :(NSRect)areaRect {
  if (!control || mTextFieldView) return;
  mTextFieldView = [[NSTextField alloc] initWithFrame:areaRect];
  NSFont* font = [NSFont fontWithName:ToNSString(text->mFont) size:(int)(kTextEntryFontScale * text->mSize)];
  if (font) [mTextFieldView setFont:font];
  switch (text->mAlign) {
    case IText::kAlignCenter:
      [mTextFieldView setAlignment:NSCenterTextAlignment];
      break;
    case IText::kAlignFar:
      [mTextFieldView setAlignment:NSRightTextAlignment];
      break;
    default:
      [mTextFieldView setAlignment:NSLeftTextAlignment];
      break;
  }
  if (param) {
    const TextEntryFormatter rules = TextEntryFormatter::ForParam(param, control->GetTextEntryLength());
    CocoaFormatter_vTonnik_au* formatter = [[CocoaFormatter_vTonnik_au alloc] init];
    [formatter
        setAcceptableCharacterSet:[NSCharacterSet
                                      characterSetWithCharactersInString:ToNSString(rules.GetFilterCharacters())]];
    [formatter setMaximumLength:rules.GetMaxLength()];
    [[mTextFieldView cell] setFormatter:formatter];
    [formatter release];
  }
  [[mTextFieldView cell] setLineBreakMode:NSLineBreakByTruncatingTail];
  [mTextFieldView setAllowsEditingTextAttributes:NO];
  [mTextFieldView setFocusRingType:NSFocusRingTypeNone];
  [mTextFieldView setBezeled:NO];
  [mTextFieldView setBordered:NO];
  [mTextFieldView setTextColor:ToNSColor(text->mTextEntryFGColor)];
  [mTextFieldView setDrawsBackground:YES];
  [mTextFieldView setBackgroundColor:ToNSColor(text->mTextEntryBGColor)];
  [mTextFieldView setStringValue:ToNSString(str)];
#ifdef GNUSTEP
  [mAcceptedText release];
  mAcceptedText = [[mTextFieldView stringValue] copy];
#endif
  [mTextFieldView setDelegate:self];
  [self addSubview:mTextFieldView];
  NSWindow* window = [self window];
  [window makeKeyAndOrderFront:nil];
  [window makeFirstResponder:mTextFieldView];
  mEdControl = control;
  mEdParam = param;
}

#ifdef GNUSTEP
// GNUstep's field editor takes every keystroke without asking the
// formatter about the partial string, so the change is checked here and a
// refused one undone.
- (void)controlTextDidChange:(NSNotification*)notification {
  if (!mTextFieldView || [notification object] != mTextFieldView) return;
  NSText* editor = [[notification userInfo] objectForKey:@"NSFieldEditor"];
  if (!editor) editor = [mTextFieldView currentEditor];
  NSFormatter* formatter = [[mTextFieldView cell] formatter];
  NSString* typed = [[[editor string] copy] autorelease];
  if (!formatter || [formatter isPartialStringValid:typed newEditingString:NULL errorDescription:NULL]) {
    [mAcceptedText release];
    mAcceptedText = [typed retain];
    return;
  }
  [editor setString:mAcceptedText];
  [editor setSelectedRange:NSMakeRange([mAcceptedText length], 0)];
}
#endif

- (void)controlTextDidEndEditing:(NSNotification*)notification {
  if (!mTextFieldView || [notification object] != mTextFieldView) return;
  const char* typed = [[mTextFieldView stringValue] UTF8String];
  std::vector<char> text(typed, typed + std::strlen(typed) + 1);
  if (mGraphics) {
    if (mEdParam)
      mGraphics->SetFromStringAfterPrompt(mEdControl, mEdParam, text.data());
    else
      mEdControl->TextFromTextEntry(text.data());
  }
  [self endUserInput];
  [self setNeedsDisplay:YES];
}

- (void)endUserInput {
  if (!mTextFieldView) return;
  NSTextField* field = mTextFieldView;
  mTextFieldView = nil;
  [field setDelegate:nil];
  [field removeFromSuperview];
  // The field may be ending its own editing further up the stack.
  [field autorelease];
  NSWindow* window = [self window];
  if (window) [window makeFirstResponder:self];
  mEdControl = nullptr;
  mEdParam = nullptr;
}

#ifdef GNUSTEP
// GNUstep's popup tracking ends at the first mouse-up, so a menu opened by
// a mouse-down would close again at the release of a quick click, with
// nothing chosen. A release that comes soon is taken here, before the menu
// opens; the menu then stays open until the next click, as on the Mac. A
// button held longer is a press-drag-release choice and left to the menu.
- (void)awaitQuickRelease {
  const NSEventType pressed = [[NSApp currentEvent] type];
  if (pressed != NSLeftMouseDown && pressed != NSRightMouseDown) return;
  [NSApp nextEventMatchingMask:(pressed == NSLeftMouseDown ? NSLeftMouseUpMask : NSRightMouseUpMask)
                     untilDate:[NSDate dateWithTimeIntervalSinceNow:kQuickClickSeconds]
                        inMode:NSEventTrackingRunLoopMode
                       dequeue:YES];
}
#endif

- (IPopupMenu*)createIPopupMenu:(IPopupMenu*)menu :(NSRect)areaRect {
  IGraphicsMenuRcvr_vTonnik_au* receiver = [[IGraphicsMenuRcvr_vTonnik_au alloc] init];
  IGraphicsNSMenu_vTonnik_au* nsMenu = [[IGraphicsNSMenu_vTonnik_au alloc] initWithIPopupMenu:menu target:receiver];
  NSWindow* window = [self window];
  const NSPoint at =
      [self convertPoint:NSMakePoint(areaRect.origin.x, areaRect.origin.y - kPopupDropPoints) toView:nil];
  NSEvent* event = [NSEvent otherEventWithType:NSApplicationDefined
                                      location:at
                                 modifierFlags:0
                                     timestamp:0
                                  windowNumber:[window windowNumber]
                                       context:nil
                                       subtype:0
                                         data1:0
                                         data2:0];
#ifdef GNUSTEP
  [self awaitQuickRelease];
#endif
  [NSMenu popUpContextMenu:nsMenu withEvent:event forView:self];

  IPopupMenu* result = nullptr;
  NSMenuItem* chosen = [receiver MenuItem];
  if (chosen) {
    IGraphicsNSMenu_vTonnik_au* chosenMenu = (IGraphicsNSMenu_vTonnik_au*)[chosen menu];
    IPopupMenu* source = [chosenMenu AssociatedIPopupMenu];
    const NSInteger index = [chosenMenu indexOfItem:chosen];
    if (source && index >= 0) {
      source->SetChosenItemIdx((int)index);
      result = source;
    }
  }
  [nsMenu release];
  [receiver release];
  return result;
}
@end
