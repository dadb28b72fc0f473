#pragma once
// Trace hook of the framework. Operations report their name, a source line
// and a printf-style message; in this configuration the hook discards it and
// the naming helpers return "". Callable from any thread.

void Trace(const char* funcName, int line, const char* format, ...);

// Passes the calling function's name and line to Trace.
#define TRACE_HERE(...) Trace(__FUNCTION__, __LINE__, __VA_ARGS__)

// Names of Audio Unit selectors, properties and scopes for traces.
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);

// Current local time as text for traces; "" in this configuration.
const char* CurrentTime();
