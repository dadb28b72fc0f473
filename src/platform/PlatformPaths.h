#pragma once
// The path queries every platform editor answers the same way on this
// system. Any thread.

class KIT_String;

// The running program's folder, or "" when it cannot be found.
void ProgramFolder(KIT_String* path);
// $HOME/Desktop, or "" without a home folder.
void DesktopFolder(KIT_String* path);
