// The Audio Unit, music device and Carbon view calls: each packs its
// arguments into a parameter block in forward order and calls the
// component's entry.

#include "au/apple/AudioUnit.h"
#include "au/apple/ComponentCall.h"

OSStatus AudioUnitInitialize(AudioUnit inUnit) { return CallComponent(kAudioUnitInitializeSelect, inUnit); }

OSStatus AudioUnitUninitialize(AudioUnit inUnit) { return CallComponent(kAudioUnitUninitializeSelect, inUnit); }

OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                  AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable) {
  return CallComponent(kAudioUnitGetPropertyInfoSelect, inUnit, inID, inScope, inElement, outDataSize, outWritable);
}

OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, void* outData, UInt32* ioDataSize) {
  return CallComponent(kAudioUnitGetPropertySelect, inUnit, inID, inScope, inElement, outData, ioDataSize);
}

OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, const void* inData, UInt32 inDataSize) {
  return CallComponent(kAudioUnitSetPropertySelect, inUnit, inID, inScope, inElement, inData, inDataSize);
}

OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc,
                                      void* inProcUserData) {
  return CallComponent(kAudioUnitAddPropertyListenerSelect, inUnit, inID, inProc, inProcUserData);
}

OSStatus AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                         AudioUnitPropertyListenerProc inProc) {
  return CallComponent(kAudioUnitRemovePropertyListenerSelect, inUnit, inID, inProc);
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                     AudioUnitPropertyListenerProc inProc, void* inProcUserData) {
  return CallComponent(kAudioUnitRemovePropertyListenerWithUserDataSelect, inUnit, inID, inProc, inProcUserData);
}

OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData) {
  return CallComponent(kAudioUnitAddRenderNotifySelect, inUnit, inProc, inProcUserData);
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData) {
  return CallComponent(kAudioUnitRemoveRenderNotifySelect, inUnit, inProc, inProcUserData);
}

OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue* outValue) {
  return CallComponent(kAudioUnitGetParameterSelect, inUnit, inID, inScope, inElement, outValue);
}

OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue inValue,
                               UInt32 inBufferOffsetInFrames) {
  return CallComponent(kAudioUnitSetParameterSelect, inUnit, inID, inScope, inElement, inValue, inBufferOffsetInFrames);
}

OSStatus AudioUnitScheduleParameters(AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent,
                                     UInt32 inNumParamEvents) {
  return CallComponent(kAudioUnitScheduleParametersSelect, inUnit, inParameterEvent, inNumParamEvents);
}

OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                         const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                         AudioBufferList* ioData) {
  return CallComponent(kAudioUnitRenderSelect, inUnit, ioActionFlags, inTimeStamp, inOutputBusNumber, inNumberFrames,
                       ioData);
}

OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement) {
  return CallComponent(kAudioUnitResetSelect, inUnit, inScope, inElement);
}

OSStatus MusicDeviceMIDIEvent(AudioUnit inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                              UInt32 inOffsetSampleFrame) {
  return CallComponent(kMusicDeviceMIDIEventSelect, inUnit, inStatus, inData1, inData2, inOffsetSampleFrame);
}

OSStatus MusicDeviceSysEx(AudioUnit inUnit, const UInt8* inData, UInt32 inLength) {
  return CallComponent(kMusicDeviceSysExSelect, inUnit, inData, inLength);
}

OSStatus MusicDeviceStartNote(AudioUnit inUnit, MusicDeviceInstrumentID inInstrument, MusicDeviceGroupID inGroupID,
                              NoteInstanceID* outNoteInstanceID, UInt32 inOffsetSampleFrame,
                              const MusicDeviceNoteParams* inParams) {
  return CallComponent(kMusicDeviceStartNoteSelect, inUnit, inInstrument, inGroupID, outNoteInstanceID,
                       inOffsetSampleFrame, inParams);
}

OSStatus MusicDeviceStopNote(AudioUnit inUnit, MusicDeviceGroupID inGroupID, NoteInstanceID inNoteInstanceID,
                             UInt32 inOffsetSampleFrame) {
  return CallComponent(kMusicDeviceStopNoteSelect, inUnit, inGroupID, inNoteInstanceID, inOffsetSampleFrame);
}

OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit, WindowRef inWindow,
                                   ControlRef inParentControl, const Float32Point* inLocation,
                                   const Float32Point* inSize, ControlRef* outControl) {
  return CallComponent(kAudioUnitCarbonViewCreateSelect, inView, inAudioUnit, inWindow, inParentControl, inLocation,
                       inSize, outControl);
}
