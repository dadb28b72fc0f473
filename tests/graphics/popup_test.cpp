#include <gtest/gtest.h>

#include "graphics/IPopupMenu.h"

namespace {

std::string Texts(const IPopupMenu& menu) {
  std::string all;
  for (int i = 0; i < menu.GetNItems(); ++i) all += std::string(menu.GetItemText(i)) + "|";
  return all;
}

TEST(PopupMenu, InsertionOrderAndOutOfRangeIndices) {
  IPopupMenu menu;
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  menu.AddItem("b");
  menu.AddItem("a", 0);
  EXPECT_EQ(Texts(menu), "a|b|");
  menu.AddItem("c", 1);
  menu.AddItem("z", 99);  // past the end appends
  EXPECT_EQ(Texts(menu), "a|c|b|z|");
  EXPECT_EQ(menu.GetItem(-1), nullptr);
  EXPECT_EQ(menu.GetItem(4), nullptr);
  EXPECT_FALSE(menu.CheckItem(4, true));
  EXPECT_FALSE(menu.CheckItem(-1, true));
  EXPECT_FALSE(menu.IsItemChecked(7));
}

TEST(PopupMenu, PrefixOnlyTakesValidValues) {
  IPopupMenu menu(2);
  menu.SetPrefix(4);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetPrefix(-1);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetPrefix(0);
  EXPECT_EQ(menu.GetPrefix(), 0);
  menu.SetPrefix(3);
  EXPECT_EQ(menu.GetPrefix(), 3);
}

TEST(PopupMenu, CheckingItems) {
  IPopupMenu menu;
  for (const char* t : {"x", "y", "z"}) menu.AddItem(t, -1, IPopupMenuItem::kChecked);
  menu.CheckItemAlone(1);
  EXPECT_FALSE(menu.IsItemChecked(0));
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_FALSE(menu.IsItemChecked(2));
  menu.CheckItemAlone(5);  // no such item: all unchecked
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(menu.IsItemChecked(i));
  EXPECT_TRUE(menu.CheckItem(2, true));
  EXPECT_TRUE(menu.IsItemChecked(2));
}

TEST(PopupMenu, ItemFlagsAndSubmenus) {
  IPopupMenu sub;
  sub.AddItem("inner");
  IPopupMenu menu;
  IPopupMenuItem* title = menu.AddItem("Title", -1, IPopupMenuItem::kTitle | IPopupMenuItem::kDisabled);
  IPopupMenuItem* separator = menu.AddSeparator();
  IPopupMenuItem* withSub = menu.AddItem("More", &sub);
  IPopupMenuItem* inserted = menu.AddItem("First", 0, &sub);

  EXPECT_TRUE(title->GetIsTitle());
  EXPECT_FALSE(title->GetEnabled());
  EXPECT_FALSE(separator->GetChecked());
  EXPECT_TRUE(separator->GetEnabled());
  EXPECT_FALSE(separator->GetIsTitle());
  EXPECT_TRUE(separator->GetIsSeparator());
  EXPECT_STREQ(separator->GetText(), "");
  EXPECT_EQ(withSub->GetSubmenu(), &sub);
  EXPECT_EQ(menu.GetItem(0), inserted);

  // SetChecked touches the checked flag only.
  title->SetChecked(true);
  title->SetChecked(false);
  EXPECT_TRUE(title->GetIsTitle());
  EXPECT_FALSE(title->GetEnabled());
  title->SetText("Renamed");
  EXPECT_STREQ(title->GetText(), "Renamed");
}

}  // namespace
