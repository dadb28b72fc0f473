#include "plugin/Log.h"

void Trace(const char* funcName, int line, const char* format, ...) {}

const char* AUSelectStr(int select) { return ""; }
const char* AUPropertyStr(int propID) { return ""; }
const char* AUScopeStr(int scope) { return ""; }

const char* CurrentTime() { return ""; }
