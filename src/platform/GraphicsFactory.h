#pragma once
// The graphics factory of the plug-in: the editor object for this
// platform, given the plug-in's bundle identifier. Main thread.

class IGraphicsHeadless;
class IPluginAU;

// An editor of w x h pixels at fps frames per second (0 or less: the
// default). The caller hands it to the plug-in with AttachGraphics. The
// plug-in's bundle is registered under its identifier, with the resource
// folder (TonnikResourceDir()) as its resources.
IGraphicsHeadless* MakeGraphics(IPluginAU* plug, int w, int h, int fps);
