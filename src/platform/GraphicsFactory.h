#pragma once
// The graphics factory of the plug-in: the editor object for this
// platform, given the plug-in's bundle identifier. Main thread.

class IGraphicsHeadless;
class IPluginBase;

// An editor of w x h pixels at fps frames per second (0 or less: the
// default) for a plug-in of any format. The caller hands it to the plug-in
// with AttachGraphics. An Audio Unit's bundle is registered under bundleID
// (when not null or empty), with the resource folder (TonnikResourceDir())
// as its resources.
IGraphicsHeadless* MakeGraphics(IPluginBase* plug, const char* bundleID, int w, int h, int fps);
