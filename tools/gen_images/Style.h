#pragma once
// The look of every image in one place: colours, light, sizes and fonts.
// Change a value here and regenerate to restyle the whole editor.

#include "Colour.h"

namespace Style {

// Everything is drawn this many times larger and then box-filtered down,
// which anti-aliases every edge the same way.
const int kSuper = 4;

// One light for everything, from the upper left and in front of the panel
// (x right, y down, z towards the viewer; need not be normalised).
const float kLightX = -0.55f;
const float kLightY = -0.75f;
const float kLightZ = 0.95f;

// Panel.
const Colour kPanelTop = {0.205f, 0.212f, 0.227f};
const Colour kPanelBottom = {0.145f, 0.150f, 0.162f};
const Colour kHeader = {0.105f, 0.108f, 0.118f};
const Colour kFrameLine = {0.330f, 0.340f, 0.360f};
const Colour kFrameShadow = {0.085f, 0.088f, 0.095f};
const Colour kWell = {0.080f, 0.082f, 0.090f};
const float kTextureAmount = 0.018f;

// Printing.
const Colour kLabel = {0.840f, 0.845f, 0.860f};
const Colour kLabelDim = {0.560f, 0.570f, 0.590f};
const Colour kTitle = {0.930f, 0.935f, 0.945f};

// Accents: the value display's amber, and a deeper red-orange for
// negative velocity spans.
const Colour kAccent = {238 / 255.0f, 158 / 255.0f, 0 / 255.0f};
const Colour kAccentNegative = {0.925f, 0.300f, 0.110f};
const Colour kLedOff = {0.220f, 0.090f, 0.035f};

// Knobs.
const Colour kKnobSkirt = {0.105f, 0.108f, 0.115f};
const Colour kKnobCap = {0.300f, 0.308f, 0.322f};
const Colour kKnobPointer = kAccent;
const int kKnobRidges = 28;

// Keys (switches and the trigger pad).
const Colour kKey = {0.170f, 0.175f, 0.185f};
const Colour kPad = {0.215f, 0.220f, 0.232f};

// Rings.
const float kRingInner = 25.0f;
const float kRingOuter = 28.3f;
const float kRingGlow = 1.2f;

// Fonts (fontconfig picks the nearest installed face).
const char* const kLabelFace = "DejaVu Sans Condensed";
const char* const kTitleFace = "DejaVu Sans";
const char* const kDisplayFace = "Verdana";

}  // namespace Style
