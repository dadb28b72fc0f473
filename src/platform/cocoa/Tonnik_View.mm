#import "platform/cocoa/Tonnik_View.h"

#include "au/IPluginAU.h"
#include "graphics/IGraphics.h"

@implementation Tonnik_View
- (id)init {
  self = [super init];
  if (self) mPlug = nullptr;
  return self;
}

- (unsigned)interfaceVersion {
  return 0;
}

- (NSString*)description {
  return @"TONNIK-PRO View";
}

- (NSView*)uiViewForAudioUnit:(AudioUnit)audioUnit withSize:(NSSize)preferredSize {
  mPlug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(audioUnit));
  if (!mPlug || !mPlug->GetGUI()) return nil;
  return static_cast<NSView*>(mPlug->GetGUI()->OpenWindow(nullptr));
}
@end
