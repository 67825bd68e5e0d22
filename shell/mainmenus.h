#pragma once
// The main window's menu bar as one table: every menu, sub-menu, item and
// separator with its caption before a language is chosen, its text key, its
// shortcut and its handler. The window builds its menus, sets their captions
// and connects their handlers from this table alone.

#include <QKeyCombination>

#include <span>

class QAction;
class QMenu;
class mdiMain;

struct MainMenuEntry {
    // 0: a menu of the bar; 1: an entry of the last menu; 2: an entry of the
    // last sub-menu.
    int level;
    // Where the window keeps the menu (a menu or sub-menu) or the item; both
    // null for a separator.
    QMenu *mdiMain::*menu;
    QAction *mdiMain::*action;
    const char *name;
    // The caption the entry is made with; it stays when key is null.
    const char *caption;
    const char *key;
    QKeyCombination shortcut;
    void (mdiMain::*handler)();
    bool checkable;
};

std::span<const MainMenuEntry> MainMenuTable();
