#pragma once
// The graphics factory of the plug-in: the editor object for this
// platform, given the plug-in's bundle identifier. Main thread.

class IGraphics;
class IGraphicsHeadless;
class IPluginAU;
class IPluginBase;

// Makes a platform's editor of w x h pixels at fps frames per second.
using PlatformGraphicsMaker = IGraphics* (*)(IPluginBase* plug, int w, int h, int fps);

// The platform whose editors MakeGraphics builds from now on; null (the
// default) for headless ones. A program with a window system sets it once,
// before it creates plug-ins.
void SetPlatformGraphicsMaker(PlatformGraphicsMaker maker);

// An editor of w x h pixels at fps frames per second (0 or less: the
// default) for the platform set above. The caller hands it to the plug-in
// with AttachGraphics. The plug-in's bundle is registered under its
// identifier, with the resource folder (TonnikResourceDir()) as its
// resources.
IGraphics* MakeGraphics(IPluginAU* plug, int w, int h, int fps);
// The same, always headless.
IGraphicsHeadless* MakeHeadlessGraphics(IPluginAU* plug, int w, int h, int fps);
