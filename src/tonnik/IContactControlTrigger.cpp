#include "tonnik/IContactControlTrigger.h"

#include "tonnik/Tonnik.h"

IContactControlTrigger::IContactControlTrigger(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                               int ledIdx, Krummel*, std::atomic<int>*,
                                               std::atomic<int>*)
    : IContactControl(plug, x, y, paramIdx, bitmap), mLEDIdx(ledIdx) {}

IContactControlTrigger::~IContactControlTrigger() = default;

void IContactControlTrigger::OnMouseDown(int x, int y, IMouseMod* mod) {
  Tonnik* instrument = dynamic_cast<Tonnik*>(mPlug);
  if (instrument) instrument->TriggerFromEditor();
}
