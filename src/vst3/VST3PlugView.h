#pragma once
// The plug-in's editor as a VST 3 view: its X11 window embedded in the
// host's window ("X11EmbedWindowID"), a fixed size at the host's content
// scale (1 to 2; the size in device pixels), not resizable. It has
// no thread of its own: the host's run loop (Linux IRunLoop, from the plug
// frame) calls its timer at the editor's frame rate and its event handler
// when the X connection has something to read.
//
// Ownership: made by the plug-in's createView, reference counted; the host
// releases it. It holds a reference to the plug-in while it lives and the
// editor's window from attached() to removed(). It borrows the plug frame
// and holds the run loop (addRef) while registered with it.
//
// Threads: the host's UI thread only.

#include "vst3/VST3Interfaces.h"
#include "vst3/VST3Unknown.h"

class IGraphicsX11;
class IPluginVST3;

class VST3PlugView final : public vst3::IPlugView,
                           public vst3::ITimerHandler,
                           public vst3::IEventHandler,
                           public vst3::IPlugViewContentScaleSupport {
public:
  VST3PlugView(IPluginVST3* plug, IGraphicsX11* gui);
  VST3PlugView(const VST3PlugView&) = delete;
  VST3PlugView& operator=(const VST3PlugView&) = delete;

  vst3::tresult queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 addRef() override;
  vst3::uint32 release() override;

  vst3::tresult isPlatformTypeSupported(vst3::FIDString type) override;
  // Opens the editor's window in parent and registers with the run loop;
  // kResultFalse when the window cannot be made (the reason on stderr).
  vst3::tresult attached(void* parent, vst3::FIDString type) override;
  vst3::tresult removed() override;
  vst3::tresult onWheel(float distance) override { return vst3::kResultFalse; }
  vst3::tresult onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override {
    return vst3::kResultFalse;
  }
  vst3::tresult onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override {
    return vst3::kResultFalse;
  }
  vst3::tresult getSize(vst3::ViewRect* size) override;
  // Any size but the editor's own (at its scale) is refused.
  vst3::tresult onSize(vst3::ViewRect* newSize) override;
  vst3::tresult onFocus(vst3::TBool state) override { return vst3::kResultOk; }
  vst3::tresult setFrame(vst3::IPlugFrame* frame) override;
  vst3::tresult canResize() override { return vst3::kResultFalse; }
  vst3::tresult checkSizeConstraint(vst3::ViewRect* rect) override;

  // The host's screen scale: the editor draws at 1 or 2 (in between, at 2
  // reduced to the size) and asks the frame for its new size; any other
  // scale is refused (kResultFalse).
  vst3::tresult setContentScaleFactor(float factor) override;

  // The run loop's calls: a refresh tick, and the X connection readable.
  void onTimer() override;
  void onFDIsSet(int fd) override;

private:
  ~VST3PlugView();
  void Unregister();

  vst3::RefCount mRefCount;
  IPluginVST3* mPlug;
  IGraphicsX11* mGUI;
  vst3::IPlugFrame* mFrame = nullptr;
  vst3::IRunLoop* mRunLoop = nullptr;
  bool mAttached = false;
};
