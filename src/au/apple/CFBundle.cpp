// CFURL (file paths) and CFBundle: the main bundle and a registry of bundles
// found by identifier.

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "au/apple/CFObject.h"
#include "au/apple/StandIn.h"

struct __CFURL : CFObject {
  explicit __CFURL(std::string path) : CFObject(kStandInURLTypeID, false), mPath(std::move(path)) {}

  bool Equals(const CFObject& other) const override { return mPath == static_cast<const __CFURL&>(other).mPath; }
  std::string Describe() const override { return "file://" + mPath; }

  const std::string mPath;
};

// Registered bundles live for the whole process, so Get-rule references
// handed out never dangle; moving a bundle registers a new record.
struct __CFBundle : CFObject {
  __CFBundle(const std::string& identifier, std::string bundlePath, std::string resourcePath)
      : CFObject(kStandInBundleTypeID, true),
        mIdentifier(identifier.empty() ? nullptr : __CFStringMakeConstantString(identifier.c_str())),
        mBundlePath(std::move(bundlePath)),
        mResourcePath(std::move(resourcePath)) {}

  std::string Describe() const override { return "<CFBundle " + StringText(mIdentifier) + ">"; }

  const CFStringRef mIdentifier;
  const std::string mBundlePath;
  const std::string mResourcePath;
};

namespace {
std::mutex sBundlesMutex;

struct BundleRegistry {
  __CFBundle* main = nullptr;
  std::vector<std::unique_ptr<__CFBundle>> all;
};

BundleRegistry& Registry() {
  static auto* registry = new BundleRegistry();
  return *registry;
}

__CFBundle* AddBundle(BundleRegistry& registry, const std::string& identifier, const std::string& bundlePath,
                      const std::string& resourcePath) {
  registry.all.emplace_back(new __CFBundle(identifier, bundlePath, resourcePath));
  return registry.all.back().get();
}

const __CFURL* AsURL(CFTypeRef cf) { return AsType<__CFURL>(cf, kStandInURLTypeID); }
const __CFBundle* AsBundle(CFTypeRef cf) { return AsType<__CFBundle>(cf, kStandInBundleTypeID); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

void StandIn_SetMainBundleIdentifier(const char* identifier) {
  std::lock_guard<std::mutex> lock(sBundlesMutex);
  BundleRegistry& registry = Registry();
  registry.main = AddBundle(registry, identifier ? identifier : "", ".", ".");
}

bool StandIn_RegisterBundle(const char* identifier, const char* bundlePath, const char* resourcePath) {
  if (!identifier || !*identifier || !bundlePath || !*bundlePath || !resourcePath || !*resourcePath) return false;
  std::lock_guard<std::mutex> lock(sBundlesMutex);
  AddBundle(Registry(), identifier, bundlePath, resourcePath);
  return true;
}

CFTypeID CFURLGetTypeID() { return kStandInURLTypeID; }

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle, Boolean) {
  if (!filePath || CFGetTypeID(filePath) != kStandInStringTypeID || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return new __CFURL(StringText(filePath));
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle) {
  const __CFURL* u = AsURL(url);
  return u ? MakeString(u->mPath) : nullptr;
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen) {
  const __CFURL* u = AsURL(url);
  if (!u || !buffer || maxBufLen <= 0 || (CFIndex)u->mPath.size() + 1 > maxBufLen) return false;
  std::memcpy(buffer, u->mPath.c_str(), u->mPath.size() + 1);
  return true;
}

CFTypeID CFBundleGetTypeID() { return kStandInBundleTypeID; }

CFBundleRef CFBundleGetMainBundle() {
  std::lock_guard<std::mutex> lock(sBundlesMutex);
  BundleRegistry& registry = Registry();
  if (!registry.main) registry.main = AddBundle(registry, "", ".", ".");
  return registry.main;
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
  if (!bundleID || CFGetTypeID(bundleID) != kStandInStringTypeID) return nullptr;
  const std::string& wanted = StringText(bundleID);
  std::lock_guard<std::mutex> lock(sBundlesMutex);
  BundleRegistry& registry = Registry();
  // The latest registration wins; the main bundle is not in the registry.
  for (size_t i = registry.all.size(); i-- > 0;) {
    __CFBundle* bundle = registry.all[i].get();
    if (bundle != registry.main && bundle->mIdentifier && StringText(bundle->mIdentifier) == wanted) return bundle;
  }
  return nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
  const __CFBundle* b = AsBundle(bundle);
  return b ? b->mIdentifier : nullptr;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
  const __CFBundle* b = AsBundle(bundle);
  return b ? new __CFURL(b->mBundlePath) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
  const __CFBundle* b = AsBundle(bundle);
  return b ? new __CFURL(b->mResourcePath) : nullptr;
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName) {
  const __CFBundle* b = AsBundle(bundle);
  if (!b || !resourceName || CFGetTypeID(resourceName) != kStandInStringTypeID) return nullptr;
  std::string name = StringText(resourceName);
  if (resourceType && !StringText(resourceType).empty()) name += "." + StringText(resourceType);
  std::string folder = b->mResourcePath;
  if (subDirName && !StringText(subDirName).empty()) folder = JoinPath(folder, StringText(subDirName));
  const std::string path = JoinPath(folder, name);
  return IsRegularFile(path) ? new __CFURL(path) : nullptr;
}
