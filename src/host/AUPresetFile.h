#pragma once
// .aupreset files: a component's saved state (the ClassInfo dictionary) as an
// XML property list, version 1.0 with Apple's DOCTYPE. Converts between the
// file's text and a CF dictionary, parsing and writing with libxml2.
//
// Supported values: dict, array, string, integer (64-bit signed), real, data
// (base64), true and false (read as the integers 1 and 0). Integers that fit
// 32 bits become SInt32 numbers, so the adapter's 32-bit getters accept them.
// A damaged, truncated or foreign file is refused with a result code and a
// one-line reason; nothing is returned and nothing leaks.
//
// Ownership: a dictionary handed out belongs to the caller (CFRelease).
// Threads: any thread; calls share no state.

#include <string>

#include "au/apple/Components.h"
#include "au/apple/CoreFoundation.h"

enum EAUPresetFileResult {
  kAUPresetOK = 0,
  kAUPresetCannotRead,   // the file is missing or unreadable
  kAUPresetNotXML,       // not well-formed XML (a truncated file ends here)
  kAUPresetNotPlist,     // XML, but not a plist 1.0 holding one dictionary
  kAUPresetBadValue,     // an element of the wrong kind or with a malformed value
  kAUPresetForeign,      // a well-formed preset of another component
  kAUPresetCannotWrite,  // the file or the text could not be written
};

// Parses plist text into a new dictionary (*dict, caller releases).
EAUPresetFileResult AUPresetFromXML(const char* text, size_t size, CFDictionaryRef* dict, std::string* reason);
// Writes a dictionary (string keys; values of the supported kinds) as plist text.
EAUPresetFileResult AUPresetToXML(CFDictionaryRef dict, std::string* text, std::string* reason);

// The same through a file. Reading refuses files above kMaxPresetFileBytes.
EAUPresetFileResult AUPresetReadFile(const char* path, CFDictionaryRef* dict, std::string* reason);
EAUPresetFileResult AUPresetWriteFile(const char* path, CFDictionaryRef dict, std::string* reason);

// kAUPresetOK when the dictionary is a whole saved state of the component of
// cd: "type", "subtype" and "manufacturer" name it, and "version" (a 32-bit
// number), "name" (a string) and "data" (bytes) are present.
// kAUPresetForeign when it names another component; kAUPresetBadValue when
// an entry is missing or of the wrong kind. Checking before restoring keeps
// a unit from half-applying a file it then refuses (it selects the named
// preset before it looks at "data").
EAUPresetFileResult AUPresetCheckComponent(CFDictionaryRef dict, const ComponentDescription& cd, std::string* reason);

// A short text for a result code, e.g. "not an XML file".
const char* AUPresetResultText(EAUPresetFileResult result);

static const long kMaxPresetFileBytes = 16L << 20;
