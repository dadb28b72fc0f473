#pragma once
// Trace hook of the framework. Operations report their name, a source line
// and a printf-style message; in this configuration the hook discards it and
// the naming helpers return "". Callable from any thread.
//
// Call sites go through TRACE_AS / TRACE_HERE, which compile to nothing while
// kTraceEnabled is false: the arguments stay type-checked against the format
// but are neither evaluated nor formatted, so render and entry calls pay
// nothing for a hook that drops its input.

// Whether call sites reach Trace at all; flip to route traces to the hook.
inline constexpr bool kTraceEnabled = false;

void Trace(const char* funcName, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Traces under an explicit operation name (entry points named for the host).
#define TRACE_AS(funcName, ...)                                                                                        \
  do {                                                                                                                 \
    if constexpr (kTraceEnabled) Trace(funcName, __LINE__, __VA_ARGS__);                                               \
  } while (0)

// Traces under the calling function's name.
#define TRACE_HERE(...) TRACE_AS(__FUNCTION__, __VA_ARGS__)

// Names of Audio Unit selectors, properties and scopes for traces.
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);

// Current local time as text for traces; "" in this configuration.
const char* CurrentTime();
