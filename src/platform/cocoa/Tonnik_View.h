#pragma once
// The Cocoa view factory of the instrument's Audio Unit: the class the
// CocoaUI property names. A host instantiates it by name from the plug-in
// bundle and asks it for the editor's view. Objective-C++ only.
//
// Ownership: the host owns the factory object; the view it returns belongs
// to the editor (see IGraphicsMac.h), which the host adds to its window.
// Threads: main thread.

#import <AppKit/AppKit.h>

#include "au/apple/AudioUnit.h"

#ifdef __APPLE__
#import <AudioUnit/AUCocoaUIView.h>
#endif

class IPluginAU;

@interface Tonnik_View : NSObject
#ifdef __APPLE__
    <AUCocoaUIBase>
#endif
{
  IPluginAU* mPlug;
}
- (id)init;
// 0.
- (unsigned)interfaceVersion;
// "TONNIK-PRO View".
- (NSString*)description;
// Takes the plug-in from the unit's instance storage and returns the view
// its editor opens without a parent; nil without plug-in or editor. The
// size is not used.
- (NSView*)uiViewForAudioUnit:(AudioUnit)audioUnit withSize:(NSSize)preferredSize;
@end
