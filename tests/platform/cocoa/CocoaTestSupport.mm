#import "platform/cocoa/CocoaTestSupport.h"

#include <objc/runtime.h>

#include "au/IPluginAU.h"
#include "au/apple/FourCC.h"
#import "platform/cocoa/IGraphicsCocoa.h"
#include "platform/cocoa/IGraphicsMac.h"
#include "tonnik/TonnikEntry.h"

namespace {

// Longest wait for one batch of window-system events, in seconds: short,
// so that a pump's end is met closely.
const double kPumpSliceSeconds = 0.005;
// Where the host window's lower-left corner sits on the screen, in points.
const CGFloat kWindowLeft = 40;
const CGFloat kWindowBottom = 40;
const double kSampleRate = 48000;
const int kBlockSize = 512;
const int kChannels = 2;

ComponentDescription TonnikDescription() {
  return ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
}

}  // namespace

@implementation HostView_vTest
- (void)keyDown:(NSEvent*)event {
  const char* chars = [[event charactersIgnoringModifiers] UTF8String];
  mKeysPassedOn.push_back(chars ? chars : "");
}
@end

namespace cocoa_test {

void Pump(double seconds) {
  NSDate* end = [NSDate dateWithTimeIntervalSinceNow:seconds];
  while ([end timeIntervalSinceNow] > 0) {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    NSEvent* event = [NSApp nextEventMatchingMask:NSAnyEventMask
                                        untilDate:[NSDate dateWithTimeIntervalSinceNow:kPumpSliceSeconds]
                                           inMode:NSDefaultRunLoopMode
                                          dequeue:YES];
    if (event) [NSApp sendEvent:event];
    [pool release];
  }
}

bool PumpUntil(const std::function<bool()>& done, double timeoutSeconds) {
  NSDate* end = [NSDate dateWithTimeIntervalSinceNow:timeoutSeconds];
  while (!done()) {
    if ([end timeIntervalSinceNow] <= 0) return false;
    Pump(kPumpSliceSeconds);
  }
  return true;
}

NSTask* StartProgram(const std::vector<std::string>& argv) {
  NSMutableArray* args = [NSMutableArray array];
  for (const std::string& a : argv) [args addObject:[NSString stringWithUTF8String:a.c_str()]];
  NSTask* task = [[[NSTask alloc] init] autorelease];
  // env finds the program in PATH.
  [task setLaunchPath:@"/usr/bin/env"];
  [task setArguments:args];
  @try {
    [task launch];
  } @catch (NSException* e) {
    return nil;
  }
  return task;
}

bool WaitProgram(NSTask* task, double timeoutSeconds) {
  if (!task) return false;
  // GNUstep reaps its children itself and tells the task in the run loop.
  if (!PumpUntil([&] { return ![task isRunning]; }, timeoutSeconds)) {
    [task terminate];
    PumpUntil([&] { return ![task isRunning]; }, timeoutSeconds);
    return false;
  }
  return [task terminationStatus] == 0;
}

bool RunProgram(const std::vector<std::string>& argv, double timeoutSeconds) {
  return WaitProgram(StartProgram(argv), timeoutSeconds);
}

bool Xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

HostWindow::HostWindow(NSView* editorView, int w, int h) {
  mWindow = [[CustomCocoaWindow_vTonnik_au alloc] initWithContentRect:NSMakeRect(kWindowLeft, kWindowBottom, w, h)
                                                             styleMask:NSBorderlessWindowMask
                                                               backing:NSBackingStoreBuffered
                                                                 defer:NO];
  [mWindow setReleasedWhenClosed:NO];
  mHost = [[HostView_vTest alloc] initWithFrame:NSMakeRect(0, 0, w, h)];
  [mWindow setContentView:mHost];
  if (editorView) [mHost addSubview:editorView];
  // A host application has finished launching and is active while its
  // window shows the editor.
  static bool launched = false;
  if (!launched) [NSApp finishLaunching];
  launched = true;
  [NSApp activateIgnoringOtherApps:YES];
  [mWindow makeKeyAndOrderFront:nil];
}

HostWindow::~HostWindow() {
  [mWindow orderOut:nil];
  [mWindow close];
  [mWindow release];
  [mHost release];
}

std::string HostWindow::XWindow() const {
  return std::to_string(reinterpret_cast<uintptr_t>([mWindow windowRef]));
}

Instrument::Instrument() : mHost(Tonnik_Entry, TonnikDescription()) {
  if (mHost.Open() != noErr || mHost.Prepare(kSampleRate, kBlockSize, kChannels) != noErr) return;
  mPlug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(mHost.Unit()));
}

Instrument::~Instrument() { mHost.Close(); }

IGraphicsMac* Instrument::Editor() const { return mPlug ? dynamic_cast<IGraphicsMac*>(mPlug->GetGUI()) : nullptr; }

bool Instrument::RenderBlock() {
  std::vector<float> left(kBlockSize), right(kBlockSize);
  float* outs[kChannels] = {left.data(), right.data()};
  return mHost.Render(kBlockSize, outs, kChannels) == noErr;
}

ViewLog& Views() {
  static ViewLog log;
  return log;
}

namespace {

IMP sInit, sDealloc, sDrawRect, sSetNeedsDisplayInRect;

// A method implementation as the function it really is, and back.
template <class F>
F Call(IMP imp) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(imp));
}
template <class F>
IMP AsIMP(F f) {
  return reinterpret_cast<IMP>(reinterpret_cast<void (*)()>(f));
}

id WatchedInit(id self, SEL sel, IGraphicsMac* graphics) {
  id view = Call<id (*)(id, SEL, IGraphicsMac*)>(sInit)(self, sel, graphics);
  if (view) ++Views().live;
  return view;
}

void WatchedDealloc(id self, SEL sel) {
  --Views().live;
  Call<void (*)(id, SEL)>(sDealloc)(self, sel);
}

void WatchedDrawRect(id self, SEL sel, NSRect r) {
  Views().drawn.push_back(r);
  Call<void (*)(id, SEL, NSRect)>(sDrawRect)(self, sel, r);
}

void WatchedSetNeedsDisplayInRect(id self, SEL sel, NSRect r) {
  Views().needsDisplay.push_back(r);
  Call<void (*)(id, SEL, NSRect)>(sSetNeedsDisplayInRect)(self, sel, r);
}

// Wraps the view class's own method, or adds one that calls the inherited.
IMP Wrap(Class cls, SEL sel, IMP wrapper) {
  Method own = class_getInstanceMethod(cls, sel);
  IMP original = method_getImplementation(own);
  if (!class_addMethod(cls, sel, wrapper, method_getTypeEncoding(own))) method_setImplementation(own, wrapper);
  return original;
}

}  // namespace

void WatchEditorViews() {
  if (sInit) return;
  Class cls = [IGraphicsCocoa_vTonnik_au class];
  sInit = Wrap(cls, @selector(initWithIGraphics:), AsIMP(WatchedInit));
  sDealloc = Wrap(cls, @selector(dealloc), AsIMP(WatchedDealloc));
  sDrawRect = Wrap(cls, @selector(drawRect:), AsIMP(WatchedDrawRect));
  sSetNeedsDisplayInRect =
      Wrap(cls, @selector(setNeedsDisplayInRect:), AsIMP(WatchedSetNeedsDisplayInRect));
}

}  // namespace cocoa_test
