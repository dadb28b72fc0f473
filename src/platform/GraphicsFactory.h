#pragma once
// The graphics factory of the plug-in: the editor object for this
// platform, given the plug-in's bundle identifier. Main thread.

class IGraphics;
class IGraphicsHeadless;
class IPluginBase;

// Makes a platform's editor of w x h pixels at fps frames per second.
using PlatformGraphicsMaker = IGraphics* (*)(IPluginBase* plug, int w, int h, int fps);

// The platform whose editors MakeGraphics builds from now on; null (the
// default) for headless ones. A program or plug-in with a window system
// sets it once, before it creates plug-ins.
void SetPlatformGraphicsMaker(PlatformGraphicsMaker maker);

// An editor of w x h pixels at fps frames per second (0 or less: the
// default) for a plug-in of any format, for the platform set above. The
// caller hands it to the plug-in with AttachGraphics. An Audio Unit's
// bundle is registered under bundleID (when not null or empty), with the resource
// folder (TonnikResourceDir()) as its resources.
IGraphics* MakeGraphics(IPluginBase* plug, const char* bundleID, int w, int h, int fps);
// The same, always headless.
IGraphicsHeadless* MakeHeadlessGraphics(IPluginBase* plug, const char* bundleID, int w, int h, int fps);
