#pragma once
// Host-independent base of every plug-in (first cut: parameters only).

#include "kit/KIT_Mutex.h"
#include "kit/KIT_PtrList.h"
#include "plugin/IParam.h"

class IGraphics;

class IPluginBase {
public:
  IPluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
              int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
              int plugAPI);
  virtual ~IPluginBase();

  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  // Null outside 0 .. NParams() - 1.
  IParam* GetParam(int idx) { return mParams.Get(idx); }
  int NParams() const { return mParams.GetSize(); }

private:
  KIT_PtrList<IParam> mParams;
};
