#pragma once
// A popup menu on X11: the native image of an IPopupMenu (HeadlessMenu,
// with its numbering, separators, check marks, disabled entries, titles and
// submenus) shown in override-redirect windows of its own at a screen
// position, with the pointer and keyboard grabbed until the user chooses
// an entry (a click, or Return) or dismisses the menu (a click outside it,
// or Escape). Submenus open when the pointer rests on their entry (or with
// the right arrow key).
//
// Ownership: the windows live only during the call; the menu is borrowed.
// Threads: the editor's main thread; the call returns when the menu closes.

class HeadlessMenu;
struct HeadlessMenuEntry;
class IGraphics;
class X11Connection;

// The chosen entry (of menu or one of its submenus), or null when the menu
// was dismissed, could not be shown, or the display went away. fonts is
// the editor whose font cache draws the entries.
const HeadlessMenuEntry* RunX11PopupMenu(X11Connection* connection, IGraphics* fonts, const HeadlessMenu& menu,
                                         int rootX, int rootY);
