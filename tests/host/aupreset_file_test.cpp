// .aupreset files: the dictionary survives a round trip through the text,
// and damaged or foreign files are refused with the right code.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "au/apple/FourCC.h"
#include "au/apple/StandIn.h"
#include "host/AUPresetFile.h"
#include "host/PlistBase64.h"

namespace {

const char kHeader[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

const ComponentDescription kTonnik = {MakeFourCC("aumu"), MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};

std::string Plist(const std::string& body) { return kHeader + std::string("<plist version=\"1.0\">\n") + body + "</plist>\n"; }

// A preset as a host writes it for the instrument, with data bytes given as base64.
std::string Preset(const std::string& dataBase64, long subtype = (long)MakeFourCC("Tnk4")) {
  return Plist("<dict>\n<key>data</key>\n<data>\n" + dataBase64 +
               "\n</data>\n<key>manufacturer</key>\n<integer>760630317</integer>\n"
               "<key>name</key>\n<string>Init</string>\n<key>subtype</key>\n<integer>" +
               std::to_string(subtype) +
               "</integer>\n<key>type</key>\n<integer>1635085685</integer>\n"
               "<key>version</key>\n<integer>65793</integer>\n</dict>\n");
}

std::string Nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<array>";
  for (int i = 0; i < depth; ++i) text += "</array>";
  return text;
}

CFStringRef Key(const char* text) { return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8); }

CFTypeRef Value(CFDictionaryRef dict, const char* key) {
  CFStringRef k = Key(key);
  CFTypeRef v = CFDictionaryGetValue(dict, k);
  CFRelease(k);
  return v;
}

long long IntegerOf(CFDictionaryRef dict, const char* key) {
  CFTypeRef v = Value(dict, key);
  long long n = -12345;
  if (v && CFGetTypeID(v) == CFNumberGetTypeID()) CFNumberGetValue((CFNumberRef)v, kCFNumberSInt64Type, &n);
  return n;
}

void Set(CFMutableDictionaryRef dict, const char* key, CFTypeRef value) {
  CFStringRef k = Key(key);
  CFDictionarySetValue(dict, k, value);
  CFRelease(k);
  CFRelease(value);
}

struct Parsed {
  EAUPresetFileResult result;
  std::string reason;
  CFDictionaryRef dict = nullptr;
  explicit Parsed(const std::string& text) { result = AUPresetFromXML(text.data(), text.size(), &dict, &reason); }
  ~Parsed() {
    if (dict) CFRelease(dict);
  }
};

TEST(PlistBase64, EncodeDecodeAgreeWithEachOtherOverRandomBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<UInt8> bytes(random() % 70);
    for (UInt8& b : bytes) b = (UInt8)random();
    std::string text = PlistBase64Encode(bytes.data(), bytes.size());
    ASSERT_EQ((bytes.size() + 2) / 3 * 4, text.size());
    // Files wrap the text; white space anywhere must not matter.
    for (size_t at = 0; at < text.size(); at += 1 + random() % 9) text.insert(at, random() % 2 ? "\n\t" : " ");
    std::vector<UInt8> back;
    ASSERT_TRUE(PlistBase64Decode(text.data(), text.size(), &back)) << text;
    EXPECT_EQ(bytes, back);
  }
}

TEST(PlistBase64, KnownTextsAndMalformedOnes) {
  const struct {
    const char* text;
    bool ok;
    const char* bytes;
  } cases[] = {
      {"", true, ""},          {"QQ==", true, "A"},     {"QUI=", true, "AB"},    {"QUJD", true, "ABC"},
      {"QUJDRA==", true, "ABCD"}, {"QQ", false, ""},    {"QUJ", false, ""},      {"Q===", false, ""},
      {"QQ==QQ==", false, ""}, {"QU*D", false, ""},     {"QR==", false, ""},     {"QUJ=x", false, ""},
      {"=QUJ", false, ""},     {"QUJD\xff", false, ""},
  };
  for (const auto& c : cases) {
    std::vector<UInt8> out = {9};
    const std::string text = c.text;
    EXPECT_EQ(c.ok, PlistBase64Decode(text.data(), text.size(), &out)) << c.text;
    if (c.ok) EXPECT_EQ(std::string(c.bytes), std::string(out.begin(), out.end())) << c.text;
    else EXPECT_EQ(std::vector<UInt8>{9}, out) << "untouched on failure";
  }
}

TEST(AUPresetFile, ReadsAHostsPreset) {
  Parsed p(Preset("AAEC/w=="));
  ASSERT_EQ(kAUPresetOK, p.result) << p.reason;
  EXPECT_EQ(1635085685, IntegerOf(p.dict, "type"));
  EXPECT_EQ((long long)MakeFourCC("Tnk4"), IntegerOf(p.dict, "subtype"));
  EXPECT_EQ(65793, IntegerOf(p.dict, "version"));
  CFDataRef data = (CFDataRef)Value(p.dict, "data");
  ASSERT_NE(nullptr, data);
  ASSERT_EQ(4, CFDataGetLength(data));
  EXPECT_EQ(0xFF, CFDataGetBytePtr(data)[3]);
  CFStringRef name = (CFStringRef)Value(p.dict, "name");
  EXPECT_STREQ("Init", CFStringGetCStringPtr(name, kCFStringEncodingUTF8));
  SInt32 small = 0;
  EXPECT_TRUE(CFNumberGetValue((CFNumberRef)Value(p.dict, "type"), kCFNumberSInt32Type, &small));
  std::string reason;
  EXPECT_EQ(kAUPresetOK, AUPresetCheckComponent(p.dict, kTonnik, &reason)) << reason;
}

TEST(AUPresetFile, RoundTripKeepsEveryValueAndGivesTheSameText) {
  const long before = StandIn_LiveCFObjectCount();
  {
    CFMutableDictionaryRef dict =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    const SInt32 negative = -7;
    const SInt64 big = -(1LL << 40);
    const double real = 0.1;
    const UInt8 bytes[] = {0, 1, 2, 250, 251, 252, 253};
    Set(dict, "negative", CFNumberCreate(nullptr, kCFNumberSInt32Type, &negative));
    Set(dict, "big", CFNumberCreate(nullptr, kCFNumberSInt64Type, &big));
    Set(dict, "real", CFNumberCreate(nullptr, kCFNumberFloat64Type, &real));
    Set(dict, "name", Key("Kick <&> \"Ü\""));
    Set(dict, "data", CFDataCreate(nullptr, bytes, sizeof bytes));
    Set(dict, "empty", CFDataCreate(nullptr, nullptr, 0));
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFStringRef element = Key("one");
    CFArrayAppendValue(array, element);
    CFRelease(element);
    Set(dict, "list", array);

    std::string text, reason;
    ASSERT_EQ(kAUPresetOK, AUPresetToXML(dict, &text, &reason)) << reason;
    EXPECT_NE(std::string::npos, text.find("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\""));
    EXPECT_NE(std::string::npos, text.find("<integer>-7</integer>"));
    EXPECT_NE(std::string::npos, text.find("<data>AAEC+vv8/Q==</data>"));
    EXPECT_NE(std::string::npos, text.find("&lt;&amp;&gt;"));

    Parsed back(text);
    ASSERT_EQ(kAUPresetOK, back.result) << back.reason;
    EXPECT_EQ(-7, IntegerOf(back.dict, "negative"));
    EXPECT_EQ(big, IntegerOf(back.dict, "big"));
    double realBack = 0;
    CFNumberGetValue((CFNumberRef)Value(back.dict, "real"), kCFNumberFloat64Type, &realBack);
    EXPECT_EQ(real, realBack);
    EXPECT_TRUE(CFEqual(Value(dict, "name"), Value(back.dict, "name")));
    EXPECT_TRUE(CFEqual(Value(dict, "data"), Value(back.dict, "data")));
    EXPECT_EQ(0, CFDataGetLength((CFDataRef)Value(back.dict, "empty")));
    EXPECT_EQ(1, CFArrayGetCount((CFArrayRef)Value(back.dict, "list")));

    std::string again;
    ASSERT_EQ(kAUPresetOK, AUPresetToXML(back.dict, &again, &reason));
    EXPECT_EQ(text, again);
    CFRelease(dict);
  }
  EXPECT_EQ(before, StandIn_LiveCFObjectCount()) << "nothing leaks";
}

TEST(AUPresetFile, DamagedFilesAreRefusedWithTheirKind) {
  const std::string good = Preset("AAEC/w==");
  const struct {
    const char* what;
    std::string text;
    EAUPresetFileResult expected;
  } cases[] = {
      {"empty", "", kAUPresetNotXML},
      {"binary", std::string("bplist00\xd1\x01\x02", 11), kAUPresetNotXML},
      {"truncated in the middle", good.substr(0, good.size() / 2), kAUPresetNotXML},
      {"truncated before the end tag", good.substr(0, good.size() - 9), kAUPresetNotXML},
      {"not a plist", std::string(kHeader) + "<html><body/></html>", kAUPresetNotPlist},
      {"plist of another version", "<plist version=\"2.0\"><dict/></plist>", kAUPresetNotPlist},
      {"array at the top", Plist("<array/>"), kAUPresetNotPlist},
      {"two dictionaries", Plist("<dict/><dict/>"), kAUPresetNotPlist},
      {"empty plist", Plist(""), kAUPresetNotPlist},
      {"integer as string", Plist("<dict><key>type</key><integer>aumu</integer></dict>"), kAUPresetBadValue},
      {"integer overflow", Plist("<dict><key>type</key><integer>99999999999999999999</integer></dict>"),
       kAUPresetBadValue},
      {"empty integer", Plist("<dict><key>type</key><integer/></dict>"), kAUPresetBadValue},
      {"real that is not", Plist("<dict><key>x</key><real>1.5x</real></dict>"), kAUPresetBadValue},
      {"data not base64", Plist("<dict><key>data</key><data>AA*=</data></dict>"), kAUPresetBadValue},
      {"data cut short", Plist("<dict><key>data</key><data>AAE</data></dict>"), kAUPresetBadValue},
      {"element inside a string", Plist("<dict><key>name</key><string>a<b/></string></dict>"), kAUPresetBadValue},
      {"key without value", Plist("<dict><key>name</key></dict>"), kAUPresetBadValue},
      {"two keys in a row", Plist("<dict><key>a</key><key>b</key><string/></dict>"), kAUPresetBadValue},
      {"value without key", Plist("<dict><string>x</string></dict>"), kAUPresetBadValue},
      {"duplicate key", Plist("<dict><key>a</key><string/><key>a</key><string/></dict>"), kAUPresetBadValue},
      {"unknown element", Plist("<dict><key>a</key><blob>1</blob></dict>"), kAUPresetBadValue},
      {"date", Plist("<dict><key>a</key><date>2020-01-01T00:00:00Z</date></dict>"), kAUPresetBadValue},
      {"stray text", Plist("<dict>oops<key>a</key><string/></dict>"), kAUPresetBadValue},
      {"nested too deep", Plist("<dict><key>a</key>" + Nested(40) + "</dict>"), kAUPresetBadValue},
      {"external entity", std::string("<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY e SYSTEM \"/etc/passwd\">]>"
                                      "<plist version=\"1.0\"><dict><key>name</key><string>&e;</string></dict></plist>"),
       kAUPresetBadValue},
  };
  for (const auto& c : cases) {
    const long before = StandIn_LiveCFObjectCount();
    {
      Parsed p(c.text);
      EXPECT_EQ(c.expected, p.result) << c.what << ": " << p.reason;
      EXPECT_EQ(nullptr, p.dict) << c.what;
      EXPECT_FALSE(p.reason.empty()) << c.what;
    }
    EXPECT_EQ(before, StandIn_LiveCFObjectCount()) << c.what << " leaks";
  }
}

TEST(AUPresetFile, ComponentCheckTellsForeignAndIncompletePresets) {
  const struct {
    const char* what;
    std::string text;
    EAUPresetFileResult expected;
  } cases[] = {
      {"ours", Preset(""), kAUPresetOK},
      {"another subtype", Preset("", (long)MakeFourCC("Tnk5")), kAUPresetForeign},
      {"subtype missing",
       Plist("<dict><key>type</key><integer>1635085685</integer><key>manufacturer</key>"
             "<integer>760630317</integer></dict>"),
       kAUPresetBadValue},
      {"subtype as string",
       Plist("<dict><key>type</key><integer>1635085685</integer><key>subtype</key><string>Tnk4</string>"
             "<key>manufacturer</key><integer>760630317</integer></dict>"),
       kAUPresetBadValue},
      {"subtype too big for 32 bits", Preset("", 1L << 40), kAUPresetBadValue},
      {"data missing",
       Plist("<dict><key>type</key><integer>1635085685</integer><key>subtype</key><integer>1416522548</integer>"
             "<key>manufacturer</key><integer>760630317</integer><key>version</key><integer>1</integer>"
             "<key>name</key><string>Init</string></dict>"),
       kAUPresetBadValue},
      {"data as a string",
       Plist("<dict><key>type</key><integer>1635085685</integer><key>subtype</key><integer>1416522548</integer>"
             "<key>manufacturer</key><integer>760630317</integer><key>version</key><integer>1</integer>"
             "<key>name</key><string>Init</string><key>data</key><string>AAAA</string></dict>"),
       kAUPresetBadValue},
      {"name as a number",
       Plist("<dict><key>type</key><integer>1635085685</integer><key>subtype</key><integer>1416522548</integer>"
             "<key>manufacturer</key><integer>760630317</integer><key>version</key><integer>1</integer>"
             "<key>name</key><integer>0</integer><key>data</key><data>AAAA</data></dict>"),
       kAUPresetBadValue},
  };
  for (const auto& c : cases) {
    Parsed p(c.text);
    ASSERT_EQ(kAUPresetOK, p.result) << c.what << ": " << p.reason;
    std::string reason;
    EXPECT_EQ(c.expected, AUPresetCheckComponent(p.dict, kTonnik, &reason)) << c.what << ": " << reason;
  }
}

TEST(AUPresetFile, FilesAreWrittenWholeOrNotAtAll) {
  const std::string path = testing::TempDir() + "aupreset_file_test.aupreset";
  Parsed p(Preset("AAEC/w=="));
  ASSERT_EQ(kAUPresetOK, p.result);
  std::string reason;
  ASSERT_EQ(kAUPresetOK, AUPresetWriteFile(path.c_str(), p.dict, &reason)) << reason;
  CFDictionaryRef back = nullptr;
  ASSERT_EQ(kAUPresetOK, AUPresetReadFile(path.c_str(), &back, &reason)) << reason;
  EXPECT_TRUE(CFEqual(Value(p.dict, "data"), Value(back, "data")));
  CFRelease(back);

  // A folder that does not exist: refused, and the good file stays.
  EXPECT_EQ(kAUPresetCannotWrite, AUPresetWriteFile("/nonexistent-folder/x.aupreset", p.dict, &reason));
  EXPECT_EQ(kAUPresetCannotRead, AUPresetReadFile("/nonexistent-folder/x.aupreset", &back, &reason));
  EXPECT_EQ(nullptr, back);
  EXPECT_NE(std::string::npos, reason.find("/nonexistent-folder/x.aupreset"));
  std::remove(path.c_str());
}

}  // namespace
