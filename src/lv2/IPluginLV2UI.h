#pragma once
// The LV2 UI of a plug-in made on IPluginLV2: an X11 UI (ui:X11UI) that
// shows the plug-in's own editor, reached through instance access, inside
// the parent window the host gives (ui:parent). The host's idle calls
// (ui:idleInterface) run the editor's events and refresh; ui:resize tells
// the host the editor's size in device pixels. A host on a high-density
// screen gives ui:scaleFactor among its options (at instantiate, or later
// through opts:interface): the editor is drawn at that scale.
//
// Values: a parameter changed on the plug-in side (the editor, a learned
// controller, a preset) is written to its control port through the host's
// write function at the next idle, so the host's controls and automation
// follow; a gesture in the editor is framed by ui:touch grab and release
// when the host offers it. A port event from the host moves the editor's
// control (the plug-in itself takes the value from the port in run()).
//
// A host without ui:parent or instance access, a plug-in whose editor is
// not an X11 one, an editor already shown by another UI, or no X display:
// the UI says why (log:log, or stderr) and declines (instantiate gives
// null).
//
// Ownership: the host owns the UI instance (instantiate to cleanup); the
// UI borrows the plug-in and its editor, and holds the editor's window
// from instantiate to cleanup.
//
// Threads: every entry point on the host's UI thread, which is the
// editor's main thread. Parameter values are read while the audio thread
// may set them; a value read in the middle is picked up at the next idle.

#include <cstdint>

#include "kit/KIT_TypedBuf.h"
#include "lv2/IPluginLV2.h"
#include "lv2/log/logger.h"
#include "lv2/options/options.h"
#include "lv2/ui/ui.h"

class IGraphicsX11;

class IPluginLV2UI : public IPluginLV2::IGestureListener {
public:
  // Null (having said why) when the UI declines.
  static IPluginLV2UI* Instantiate(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                   const LV2_Feature* const* features);
  ~IPluginLV2UI() override;
  IPluginLV2UI(const IPluginLV2UI&) = delete;
  IPluginLV2UI& operator=(const IPluginLV2UI&) = delete;

  // A float value for a control port (format 0); other ports and formats
  // are ignored.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // 0 while the editor's window is open, 1 once it has gone (the host
  // then closes the UI).
  int Idle();
  // Takes ui:scaleFactor from the options (held to the editor's 1 to 2),
  // redraws the editor at that scale and tells the host the new size. An
  // LV2 options status: unknown when the options hold no scale.
  uint32_t SetOptions(const LV2_Options_Option* options);
  // Tells the host (ui:resize) the editor's size in device pixels.
  void TellSize();

  void GestureBegins(int paramIdx) override;
  void GestureEnds(int paramIdx) override;

private:
  IPluginLV2UI(IPluginLV2* plug, IGraphicsX11* gui, LV2UI_Write_Function write, LV2UI_Controller controller,
               const LV2UI_Touch* touch, const LV2UI_Resize* resize, LV2_URID_Map* map);
  // Writes every parameter whose value moved since it was last seen and
  // that the host does not already hold.
  void SendChangedValues();

  IPluginLV2* mPlug;
  IGraphicsX11* mGUI;
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Touch* mTouch;
  const LV2UI_Resize* mResize;
  LV2_URID_Map* mMap;
  KIT_TypedBuf<float> mSeen;       // each parameter's value at the last look
  KIT_TypedBuf<float> mHostValue;  // the last value each port had from the host, or what was written
};

// The exported UI descriptor's table (index 0: the plug-in URI with "#ui").
const LV2UI_Descriptor* LV2UIDescriptor(uint32_t index);
