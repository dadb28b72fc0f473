#pragma once
// The graphics factory of the plug-in: the editor object for this
// platform, given the plug-in's bundle identifier. Main thread.
//
// The headless editor is made unless a window-system layer has been
// selected: a program (or plug-in bundle) that links such a layer selects it
// once, before the first plug-in is made.

class IGraphics;
class IGraphicsHeadless;
class IPluginAU;

// Makes a platform editor of w x h pixels at fps frames per second (0 or
// less: the default) and gives it the plug-in's bundle identifier.
typedef IGraphics* (*PlatformGraphicsMaker)(IPluginAU* plug, int w, int h, int fps);

// The maker MakeGraphics uses from now on; null returns to the headless
// editor. Any thread; the choice is read when an editor is made.
void SetPlatformGraphicsMaker(PlatformGraphicsMaker maker);

// An editor of the selected platform. The caller hands it to the plug-in
// with AttachGraphics. The plug-in's bundle is registered under its
// identifier, with the resource folder (TonnikResourceDir()) as its
// resources.
IGraphics* MakeGraphics(IPluginAU* plug, int w, int h, int fps);

// The headless editor, whatever platform is selected; the bundle is
// registered the same way.
IGraphicsHeadless* MakeHeadlessGraphics(IPluginAU* plug, int w, int h, int fps);
