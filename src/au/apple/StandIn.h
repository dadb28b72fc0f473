#pragma once
// Controls of the Apple-interface stand-ins that a Mac would supply by
// itself: the main bundle's identifier, the registry of loadable bundles, and
// the count of live CF objects that leak tests compare. Not Apple
// interfaces; only hosts, products and tests call these. Any thread.

// The identifier CFBundleGetMainBundle() reports, e.g. "com.tonnik.host";
// null or "" makes the main bundle report none. Starts with none.
void StandIn_SetMainBundleIdentifier(const char* identifier);

// Registers (or moves) the bundle that CFBundleGetBundleWithIdentifier finds:
// its folder is bundlePath, its resources are in resourcePath. False for a
// null or empty identifier or path.
bool StandIn_RegisterBundle(const char* identifier, const char* bundlePath, const char* resourcePath);

// Number of CF objects created and not yet freed (constant strings and
// registered bundles are not counted).
long StandIn_LiveCFObjectCount();
