#pragma once
// The scale an X11 desktop asks applications to draw at, from the settings
// desktops publish: GDK_SCALE (a whole factor, set by GNOME and others) and
// the Xft.dpi X resource (96 dots per inch is 1, 192 is 2). Editors take
// it through IGraphics::SetScreenScale. Main thread.

// Device pixels per editor pixel for the given settings (either may be
// null): GDK_SCALE when it is a whole number from 1 up, else Xft.dpi / 96
// when the resources name a positive dpi, else 1; held to the editor's
// range of 1 to 2.
double DesktopScaleFrom(const char* gdkScale, const char* xResources);

// The same for this session: GDK_SCALE from the environment and the
// resources of the default display (1 without a display).
double DesktopScale();
