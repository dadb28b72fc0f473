#pragma once
// Platform-independent description of a popup menu: ordered items with text,
// flags and an optional submenu, and the index the user chose. The editor
// builds one, the platform layer shows it and writes the choice back.
// Editor (main) thread only.

#include "kit/KIT_PtrList.h"
#include "kit/KIT_String.h"

class IPopupMenu;

// One menu entry. The submenu is not owned: whoever created it deletes it,
// after the menu that refers to it is no longer shown.
class IPopupMenuItem {
public:
  enum Flags { kNoFlags = 0, kDisabled = 1 << 0, kTitle = 1 << 1, kChecked = 1 << 2, kSeparator = 1 << 3 };

  explicit IPopupMenuItem(const char* text, int flags = kNoFlags);
  IPopupMenuItem(const char* text, IPopupMenu* submenu);

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }

  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
  void SetChecked(bool checked);

private:
  KIT_String mText;
  IPopupMenu* mSubmenu = nullptr;
  int mFlags = kNoFlags;
};

// A menu owns its items and deletes them with itself.
class IPopupMenu {
public:
  // Item numbering shown by the platform before each item's text.
  enum EPrefix { kPrefixNone = 0, kPrefixOneDigit = 1, kPrefixTwoDigits = 2, kPrefixThreeDigits = 3 };

  explicit IPopupMenu(int prefix = kPrefixNone, bool multicheck = false);
  ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  int GetNItems() const { return mMenuItems.GetSize(); }
  // Null for an index outside the menu.
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  // The index must name an item.
  const char* GetItemText(int index) const;

  // index -1 appends, any other index inserts before that position (clamped
  // to the list). The menu takes the item; the item is returned, or null
  // (and the item deleted) when the list could not grow.
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int itemFlags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  // Prefixes outside 0..3 are ignored.
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  bool GetCanMultiCheck() const { return mCanMultiCheck; }

  bool CheckItem(int index, bool checked);
  // Checks item index and unchecks all others; an index with no item
  // unchecks every item.
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

private:
  int mPrefix;
  int mChosenItemIdx = -1;
  bool mCanMultiCheck;
  KIT_PtrList<IPopupMenuItem> mMenuItems;  // owned: the framework's list, emptied with Empty(true)
};
