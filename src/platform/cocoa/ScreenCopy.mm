// The screen copy of the Mac editor: the draw bitmap into the view.

#import "platform/cocoa/IGraphicsCocoa.h"

#include "pix/PIX_Bitmap.h"

#ifndef GNUSTEP
#import <CoreGraphics/CoreGraphics.h>
#endif

namespace {
double gForcedBackingScale = 0;
}  // namespace

double BackingScaleOf(NSWindow* window) {
#ifdef GNUSTEP
  return gForcedBackingScale > 0 ? gForcedBackingScale : 1.0;
#else
  return window ? [window backingScaleFactor] : 1.0;
#endif
}

void ForceBackingScale(double scale) { gForcedBackingScale = scale; }

bool DrawBitmapIntoCurrentContext(PIX_IBitmap* bitmap, double scale) {
  NSGraphicsContext* context = [NSGraphicsContext currentContext];
  if (!context || !bitmap || !bitmap->getBits()) return false;
  const int span = bitmap->getRowSpan();
  const int height = bitmap->getHeight();
  const size_t bytesPerRow = static_cast<size_t>(span) * 4;
#ifdef GNUSTEP
  // GNUstep has no CoreGraphics. Its bitmap images know no "skip the first
  // byte" layout, so the pixels (bytes A, R, G, B in memory) are copied
  // into an alpha-first image whose alpha is forced opaque: the screen
  // shows colour, never the draw bitmap's alpha, as on the Mac.
  NSBitmapImageRep* rep = [[NSBitmapImageRep alloc]
      initWithBitmapDataPlanes:NULL
                    pixelsWide:span
                    pixelsHigh:height
                 bitsPerSample:8
               samplesPerPixel:4
                      hasAlpha:YES
                      isPlanar:NO
                colorSpaceName:NSDeviceRGBColorSpace
                  bitmapFormat:(NSBitmapFormat)(NSAlphaFirstBitmapFormat | NSAlphaNonpremultipliedBitmapFormat)
                   bytesPerRow:bytesPerRow
                  bitsPerPixel:32];
  if (!rep) return false;
  const unsigned kOpaque = 0xFFu;  // alpha lives in the low byte of a pixel
  const unsigned* from = bitmap->getBits();
  unsigned* to = reinterpret_cast<unsigned*>([rep bitmapData]);
  const size_t n = static_cast<size_t>(span) * height;
  for (size_t i = 0; i < n; ++i) to[i] = from[i] | kOpaque;
  [rep drawInRect:NSMakeRect(0, 0, span / scale, height / scale)
         fromRect:NSZeroRect
        operation:NSCompositeCopy
         fraction:1.0
   respectFlipped:YES
            hints:nil];
  [rep release];
#else
  // Bytes A, R, G, B in memory: big-endian 32-bit pixels with the alpha
  // byte first and skipped.
  CGContextRef cg = static_cast<CGContextRef>([context graphicsPort]);
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGDataProviderRef data = CGDataProviderCreateWithData(nullptr, bitmap->getBits(), bytesPerRow * height, nullptr);
  CGImageRef image = CGImageCreate(span, height, 8, 32, bytesPerRow, space,
                                   kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Big, data, nullptr, false,
                                   kCGRenderingIntentDefault);
  if (image) CGContextDrawImage(cg, CGRectMake(0, 0, span / scale, height / scale), image);
  CGImageRelease(image);
  CGDataProviderRelease(data);
  CGColorSpaceRelease(space);
  if (!image) return false;
#endif
  return true;
}
