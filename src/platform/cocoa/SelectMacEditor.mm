// Linked into a plug-in bundle or program that shows its editors in AppKit:
// from load time on, the graphics factory makes Mac editors.

#include "platform/GraphicsFactory.h"
#include "platform/cocoa/IGraphicsMac.h"

namespace {
__attribute__((constructor)) void SelectMacEditor() { SetPlatformGraphicsMaker(MakeGraphicsMac); }
}  // namespace
