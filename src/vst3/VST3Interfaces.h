#pragma once
// The part of the VST 3 binary interface this adapter speaks, declared from
// the public interface description: the types, result codes, interface IDs,
// structures and constants used here, and each interface's virtual methods
// in their documented vtable order. Nothing else of the interface is
// declared. These are the Linux (non-COM) values: result codes counted from
// 0, interface IDs with each 32-bit word stored most significant byte first,
// natural structure alignment and the default calling convention.
//
// Interfaces carry no virtual destructor: the vtable layout is the
// interface's, and objects are destroyed by the release() of whoever made
// them.

#include <cstdint>

namespace vst3 {

// ---- Basic types ----

using int16 = int16_t;
using int32 = int32_t;
using int64 = int64_t;
using uint8 = uint8_t;
using uint16 = uint16_t;
using uint32 = uint32_t;
using uint64 = uint64_t;
using tresult = int32;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using String128 = TChar[128];
using FIDString = const char8*;
using TUID = char[16];
using ParamID = uint32;
using ParamValue = double;
using SampleRate = double;
using SpeakerArrangement = uint64;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using CtrlNumber = int16;
using TQuarterNotes = double;

// ---- Result codes ----

enum : tresult {
  kNoInterface = -1,
  kResultOk = 0,
  kResultTrue = kResultOk,
  kResultFalse = 1,
  kInvalidArgument = 2,
  kNotImplemented = 3,
  kInternalError = 4,
  kNotInitialized = 5,
  kOutOfMemory = 6,
};

// ---- Interface and class IDs ----

// The 16 bytes of an ID given as four 32-bit words, each stored most
// significant byte first.
struct UID {
  char bytes[16];
};
constexpr UID MakeUID(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
  return UID{{(char)(l1 >> 24), (char)(l1 >> 16), (char)(l1 >> 8), (char)l1, (char)(l2 >> 24), (char)(l2 >> 16),
              (char)(l2 >> 8), (char)l2, (char)(l3 >> 24), (char)(l3 >> 16), (char)(l3 >> 8), (char)l3,
              (char)(l4 >> 24), (char)(l4 >> 16), (char)(l4 >> 8), (char)l4}};
}
// True when the 16 bytes at a are id.
bool SameUID(const void* a, const UID& id);

namespace iid {
constexpr UID kFUnknown = MakeUID(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
constexpr UID kIPluginBase = MakeUID(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
constexpr UID kIPluginFactory = MakeUID(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
constexpr UID kIPluginFactory2 = MakeUID(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
constexpr UID kIPluginFactory3 = MakeUID(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
constexpr UID kIComponent = MakeUID(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
constexpr UID kIAudioProcessor = MakeUID(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
constexpr UID kIEditController = MakeUID(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
constexpr UID kIMidiMapping = MakeUID(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);
constexpr UID kIComponentHandler = MakeUID(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
constexpr UID kIBStream = MakeUID(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
constexpr UID kIParamValueQueue = MakeUID(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
constexpr UID kIParameterChanges = MakeUID(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
constexpr UID kIEventList = MakeUID(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);
constexpr UID kIPlugView = MakeUID(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
constexpr UID kIPlugFrame = MakeUID(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
constexpr UID kIRunLoop = MakeUID(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
constexpr UID kIEventHandler = MakeUID(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
constexpr UID kITimerHandler = MakeUID(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
constexpr UID kIPlugViewContentScaleSupport = MakeUID(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
}  // namespace iid

// ---- Constants ----

// Class category of an audio processor component.
constexpr const char* kAudioModuleClass = "Audio Module Class";
// The one view type an edit controller makes.
constexpr const char* kEditorViewType = "editor";
// The parent of an X11 view: an XEmbed window id.
constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

enum MediaTypes : MediaType { kAudio = 0, kEvent = 1 };
enum BusDirections : BusDirection { kInput = 0, kOutput = 1 };
enum BusTypes : BusType { kMain = 0, kAux = 1 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
enum StreamSeekModes : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

constexpr uint64 kSpeakerL = 1 << 0;
constexpr uint64 kSpeakerR = 1 << 1;
constexpr uint64 kSpeakerM = 1 << 19;
constexpr SpeakerArrangement kArrMono = kSpeakerM;
constexpr SpeakerArrangement kArrStereo = kSpeakerL | kSpeakerR;

// ---- Structures ----

struct PFactoryInfo {
  enum { kURLSize = 256, kEmailSize = 128, kNameSize = 64 };
  enum FactoryFlags : int32 { kNoFlags = 0, kUnicode = 1 << 4 };
  char8 vendor[kNameSize];
  char8 url[kURLSize];
  char8 email[kEmailSize];
  int32 flags;
};

struct PClassInfo {
  enum { kManyInstances = 0x7FFFFFFF, kCategorySize = 32, kNameSize = 64 };
  TUID cid;
  int32 cardinality;
  char8 category[kCategorySize];
  char8 name[kNameSize];
};

struct PClassInfo2 {
  enum { kVendorSize = 64, kVersionSize = 64, kSubCategoriesSize = 128 };
  TUID cid;
  int32 cardinality;
  char8 category[PClassInfo::kCategorySize];
  char8 name[PClassInfo::kNameSize];
  uint32 classFlags;
  char8 subCategories[kSubCategoriesSize];
  char8 vendor[kVendorSize];
  char8 version[kVersionSize];
  char8 sdkVersion[kVersionSize];
};

struct PClassInfoW {
  TUID cid;
  int32 cardinality;
  char8 category[PClassInfo::kCategorySize];
  char16 name[PClassInfo::kNameSize];
  uint32 classFlags;
  char8 subCategories[PClassInfo2::kSubCategoriesSize];
  char16 vendor[PClassInfo2::kVendorSize];
  char16 version[PClassInfo2::kVersionSize];
  char16 sdkVersion[PClassInfo2::kVersionSize];
};

struct BusInfo {
  enum BusFlags : uint32 { kDefaultActive = 1 << 0 };
  MediaType mediaType;
  BusDirection direction;
  int32 channelCount;
  String128 name;
  BusType busType;
  uint32 flags;
};

struct RoutingInfo {
  MediaType mediaType;
  int32 busIndex;
  int32 channel;
};

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  SampleRate sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;
  union {
    float** channelBuffers32;
    double** channelBuffers64;
  };
};

class IParameterChanges;
class IEventList;
struct ProcessContext;

struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

struct ParameterInfo {
  enum ParameterFlags : int32 {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsList = 1 << 3,
    kIsHidden = 1 << 4,
  };
  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

struct NoteOnEvent {
  int16 channel;
  int16 pitch;
  float tuning;
  float velocity;
  int32 length;
  int32 noteId;
};

struct NoteOffEvent {
  int16 channel;
  int16 pitch;
  float velocity;
  int32 noteId;
  float tuning;
};

// Of the union's other members (data, note expression, chord and scale
// events) only the largest is declared, so that a host writing a whole event
// writes into an event as large as its own.
struct Event {
  enum EventTypes : uint16 { kNoteOnEvent = 0, kNoteOffEvent = 1 };
  int32 busIndex;
  int32 sampleOffset;
  TQuarterNotes ppqPosition;
  uint16 flags;
  uint16 type;
  union {
    NoteOnEvent noteOn;
    NoteOffEvent noteOff;
    struct {
      uint32 typeId;
      int32 noteId;
      uint32 textLen;
      const TChar* text;
    } noteExpressionText;
  };
};

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
};

// The sizes the interface's own declarations have on x86-64 Linux.
static_assert(sizeof(PFactoryInfo) == 452, "factory info layout");
static_assert(sizeof(PClassInfo) == 116, "class info layout");
static_assert(sizeof(PClassInfo2) == 440, "class info 2 layout");
static_assert(sizeof(PClassInfoW) == 696, "unicode class info layout");
static_assert(sizeof(BusInfo) == 276, "bus info layout");
static_assert(sizeof(ProcessSetup) == 24, "process setup layout");
static_assert(sizeof(AudioBusBuffers) == 24, "bus buffers layout");
static_assert(sizeof(ProcessData) == 80, "process data layout");
static_assert(sizeof(ParameterInfo) == 792, "parameter info layout");
static_assert(sizeof(Event) == 48, "event layout");

// ---- Interfaces ----

class FUnknown {
public:
  virtual tresult queryInterface(const TUID iid, void** obj) = 0;
  virtual uint32 addRef() = 0;
  virtual uint32 release() = 0;
};

class IBStream : public FUnknown {
public:
  virtual tresult read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult tell(int64* pos) = 0;
};

class IPluginBase : public FUnknown {
public:
  virtual tresult initialize(FUnknown* context) = 0;
  virtual tresult terminate() = 0;
};

class IPluginFactory : public FUnknown {
public:
  virtual tresult getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 countClasses() = 0;
  virtual tresult getClassInfo(int32 index, PClassInfo* info) = 0;
  virtual tresult createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
public:
  virtual tresult getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
public:
  virtual tresult getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult setHostContext(FUnknown* context) = 0;
};

class IComponent : public IPluginBase {
public:
  virtual tresult getControllerClassId(TUID classId) = 0;
  virtual tresult setIoMode(IoMode mode) = 0;
  virtual int32 getBusCount(MediaType type, BusDirection dir) = 0;
  virtual tresult getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
  virtual tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
  virtual tresult setActive(TBool state) = 0;
  virtual tresult setState(IBStream* state) = 0;
  virtual tresult getState(IBStream* state) = 0;
};

class IAudioProcessor : public FUnknown {
public:
  virtual tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                     int32 numOuts) = 0;
  virtual tresult getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
  virtual tresult canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 getLatencySamples() = 0;
  virtual tresult setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult setProcessing(TBool state) = 0;
  virtual tresult process(ProcessData& data) = 0;
  virtual uint32 getTailSamples() = 0;
};

class IParamValueQueue : public FUnknown {
public:
  virtual ParamID getParameterId() = 0;
  virtual int32 getPointCount() = 0;
  virtual tresult getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
  virtual tresult addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};

class IParameterChanges : public FUnknown {
public:
  virtual int32 getParameterCount() = 0;
  virtual IParamValueQueue* getParameterData(int32 index) = 0;
  virtual IParamValueQueue* addParameterData(const ParamID& id, int32& index) = 0;
};

class IEventList : public FUnknown {
public:
  virtual int32 getEventCount() = 0;
  virtual tresult getEvent(int32 index, Event& e) = 0;
  virtual tresult addEvent(Event& e) = 0;
};

class IComponentHandler : public FUnknown {
public:
  virtual tresult beginEdit(ParamID id) = 0;
  virtual tresult performEdit(ParamID id, ParamValue valueNormalized) = 0;
  virtual tresult endEdit(ParamID id) = 0;
  virtual tresult restartComponent(int32 flags) = 0;
};

class IPlugView;

class IEditController : public IPluginBase {
public:
  virtual tresult setComponentState(IBStream* state) = 0;
  virtual tresult setState(IBStream* state) = 0;
  virtual tresult getState(IBStream* state) = 0;
  virtual int32 getParameterCount() = 0;
  virtual tresult getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
  virtual tresult getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
  virtual tresult getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
  virtual ParamValue normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
  virtual ParamValue plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
  virtual ParamValue getParamNormalized(ParamID id) = 0;
  virtual tresult setParamNormalized(ParamID id, ParamValue value) = 0;
  virtual tresult setComponentHandler(IComponentHandler* handler) = 0;
  virtual IPlugView* createView(FIDString name) = 0;
};

class IMidiMapping : public FUnknown {
public:
  virtual tresult getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber midiControllerNumber,
                                              ParamID& id) = 0;
};

class IPlugFrame;

class IPlugView : public FUnknown {
public:
  virtual tresult isPlatformTypeSupported(FIDString type) = 0;
  virtual tresult attached(void* parent, FIDString type) = 0;
  virtual tresult removed() = 0;
  virtual tresult onWheel(float distance) = 0;
  virtual tresult onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult getSize(ViewRect* size) = 0;
  virtual tresult onSize(ViewRect* newSize) = 0;
  virtual tresult onFocus(TBool state) = 0;
  virtual tresult setFrame(IPlugFrame* frame) = 0;
  virtual tresult canResize() = 0;
  virtual tresult checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugFrame : public FUnknown {
public:
  virtual tresult resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

class IEventHandler : public FUnknown {
public:
  virtual void onFDIsSet(int fd) = 0;
};

class ITimerHandler : public FUnknown {
public:
  virtual void onTimer() = 0;
};

class IPlugViewContentScaleSupport : public FUnknown {
public:
  virtual tresult setContentScaleFactor(float factor) = 0;
};

class IRunLoop : public FUnknown {
public:
  virtual tresult registerEventHandler(IEventHandler* handler, int fd) = 0;
  virtual tresult unregisterEventHandler(IEventHandler* handler) = 0;
  virtual tresult registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
  virtual tresult unregisterTimer(ITimerHandler* handler) = 0;
};

}  // namespace vst3
