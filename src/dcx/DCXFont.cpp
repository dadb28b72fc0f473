#include "dcx/DCXFont.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "dcx/DCXContext.h"

namespace {

const int kDefaultHeight = 16;
const int kMaxPixelSize = 2048;

// FreeType and fontconfig are set up once per process; face creation and
// deletion share the library, so they are serialised. Constant-initialised
// and trivially destroyed, so fonts deleted by other objects' destructors at
// the program's end still find it.
struct FontLibrary {
  FT_Library library = nullptr;
  std::mutex lock;
};
FontLibrary gLibrary;
std::once_flag gFontconfigSetUp;
std::once_flag gFreeTypeSetUp;
std::atomic<bool> gSetUpStarted{false};

// Reading the system's font configuration, the slow part of the set-up.
// Whichever thread comes first does it; the others wait for it.
void SetUpFontconfig() {
  gSetUpStarted.store(true);
  std::call_once(gFontconfigSetUp, [] { FcInit(); });
}

// FreeType is set up only for the first font, not by the helper thread: a
// process that never draws text (a plug-in unloaded by its host without
// showing its editor) then holds no FreeType library that nothing frees.
FontLibrary* Library() {
  SetUpFontconfig();
  std::call_once(gFreeTypeSetUp, [] {
    if (FT_Init_FreeType(&gLibrary.library) != 0) gLibrary.library = nullptr;
  });
  return gLibrary.library ? &gLibrary : nullptr;
}

// The thread DCX_StartFontLibrary starts. Joined when the program ends or
// the plug-in is unloaded, so the set-up never runs on past the code it is in.
struct SetUpHelper {
  std::mutex lock;
  bool started = false;
  std::thread thread;
  ~SetUpHelper() {
    if (thread.joinable()) thread.join();
  }
};
SetUpHelper gHelper;

// The installed face fontconfig considers the best match.
bool MatchFace(const char* faceName, int pixelSize, int weight, bool italic, KIT_String* path, int* index) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (faceName && *faceName) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight <= 0 ? FW_NORMAL : weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (found) path->Set(reinterpret_cast<const char*>(file));
  if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  FcPatternDestroy(match);
  return found;
}

int Ceil26(FT_Pos v) { return int((v + 63) >> 6); }

void ReadMetrics(DCX_Object* font, int weight, bool italic) {
  const FT_Size_Metrics& m = font->face->size->metrics;
  TEXTMETRIC& tm = font->metrics;
  tm.tmAscent = Ceil26(m.ascender);
  tm.tmDescent = Ceil26(-m.descender);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = tm.tmHeight - int(m.y_ppem);
  tm.tmExternalLeading = std::max(0, Ceil26(m.height) - tm.tmHeight);
  tm.tmMaxCharWidth = Ceil26(m.max_advance);
  tm.tmWeight = weight <= 0 ? FW_NORMAL : weight;
  tm.tmItalic = italic ? 1 : 0;
  tm.tmAveCharWidth = 0;
  const FT_UInt x = FT_Get_Char_Index(font->face, 'x');
  if (x && FT_Load_Glyph(font->face, x, FT_LOAD_DEFAULT) == 0) tm.tmAveCharWidth = Ceil26(font->face->glyph->advance.x);
  const FT_Fixed scale = m.y_scale;
  font->underlinePos = std::max(1, int(std::lround(-FT_MulFix(font->face->underline_position, scale) / 64.0)));
  font->lineThickness = std::max(1, int(std::lround(FT_MulFix(font->face->underline_thickness, scale) / 64.0)));
}

// Sets the pixel size so that a positive height is the cell height.
bool SizeFace(FT_Face face, int height) {
  if (height < 0) return FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::min(-height, kMaxPixelSize))) == 0;
  const int units = face->ascender - face->descender;
  int em = units > 0 ? int(std::lround(double(height) * face->units_per_EM / units)) : height;
  em = std::max(1, std::min(em, kMaxPixelSize));
  for (int tries = 0; tries < 4; ++tries) {
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(em)) != 0) return false;
    const int cell = Ceil26(face->size->metrics.ascender) + Ceil26(-face->size->metrics.descender);
    if (cell > height && em > 1) --em;
    else if (cell < height && em < kMaxPixelSize && tries == 0) ++em;
    else break;
  }
  return true;
}

}  // namespace

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, unsigned long italic,
                 unsigned long underline, unsigned long strikeOut, unsigned long charSet, unsigned long outPrecision,
                 unsigned long clipPrecision, unsigned long quality, unsigned long pitchAndFamily,
                 const char* faceName) {
  FontLibrary* lib = Library();
  if (!lib) return nullptr;
  if (height == 0) height = kDefaultHeight;
  if (height > kMaxPixelSize || height < -kMaxPixelSize) return nullptr;

  // Taken first, so a font given up below is deleted with the lock held.
  std::lock_guard<std::mutex> hold(lib->lock);
  std::unique_ptr<DCX_Object> font(new (std::nothrow) DCX_Object());
  if (!font) return nullptr;
  int index = 0;
  if (!MatchFace(faceName, height < 0 ? -height : height, weight, italic != 0, &font->path, &index) ||
      FT_New_Face(lib->library, font->path.Get(), index, &font->face) != 0)
    return nullptr;
  if (!SizeFace(font->face, height)) return nullptr;
  font->family.Set(font->face->family_name ? font->face->family_name : "");
  font->mono = quality == NONANTIALIASED_QUALITY;
  font->underline = underline != 0;
  font->strikeOut = strikeOut != 0;
  ReadMetrics(font.get(), weight, italic != 0);
  return font.release();
}

void DCX_StartFontLibrary() {
  std::lock_guard<std::mutex> hold(gHelper.lock);
  if (gHelper.started) return;
  gHelper.started = true;
  gSetUpStarted.store(true);
  try {
    gHelper.thread = std::thread(SetUpFontconfig);
  } catch (const std::system_error&) {
    // No thread to be had: the first font sets the library up itself.
  }
}

bool DCX_FontLibraryStarted() { return gSetUpStarted.load(); }

const char* DCX_GetFontFaceName(HGDIOBJ font) { return font ? font->family.Get() : ""; }

const char* DCX_GetFontFilePath(HGDIOBJ font) { return font ? font->path.Get() : ""; }

DCX_Object::~DCX_Object() {
  if (face) FT_Done_Face(face);
}

// The handle is a raw pointer by the device-context interface; it ends here.
bool DeleteObject(HGDIOBJ object) {
  if (!object) return false;
  std::lock_guard<std::mutex> hold(Library()->lock);
  delete object;
  return true;
}

bool DCX_RenderGlyph(DCX_Object* font, unsigned code) {
  FT_UInt index = FT_Get_Char_Index(font->face, code);
  if (!index) index = FT_Get_Char_Index(font->face, 0xFFFD);
  const FT_Int32 load = font->mono ? (FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) : FT_LOAD_DEFAULT;
  if (FT_Load_Glyph(font->face, index, load) != 0) return false;
  return FT_Render_Glyph(font->face->glyph, font->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (!dc) return nullptr;
  HGDIOBJ previous = dc->font;
  dc->font = object;
  return previous;
}

bool GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
  if (!dc || !dc->font || !metrics) return false;
  *metrics = dc->font->metrics;
  return true;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  if (!dc) return 0;
  const COLORREF previous = dc->textColor;
  dc->textColor = color & 0xFFFFFF;
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  if (!dc) return 0;
  const COLORREF previous = dc->bkColor;
  dc->bkColor = color & 0xFFFFFF;
  return previous;
}

int SetBkMode(HDC dc, int mode) {
  if (!dc) return 0;
  const int previous = dc->bkMode;
  if (mode == TRANSPARENT || mode == OPAQUE) dc->bkMode = mode;
  return previous;
}

// fontconfig keeps (and partly loses) memory from parsing its configuration
// files once per process; that is not ours to free, so the leak checker of
// sanitised builds is told to ignore it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
// Nor does it print how often that rule matched: programs whose standard
// error is part of their interface (the command line's) would say more than
// they were asked.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
