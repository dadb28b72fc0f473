// The editor's images from the plug-in bundle's resources.

#import <Foundation/Foundation.h>

#include "au/apple/CoreFoundation.h"
#include "kit/KIT_String.h"
#include "pix/PIX_PNG.h"
#include "platform/ResourceImages.h"
#include "platform/cocoa/IGraphicsMac.h"

namespace {

// Longest file path the bundle's resource lookup can hand back, in bytes.
const CFIndex kMaxPathBytes = 4096;

// The file of the resource base of type "png" in the bundle, or false.
bool ResourceFile(const char* bundleID, const char* base, char* path, CFIndex pathSize) {
  CFStringRef identifier = CFStringCreateWithCString(nullptr, bundleID, kCFStringEncodingUTF8);
  CFBundleRef bundle = identifier ? CFBundleGetBundleWithIdentifier(identifier) : nullptr;
  if (identifier) CFRelease(identifier);
  if (!bundle) return false;
  CFStringRef resource = CFStringCreateWithCString(nullptr, base, kCFStringEncodingUTF8);
  CFStringRef type = CFStringCreateWithCString(nullptr, "png", kCFStringEncodingUTF8);
  CFURLRef url = resource && type ? CFBundleCopyResourceURL(bundle, resource, type, nullptr) : nullptr;
  if (resource) CFRelease(resource);
  if (type) CFRelease(type);
  if (!url) return false;
  const bool found = CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), pathSize);
  CFRelease(url);
  return found;
}

}  // namespace

bool ResourceImageFileOSX(const char* bundleID, const char* name, KIT_String* path) {
  KIT_String base;
  if (!bundleID || !ResourceImageBaseName(name, &base)) return false;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  char file[kMaxPathBytes];
  const bool found = ResourceFile(bundleID, base.Get(), file, sizeof(file));
  if (found) path->Set(file);
  [pool release];
  return found;
}

PIX_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name) {
  KIT_String path;
  return ResourceImageFileOSX(bundleID, name, &path) ? PIX_LoadPNG(path.Get(), nullptr) : nullptr;
}
