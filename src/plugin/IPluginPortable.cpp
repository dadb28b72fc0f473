#include "plugin/IPluginPortable.h"

IPluginPortable::IPluginPortable(const IPluginInstanceInfo& instanceInfo, int nParams, const char* channelIOStr,
                                 int nPresets, const char* effectName, const char* productName, const char* mfrName,
                                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                                 bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                  latency, plugDoesMidi, plugDoesChunks, plugIsInst, plugAPI) {
  mBundleID.Set(instanceInfo.mBundleID.Get());
}

void IPluginPortable::ResizeGraphics(int w, int h) {
  if (GetGUI()) OnWindowResize();
}

void IPluginPortable::MeasureStateSize() {
  ByteChunk state;
  if (DoesStateChunks() && SerializeState(&state)) mStateSize = state.Size();
}
