#pragma once
// What the headless and X11 editors answer alike, being on a desktop file
// system with the editor's images in the resource folder: the path queries,
// the image resources, the colour prompt and URL opening that neither
// offers, and a window that follows a new size as it follows a new screen
// scale. Each platform editor derives from it and supplies the window.
//
// Threads: main thread, like the platform operations it implements.

#include "graphics/IGraphics.h"

class IGraphicsDesktop : public IGraphics {
public:
  IGraphicsDesktop(IPluginBase* plug, int w, int h, int fps);

  // Nothing when the size is unchanged; otherwise the base operation, then
  // the window follows through OnScreenScaleChanged.
  void Resize(int w, int h) override;

  // The running program's folder.
  void HostPath(KIT_String* path) override;
  // The resource folder.
  void PluginPath(KIT_String* path) override;
  // $HOME/Desktop, or "" without a home folder.
  void DesktopPath(KIT_String* path) override;
  // There is no colour dialog: false.
  bool PromptForColor(IColor* color, char* prompt) override;
  // There is no browser: false.
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override;
  // The image of resource name ("resources/img/knob.png" is "knob.png" in
  // the resource folder); the id is not used. On failure says on stderr
  // what was missing, where it was looked for or why it did not decode,
  // and returns null.
  PIX_IBitmap* OSLoadBitmap(int id, const char* name) override;
  // The resource's file in the resource folder, when it is there.
  bool OSImageFile(int id, const char* name, KIT_String* path) override;
};
