#include "platform/IGraphicsX11Surface.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"
#include "platform/IGraphicsX11Display.h"

namespace {
// Only the owner may use the segment.
constexpr int kShmPermissions = 0600;
constexpr int kPixelBits = 32;
}  // namespace

bool X11Surface::Create(X11Connection* connection, Window window, GC gc, Visual* visual, int depth, int w, int h, bool useShm,
                        KIT_String* error) {
  Release();
  if (visual->c_class != TrueColor || (depth != 24 && depth != 32)) {
    error->Set("the X display's visual is not a 24- or 32-bit TrueColor one");
    return false;
  }
  Display* display = connection->Get();
  mConnection = connection;
  mDisplay = display;
  mWindow = window;
  mGC = gc;
  mWidth = w;
  mHeight = h;
  if (!(useShm && XShmQueryExtension(display) && CreateShm(visual, depth))) {
    char* data = static_cast<char*>(std::calloc(static_cast<size_t>(w) * h, sizeof(uint32_t)));
    if (data) mImage = XCreateImage(display, visual, depth, ZPixmap, 0, data, w, h, kPixelBits, 0);
    if (!mImage) {
      std::free(data);
      error->Set("no memory for the editor's screen image");
      return false;
    }
    // Xlib swaps bytes for a server of the other order when it sends.
    mImage->byte_order = LSBFirst;
  }
  mFormat = MakeX11PixelFormat(visual->red_mask, visual->green_mask, visual->blue_mask, mImage->bits_per_pixel,
                               mImage->byte_order == LSBFirst);
  return true;
}

bool X11Surface::CreateShm(Visual* visual, int depth) {
  XImage* image = XShmCreateImage(mDisplay, visual, depth, ZPixmap, nullptr, &mSegment, mWidth, mHeight);
  if (!image) return false;
  if (image->bits_per_pixel != kPixelBits) {
    XDestroyImage(image);
    return false;
  }
  mSegment.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height,
                          IPC_CREAT | kShmPermissions);
  if (mSegment.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  mSegment.shmaddr = image->data = static_cast<char*>(shmat(mSegment.shmid, nullptr, 0));
  mSegment.readOnly = False;
  if (mSegment.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(mSegment.shmid, IPC_RMID, nullptr);
    image->data = nullptr;
    XDestroyImage(image);
    return false;
  }
  // A server on another machine refuses to attach: find out now, without
  // the error reaching anyone else.
  mConnection->BeginTrap();
  XShmAttach(mDisplay, &mSegment);
  const int attachError = mConnection->EndTrap();
  // The segment goes away by itself once both sides have let go of it.
  shmctl(mSegment.shmid, IPC_RMID, nullptr);
  if (attachError != Success) {
    shmdt(mSegment.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    mSegment = {};
    return false;
  }
  mImage = image;
  mShm = true;
  return true;
}

void X11Surface::Release() {
  if (!mImage) return;
  if (mShm) {
    if (!mConnection->IsLost()) {
      XShmDetach(mDisplay, &mSegment);
      XSync(mDisplay, False);
    }
    shmdt(mSegment.shmaddr);
    mImage->data = nullptr;
    mSegment = {};
  }
  XDestroyImage(mImage);  // frees client memory too
  mImage = nullptr;
  mShm = false;
  mServerReading = false;
}

void X11Surface::WaitForServer() {
  if (!mServerReading) return;
  if (!mConnection->IsLost()) XSync(mDisplay, False);
  mServerReading = false;
}

void X11Surface::Put(PIX_IBitmap* bitmap, int srcX, int srcY, int w, int h, int dstX, int dstY) {
  if (!mImage || !bitmap || !bitmap->getBits()) return;
  // Clip to the bitmap, then to the image.
  if (srcX < 0) { w += srcX; dstX -= srcX; srcX = 0; }
  if (srcY < 0) { h += srcY; dstY -= srcY; srcY = 0; }
  if (dstX < 0) { w += dstX; srcX -= dstX; dstX = 0; }
  if (dstY < 0) { h += dstY; srcY -= dstY; dstY = 0; }
  w = std::min({w, bitmap->getWidth() - srcX, mWidth - dstX});
  h = std::min({h, bitmap->getHeight() - srcY, mHeight - dstY});
  if (w <= 0 || h <= 0) return;
  WaitForServer();
  const int span = bitmap->getRowSpan();
  const int stride = mImage->bytes_per_line / static_cast<int>(sizeof(uint32_t));
  const unsigned* bits = bitmap->getBits();
  uint32_t* out = reinterpret_cast<uint32_t*>(mImage->data);
  for (int y = 0; y < h; ++y) {
    const int row = bitmap->isFlipped() ? bitmap->getHeight() - 1 - (srcY + y) : srcY + y;
    X11ConvertRow(bits + static_cast<long>(row) * span + srcX, out + static_cast<long>(dstY + y) * stride + dstX, w,
                  mFormat);
  }
  if (mShm) {
    XShmPutImage(mDisplay, mWindow, mGC, mImage, dstX, dstY, dstX, dstY, w, h, False);
    mServerReading = true;
  } else {
    XPutImage(mDisplay, mWindow, mGC, mImage, dstX, dstY, dstX, dstY, w, h);
  }
  XFlush(mDisplay);
}
