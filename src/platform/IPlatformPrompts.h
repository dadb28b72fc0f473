#pragma once
// What a user would answer to the editor's questions when there is no
// window system: typed text, menu choices, file dialogs and message boxes.
// A caller (a test, the command-line program) supplies an implementation
// to the headless editor; every answer defaults to "cancelled".
// Ownership: the caller owns it and keeps it alive while the editor uses
// it. Main thread.

#include "graphics/IGraphics.h"
#include "kit/KIT_String.h"

class HeadlessMenu;
struct HeadlessMenuEntry;
class HeadlessTextField;

class IPlatformPrompts {
public:
  // How an answered text entry ends.
  enum ETextEntryEnd {
    kEntryCommit,     // the text goes to the control or parameter
    kEntryCancel,     // the field closes and nothing changes
    kEntryLeaveOpen,  // the field stays open; the view ends it later
  };

  virtual ~IPlatformPrompts() = default;

  // A text field has opened and shows its first text. Type into it
  // (field->Clear(), field->Type(...)) and say how it ends.
  virtual ETextEntryEnd TextEntry(HeadlessTextField* field) { return kEntryCancel; }
  // A menu is showing: the chosen entry (of menu or one of its submenus),
  // or null to dismiss it.
  virtual const HeadlessMenuEntry* PopupMenu(const HeadlessMenu& menu) { return nullptr; }
  // A file dialog: set fileName to the chosen path, or leave it empty to
  // cancel. extension is given without the dot; dir is the folder the
  // dialog starts in and may be updated.
  virtual void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, const char* extension) {
    fileName->Set("");
  }
  // A message box; the answer is the button pressed.
  virtual int MessageBox(const char* text, const char* caption, int type) { return 0; }
};
