#include "vst3/VST3PlugView.h"

#include <cstdio>
#include <cstring>

#include "platform/IGraphicsX11.h"
#include "vst3/IPluginVST3.h"

namespace {
const int kMillisecondsPerSecond = 1000;
}  // namespace

VST3PlugView::VST3PlugView(IPluginVST3* plug, IGraphicsX11* gui) : mPlug(plug), mGUI(gui) { mPlug->addRef(); }

VST3PlugView::~VST3PlugView() {
  removed();
  mPlug->ViewGone();
  mPlug->release();
}

vst3::tresult VST3PlugView::queryInterface(const vst3::TUID iid, void** obj) {
  vst3::IPlugView* view = this;
  const vst3::Offered offered[] = {
      {&vst3::iid::kFUnknown, view},
      {&vst3::iid::kIPlugView, view},
      {&vst3::iid::kITimerHandler, static_cast<vst3::ITimerHandler*>(this)},
      {&vst3::iid::kIEventHandler, static_cast<vst3::IEventHandler*>(this)},
      {&vst3::iid::kIPlugViewContentScaleSupport, static_cast<vst3::IPlugViewContentScaleSupport*>(this)},
  };
  return vst3::QueryOffered(iid, obj, offered, (int)(sizeof offered / sizeof offered[0]));
}

vst3::uint32 VST3PlugView::addRef() { return mRefCount.Add(); }

vst3::uint32 VST3PlugView::release() {
  const vst3::uint32 left = mRefCount.Drop();
  if (left == 0) delete this;
  return left;
}

vst3::tresult VST3PlugView::isPlatformTypeSupported(vst3::FIDString type) {
  return type && std::strcmp(type, vst3::kPlatformTypeX11EmbedWindowID) == 0 ? vst3::kResultTrue
                                                                               : vst3::kResultFalse;
}

vst3::tresult VST3PlugView::attached(void* parent, vst3::FIDString type) {
  if (isPlatformTypeSupported(type) != vst3::kResultTrue || !parent) return vst3::kResultFalse;
  if (mAttached) return vst3::kResultFalse;
  if (!mGUI->OpenWindow(parent)) {
    std::fprintf(stderr, "%s editor: the window could not be made: %s\n", mPlug->GetEffectName(),
                 mGUI->GetLastError());
    return vst3::kResultFalse;
  }
  mAttached = true;
  void* runLoop = nullptr;
  if (mFrame && mFrame->queryInterface(vst3::iid::kIRunLoop.bytes, &runLoop) == vst3::kResultOk && runLoop) {
    mRunLoop = static_cast<vst3::IRunLoop*>(runLoop);
    const int fps = mGUI->FPS() > 0 ? mGUI->FPS() : 1;
    mRunLoop->registerTimer(this, (vst3::uint64)(kMillisecondsPerSecond / fps));
    if (mGUI->ConnectionFd() >= 0) mRunLoop->registerEventHandler(this, mGUI->ConnectionFd());
  } else {
    std::fprintf(stderr, "%s editor: the host offers no run loop; the editor will not refresh\n",
                 mPlug->GetEffectName());
  }
  return vst3::kResultOk;
}

void VST3PlugView::Unregister() {
  if (!mRunLoop) return;
  mRunLoop->unregisterTimer(this);
  mRunLoop->unregisterEventHandler(this);
  mRunLoop->release();
  mRunLoop = nullptr;
}

vst3::tresult VST3PlugView::removed() {
  if (!mAttached) return vst3::kResultOk;
  Unregister();
  mGUI->CloseWindow();
  mAttached = false;
  return vst3::kResultOk;
}

vst3::tresult VST3PlugView::getSize(vst3::ViewRect* size) {
  if (!size) return vst3::kInvalidArgument;
  *size = vst3::ViewRect{0, 0, mGUI->ScreenWidth(), mGUI->ScreenHeight()};
  return vst3::kResultOk;
}

vst3::tresult VST3PlugView::setContentScaleFactor(float factor) {
  if (!mGUI->SetScreenScale(factor)) return vst3::kResultFalse;
  vst3::ViewRect size{0, 0, mGUI->ScreenWidth(), mGUI->ScreenHeight()};
  if (mFrame && mAttached) mFrame->resizeView(this, &size);
  return vst3::kResultTrue;
}

vst3::tresult VST3PlugView::onSize(vst3::ViewRect* newSize) {
  if (!newSize) return vst3::kInvalidArgument;
  const bool same =
      newSize->right - newSize->left == mGUI->ScreenWidth() && newSize->bottom - newSize->top == mGUI->ScreenHeight();
  return same ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult VST3PlugView::checkSizeConstraint(vst3::ViewRect* rect) {
  if (!rect) return vst3::kInvalidArgument;
  rect->right = rect->left + mGUI->ScreenWidth();
  rect->bottom = rect->top + mGUI->ScreenHeight();
  return vst3::kResultOk;
}

vst3::tresult VST3PlugView::setFrame(vst3::IPlugFrame* frame) {
  mFrame = frame;
  return vst3::kResultOk;
}

void VST3PlugView::onTimer() {
  if (!mAttached) return;
  mGUI->HandleEvents();
  mGUI->Tick();
}

void VST3PlugView::onFDIsSet(int fd) {
  if (mAttached) mGUI->HandleEvents();
}
