// The Audio Unit, music device and Carbon view calls: each packs its
// arguments into a parameter block in forward order and calls the
// component's entry.

#include "au/apple/AudioUnit.h"
#include "au/apple/ComponentCall.h"

OSStatus AudioUnitInitialize(AudioUnit inUnit) { return ComponentCall(kAudioUnitInitializeSelect).Call(inUnit); }

OSStatus AudioUnitUninitialize(AudioUnit inUnit) { return ComponentCall(kAudioUnitUninitializeSelect).Call(inUnit); }

OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                  AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable) {
  return ComponentCall(kAudioUnitGetPropertyInfoSelect)
      .Arg(inID)
      .Arg(inScope)
      .Arg(inElement)
      .Arg(outDataSize)
      .Arg(outWritable)
      .Call(inUnit);
}

OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, void* outData, UInt32* ioDataSize) {
  return ComponentCall(kAudioUnitGetPropertySelect)
      .Arg(inID)
      .Arg(inScope)
      .Arg(inElement)
      .Arg(outData)
      .Arg(ioDataSize)
      .Call(inUnit);
}

OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, const void* inData, UInt32 inDataSize) {
  return ComponentCall(kAudioUnitSetPropertySelect)
      .Arg(inID)
      .Arg(inScope)
      .Arg(inElement)
      .Arg(inData)
      .Arg(inDataSize)
      .Call(inUnit);
}

OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc,
                                      void* inProcUserData) {
  return ComponentCall(kAudioUnitAddPropertyListenerSelect).Arg(inID).Arg(inProc).Arg(inProcUserData).Call(inUnit);
}

OSStatus AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                         AudioUnitPropertyListenerProc inProc) {
  return ComponentCall(kAudioUnitRemovePropertyListenerSelect).Arg(inID).Arg(inProc).Call(inUnit);
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                     AudioUnitPropertyListenerProc inProc, void* inProcUserData) {
  return ComponentCall(kAudioUnitRemovePropertyListenerWithUserDataSelect)
      .Arg(inID)
      .Arg(inProc)
      .Arg(inProcUserData)
      .Call(inUnit);
}

OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData) {
  return ComponentCall(kAudioUnitAddRenderNotifySelect).Arg(inProc).Arg(inProcUserData).Call(inUnit);
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData) {
  return ComponentCall(kAudioUnitRemoveRenderNotifySelect).Arg(inProc).Arg(inProcUserData).Call(inUnit);
}

OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue* outValue) {
  return ComponentCall(kAudioUnitGetParameterSelect)
      .Arg(inID)
      .Arg(inScope)
      .Arg(inElement)
      .Arg(outValue)
      .Call(inUnit);
}

OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue inValue,
                               UInt32 inBufferOffsetInFrames) {
  return ComponentCall(kAudioUnitSetParameterSelect)
      .Arg(inID)
      .Arg(inScope)
      .Arg(inElement)
      .Arg(inValue)
      .Arg(inBufferOffsetInFrames)
      .Call(inUnit);
}

OSStatus AudioUnitScheduleParameters(AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent,
                                     UInt32 inNumParamEvents) {
  return ComponentCall(kAudioUnitScheduleParametersSelect).Arg(inParameterEvent).Arg(inNumParamEvents).Call(inUnit);
}

OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                         const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                         AudioBufferList* ioData) {
  return ComponentCall(kAudioUnitRenderSelect)
      .Arg(ioActionFlags)
      .Arg(inTimeStamp)
      .Arg(inOutputBusNumber)
      .Arg(inNumberFrames)
      .Arg(ioData)
      .Call(inUnit);
}

OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement) {
  return ComponentCall(kAudioUnitResetSelect).Arg(inScope).Arg(inElement).Call(inUnit);
}

OSStatus MusicDeviceMIDIEvent(AudioUnit inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                              UInt32 inOffsetSampleFrame) {
  return ComponentCall(kMusicDeviceMIDIEventSelect)
      .Arg(inStatus)
      .Arg(inData1)
      .Arg(inData2)
      .Arg(inOffsetSampleFrame)
      .Call(inUnit);
}

OSStatus MusicDeviceSysEx(AudioUnit inUnit, const UInt8* inData, UInt32 inLength) {
  return ComponentCall(kMusicDeviceSysExSelect).Arg(inData).Arg(inLength).Call(inUnit);
}

OSStatus MusicDeviceStartNote(AudioUnit inUnit, MusicDeviceInstrumentID inInstrument, MusicDeviceGroupID inGroupID,
                              NoteInstanceID* outNoteInstanceID, UInt32 inOffsetSampleFrame,
                              const MusicDeviceNoteParams* inParams) {
  return ComponentCall(kMusicDeviceStartNoteSelect)
      .Arg(inInstrument)
      .Arg(inGroupID)
      .Arg(outNoteInstanceID)
      .Arg(inOffsetSampleFrame)
      .Arg(inParams)
      .Call(inUnit);
}

OSStatus MusicDeviceStopNote(AudioUnit inUnit, MusicDeviceGroupID inGroupID, NoteInstanceID inNoteInstanceID,
                             UInt32 inOffsetSampleFrame) {
  return ComponentCall(kMusicDeviceStopNoteSelect)
      .Arg(inGroupID)
      .Arg(inNoteInstanceID)
      .Arg(inOffsetSampleFrame)
      .Call(inUnit);
}

OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit, WindowRef inWindow,
                                   ControlRef inParentControl, const Float32Point* inLocation,
                                   const Float32Point* inSize, ControlRef* outControl) {
  return ComponentCall(kAudioUnitCarbonViewCreateSelect)
      .Arg(inAudioUnit)
      .Arg(inWindow)
      .Arg(inParentControl)
      .Arg(inLocation)
      .Arg(inSize)
      .Arg(outControl)
      .Call(inView);
}
