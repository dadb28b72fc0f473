#pragma once
// The screen copy of a raster bitmap into one X11 window: an image of the
// window's size in shared memory when the server offers MIT-SHM (and can
// attach it: a server on another machine cannot), in client memory sent
// with XPutImage otherwise. Put converts the given area of a bitmap into
// the image and sends that area only.
//
// Ownership: made for one window on one connection, both borrowed;
// owns the image and its shared-memory segment, freed by Release or the
// destructor (before the display closes).
//
// Threads: the thread that owns the display connection (the editor's).

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "platform/IGraphicsX11Pixels.h"

class KIT_String;
class PIX_IBitmap;
class X11Connection;

class X11Surface {
public:
  X11Surface() = default;
  ~X11Surface() { Release(); }
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  // An image of w x h for the window, drawn with gc. useShm false never
  // tries shared memory. False with the reason in error (a visual that is
  // not 24- or 32-bit TrueColor, no memory).
  bool Create(X11Connection* connection, Window window, GC gc, Visual* visual, int depth, int w, int h, bool useShm,
              KIT_String* error);
  void Release();

  // Copies bitmap pixels (srcX, srcY, w, h) to window position (dstX, dstY),
  // clipped to the bitmap and the image. The request is flushed, not
  // waited for.
  void Put(PIX_IBitmap* bitmap, int srcX, int srcY, int w, int h, int dstX, int dstY);

  bool UsesShm() const { return mShm; }
  const X11PixelFormat& Format() const { return mFormat; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

private:
  bool CreateShm(Visual* visual, int depth);
  // Shared memory may be rewritten only once the server has read it.
  void WaitForServer();

  X11Connection* mConnection = nullptr;
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  GC mGC = nullptr;
  XImage* mImage = nullptr;
  XShmSegmentInfo mSegment = {};
  bool mShm = false;
  bool mServerReading = false;
  X11PixelFormat mFormat;
  int mWidth = 0;
  int mHeight = 0;
};
