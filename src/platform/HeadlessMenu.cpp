#include "platform/HeadlessMenu.h"

#include <cstdio>
#include <cstring>

#include "graphics/IPopupMenu.h"

HeadlessMenuEntry::~HeadlessMenuEntry() = default;

void MenuEntryTitle(int prefix, int index, const char* text, KIT_String* title) {
  char number[16] = "";
  const int n = index + 1;
  switch (prefix) {
    case 1:
      std::snprintf(number, sizeof(number), "%1d: ", n);
      break;
    case 2:
      std::snprintf(number, sizeof(number), "%02d: ", n);
      break;
    case 3:
      std::snprintf(number, sizeof(number), "%03d: ", n);
      break;
    default:
      break;
  }
  title->Set(number);
  title->Append(text ? text : "");
}

HeadlessMenu::HeadlessMenu(IPopupMenu* menu) : mMenu(menu) {
  if (!menu) return;
  for (int i = 0; i < menu->GetNItems(); ++i) {
    IPopupMenuItem* item = menu->GetItem(i);
    HeadlessMenuEntry* entry = new HeadlessMenuEntry;
    entry->mSource = menu;
    entry->mIndex = i;
    if (item->GetIsSeparator()) {
      entry->mSeparator = true;
    } else {
      MenuEntryTitle(menu->GetPrefix(), i, item->GetText(), &entry->mTitle);
      if (item->GetSubmenu()) {
        entry->mSubmenu = std::make_unique<HeadlessMenu>(item->GetSubmenu());
      } else {
        entry->mIndentation = item->GetIsTitle() ? 1 : 0;
        entry->mChecked = item->GetChecked();
        entry->mEnabled = item->GetEnabled();
      }
    }
    mEntries.Add(entry);
  }
}

HeadlessMenu::~HeadlessMenu() { mEntries.Empty(true); }

const HeadlessMenuEntry* HeadlessMenu::FindEntry(const char* title) const {
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const HeadlessMenuEntry* entry = mEntries.Get(i);
    if (!entry->mSeparator && entry->mTitle.Equals(title)) return entry;
    if (entry->mSubmenu) {
      const HeadlessMenuEntry* found = entry->mSubmenu->FindEntry(title);
      if (found) return found;
    }
  }
  return nullptr;
}

IPopupMenu* HeadlessMenu::TakeChoice(const HeadlessMenuEntry* chosen) const {
  if (!chosen || !Owns(chosen) || chosen->mSeparator || chosen->mSubmenu || !chosen->mEnabled) return nullptr;
  if (!chosen->mSource || chosen->mIndex < 0) return nullptr;
  chosen->mSource->SetChosenItemIdx(chosen->mIndex);
  return chosen->mSource;
}

bool HeadlessMenu::Owns(const HeadlessMenuEntry* entry) const {
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const HeadlessMenuEntry* e = mEntries.Get(i);
    if (e == entry) return true;
    if (e->mSubmenu && e->mSubmenu->Owns(entry)) return true;
  }
  return false;
}
