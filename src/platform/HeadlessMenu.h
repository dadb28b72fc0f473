#pragma once
// The native-menu image of an IPopupMenu that the headless view shows: one
// entry per item with the title as the window system would show it (with
// the numbering prefix), nested menus for submenus, separators, check marks,
// disabled entries and indented titles. Each entry remembers the menu and
// index it came from, so a chosen entry leads back to the IPopupMenu.
// Ownership: a menu owns its entries and their nested menus; the
// IPopupMenus it was built from are borrowed and must outlive it.
// Main thread.

#include <memory>

#include "kit/KIT_PtrList.h"
#include "kit/KIT_String.h"
#include "platform/ViewGeometry.h"

class HeadlessMenu;
class IPopupMenu;

struct HeadlessMenuEntry {
  KIT_String mTitle;
  int mIndentation = 0;
  bool mChecked = false;
  bool mEnabled = true;
  bool mSeparator = false;
  std::unique_ptr<HeadlessMenu> mSubmenu;
  IPopupMenu* mSource = nullptr;  // the menu the item belongs to
  int mIndex = -1;                // the item's index there

  HeadlessMenuEntry() = default;
  ~HeadlessMenuEntry();
  HeadlessMenuEntry(const HeadlessMenuEntry&) = delete;
  HeadlessMenuEntry& operator=(const HeadlessMenuEntry&) = delete;
};

class HeadlessMenu {
public:
  // Builds the entries of menu (and of its submenus, recursively).
  explicit HeadlessMenu(IPopupMenu* menu);
  ~HeadlessMenu();
  HeadlessMenu(const HeadlessMenu&) = delete;
  HeadlessMenu& operator=(const HeadlessMenu&) = delete;

  IPopupMenu* GetAssociatedIPopupMenu() const { return mMenu; }
  int GetNEntries() const { return mEntries.GetSize(); }
  // Null outside the list.
  const HeadlessMenuEntry* GetEntry(int idx) const { return mEntries.Get(idx); }
  // The first entry, searched depth first through submenus, whose title is
  // title; null when none is.
  const HeadlessMenuEntry* FindEntry(const char* title) const;
  // True when entry is one of this menu's entries or of its submenus'.
  bool Owns(const HeadlessMenuEntry* entry) const;
  // What choosing entry means: for a real, enabled item of this menu (or
  // of a submenu), its IPopupMenu with the chosen index set; null for
  // anything else (nothing chosen, a separator, a submenu, a disabled
  // item, a foreign entry).
  IPopupMenu* TakeChoice(const HeadlessMenuEntry* chosen) const;

  // Where the menu pops up, in view coordinates.
  void SetLocation(const ViewPoint& p) { mLocation = p; }
  const ViewPoint& GetLocation() const { return mLocation; }

private:
  IPopupMenu* mMenu;
  KIT_PtrList<HeadlessMenuEntry> mEntries;  // owned, like the IPopupMenu's items
  ViewPoint mLocation;
};

// The shown title of item number (index + 1) under the menu's prefix
// setting: "%1d: ", "%02d: " or "%03d: " for 1, 2, 3, nothing otherwise.
void MenuEntryTitle(int prefix, int index, const char* text, KIT_String* title);
