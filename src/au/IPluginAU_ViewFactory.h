#pragma once
// The Cocoa editor-view factory a host instantiates by the class name the
// CocoaUI property reports. The product derives a class with its own name
// (and description text) from it. Owned by the host; main thread.

#include "au/apple/AppKit.h"
#include "au/apple/AudioUnit.h"

class IPluginAU;

class IPluginAU_ViewFactory {
public:
  // description is what description() answers, e.g. "<product> View".
  explicit IPluginAU_ViewFactory(const char* description);
  virtual ~IPluginAU_ViewFactory() = default;

  // Forgets any plug-in; returns this object.
  IPluginAU_ViewFactory* init();
  // Takes the plug-in from the unit's instance storage and returns the view
  // its editor opens without a parent; null without plug-in or editor. The
  // size is not used. The view belongs to the editor.
  NSView* uiViewForAudioUnit(AudioUnit audioUnit, NSSize preferredSize);
  unsigned interfaceVersion() const { return 0; }
  // A new string the caller releases.
  CFStringRef description() const;

  IPluginAU* GetPlug() const { return mPlug; }

private:
  IPluginAU* mPlug = nullptr;
  const char* mDescription;
};
