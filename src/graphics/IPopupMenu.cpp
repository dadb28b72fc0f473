#include "graphics/IPopupMenu.h"

#include <cassert>
#include <memory>

IPopupMenuItem::IPopupMenuItem(const char* text, int flags) : mText(text), mFlags(flags) {}

IPopupMenuItem::IPopupMenuItem(const char* text, IPopupMenu* submenu) : mText(text), mSubmenu(submenu) {}

void IPopupMenuItem::SetChecked(bool checked) {
  if (checked)
    mFlags |= kChecked;
  else
    mFlags &= ~kChecked;
}

IPopupMenu::IPopupMenu(int prefix, bool multicheck) : mPrefix(prefix), mCanMultiCheck(multicheck) {}

IPopupMenu::~IPopupMenu() { mMenuItems.Empty(true); }

const char* IPopupMenu::GetItemText(int index) const {
  IPopupMenuItem* item = GetItem(index);
  assert(item && "index >= 0 && index < GetNItems()");
  return item ? item->GetText() : "";
}

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index) {
  // Taken at once, so an index the list refuses frees the item here.
  std::unique_ptr<IPopupMenuItem> owned(item);
  IPopupMenuItem* added = index == -1 ? mMenuItems.Add(owned.get()) : mMenuItems.Insert(index, owned.get());
  if (added) owned.release();
  return added;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int itemFlags) {
  return AddItem(new IPopupMenuItem(text, itemFlags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu) {
  return AddItem(new IPopupMenuItem(text, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu) {
  return AddItem(new IPopupMenuItem(text, submenu), -1);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index) {
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

void IPopupMenu::SetPrefix(int prefix) {
  if (prefix >= kPrefixNone && prefix <= kPrefixThreeDigits) mPrefix = prefix;
}

bool IPopupMenu::CheckItem(int index, bool checked) {
  IPopupMenuItem* item = GetItem(index);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int index) {
  for (int i = 0; i < GetNItems(); ++i) GetItem(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const {
  IPopupMenuItem* item = GetItem(index);
  return item && item->GetChecked();
}
