#pragma once
// Consistency checks of the editor framework: a failed check names what
// failed on stderr and stops the program, in every build type. Used for
// caller errors and packaging errors that cannot be recovered from.
// Any thread.

// Stops the program with "check" (and detail, when given) unless ok.
void GraphicsCheck(bool ok, const char* check, const char* detail = nullptr);
