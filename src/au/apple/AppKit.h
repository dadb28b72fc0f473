#pragma once
// Stand-in for the two AppKit types the Audio Unit view factory passes: the
// view size record and the opaque view an editor window hands back.

typedef double CGFloat;

struct NSSize {
  CGFloat width;
  CGFloat height;
};

// An editor's Cocoa view; only ever handled by pointer.
typedef struct NSViewOpaque NSView;
