#pragma once
// Image resources of the plug-in bundle, looked up the way the bundle does
// it: "resources/img/knob.png" is the resource "knob" of type "png" in the
// resources folder (TonnikResourceDir()). Main thread.

class PIX_IBitmap;
class KIT_String;

// The resource a name refers to: its last path component without the
// extension ("knob" for "resources/img/knob.png"). False (base untouched)
// for a null name or one whose extension is not "png" in any letter case.
bool ResourceImageBaseName(const char* name, KIT_String* base);

// The file a name refers to: the folder, "/", the last path component of
// name without its extension, ".png". False (path untouched) for a null
// name or one whose extension is not "png" in any letter case.
bool ResourceImagePath(const char* name, const char* folder, KIT_String* path);

// The resource's file in the resource folder (TonnikResourceDir()); false
// (path untouched) when the name is not a PNG resource name or no such file
// is there.
bool ResourceImageFile(const char* name, KIT_String* path);

// Decodes the resource into a new bitmap the caller owns; null when the
// name is not a PNG resource name, the file is missing or it does not
// decode. On failure, error (when given) says what was missing and where it
// was looked for, or which file did not decode and why.
PIX_IBitmap* LoadImgFromResource(const char* name, KIT_String* error = nullptr);
