#pragma once
// The platform-independent half of a plug-in's editor. The plug-in base owns
// the editor (it deletes it) and pushes parameter values into it; the editor
// keeps a non-owning pointer back to its plug-in. The platform half derives
// from this class and supplies the window and the platform operations.
//
// Threads: everything runs on the main thread, except the relays from the
// plug-in (SetParameterFromPlug, SetControlFromPlug), which a host may call
// on its own thread while holding the plug-in mutex.

#include "kit/KIT_String.h"

class IPluginBase;

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

class IGraphics {
public:
  // A frame rate of 0 or less means the default of 25 frames per second.
  IGraphics(IPluginBase* plug, int width, int height, int fps);
  virtual ~IGraphics();

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  IPluginBase* GetPlug() { return mPlug; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }

  // Plug-in to editor. A value that is not normalized is converted with the
  // parameter's own mapping before it reaches the controls.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  // Ignored for an index outside the control list.
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  // Prepares the drawing surfaces; called when the editor is attached.
  void PrepDraw();

  // Platform: asks the user for a file. On return fileName holds the chosen
  // path, or is empty when the user cancelled; dir may be updated to the
  // folder used. extension is given without the dot ("fxp").
  virtual void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir,
                             char* extension) = 0;

private:
  IPluginBase* mPlug;
  int mWidth;
  int mHeight;
  int mFPS;
};
