#include "platform/IGraphicsDesktop.h"

#include <cstdio>

#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "platform/PlatformPaths.h"
#include "platform/ResourceImages.h"

IGraphicsDesktop::IGraphicsDesktop(IPluginBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {}

void IGraphicsDesktop::Resize(int w, int h) {
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  OnScreenScaleChanged();
}

void IGraphicsDesktop::HostPath(KIT_String* path) { ProgramFolder(path); }

void IGraphicsDesktop::PluginPath(KIT_String* path) { path->Set(TonnikResourceDir()); }

void IGraphicsDesktop::DesktopPath(KIT_String* path) { DesktopFolder(path); }

bool IGraphicsDesktop::PromptForColor(IColor* color, char* prompt) { return false; }

bool IGraphicsDesktop::OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
                               const char* errMsgOnFailure) {
  return false;
}

PIX_IBitmap* IGraphicsDesktop::OSLoadBitmap(int id, const char* name) {
  KIT_String error;
  PIX_IBitmap* bitmap = LoadImgFromResource(name, &error);
  if (!bitmap) std::fprintf(stderr, "editor: %s\n", error.Get());
  return bitmap;
}

bool IGraphicsDesktop::OSImageFile(int id, const char* name, KIT_String* path) {
  return ResourceImageFile(name, path);
}
