#pragma once
// The instrument's 19 parameters as the command line sees them: index, name, kind, range and
// default (plain values, as a host sets them). Shared by the option parser, the pattern and
// the renderers. Read-only data; any thread.

enum class ParamKind { Double, Int, Bool };

struct ParamInfo {
  const char* name;
  ParamKind kind;
  double defaultValue;
  double min;
  double max;
};

enum ParamIndex {
  kParamTone,
  kParamTune,
  kParamFine,
  kParamDecay,
  kParamAccent,
  kParamMidiTune,
  kParamLongDecay,
  kParamMidiLearn,
  kParamMidiClear,
  kParamComp,
  kParamDrive,
  kParamGlide,
  kParamGlideMode,
  kParamDynDecay,
  kParamDynComp,
  kParamDynDrive,
  kParamDynTone,
  kParamDynLevel,
  kParamDriveEnv,
  kNumParams
};

const ParamInfo kParams[kNumParams] = {
    {"Tone", ParamKind::Double, 0.5, 0, 1},
    {"Tune", ParamKind::Int, 0, -12, 12},
    {"Fine", ParamKind::Int, 0, -100, 100},
    {"Decay", ParamKind::Double, 0.5, 0, 1},
    {"Accent", ParamKind::Double, 0.5, 0, 1},
    {"MIDI Tune", ParamKind::Bool, 0, 0, 1},
    {"Long Decay", ParamKind::Bool, 0, 0, 1},
    {"MIDI Learn", ParamKind::Bool, 0, 0, 1},
    {"MIDI Clear", ParamKind::Bool, 0, 0, 1},
    {"Comp", ParamKind::Double, 0, 0, 1},
    {"Drive", ParamKind::Double, 0, 0, 1},
    {"Glide", ParamKind::Double, 0, 0, 1},
    {"Glide Mode", ParamKind::Int, 0, 0, 2},
    {"DynDecay", ParamKind::Double, 0, -1, 1},
    {"DynComp", ParamKind::Double, 0, -1, 1},
    {"DynDrive", ParamKind::Double, 0, -1, 1},
    {"DynTone", ParamKind::Double, 0, -1, 1},
    {"DynLevel", ParamKind::Double, 0, -1, 1},
    {"DriveEnv", ParamKind::Bool, 0, 0, 1},
};
