#include "plugin/IPluginBase.h"

IPluginBase::IPluginBase(int nParams, const char* channelIOStr, int nPresets,
                         const char* effectName, const char* productName, const char* mfrName,
                         int vendorVersion, int uniqueID, int mfrID, int latency,
                         bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugAPI) {
  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);
}

IPluginBase::~IPluginBase() { mParams.Empty(true); }
