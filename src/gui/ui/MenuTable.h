#pragma once
#include <span>

namespace quiltara::gui {

/// One item of the menu bar. Items are listed in menu order; "path" names the menu and
/// submenu ("Image/Adjust"); id 0 is a separator. An item with more than one key lists
/// them separated by "; " ("Ctrl+Y; Ctrl+Shift+Z").
struct MenuItem {
    const char* path;
    int id;
    const char* text;
    const char* shortcut = nullptr;
    const char* statusTip = nullptr;
    bool checkable = false;
};

std::span<const MenuItem> MainMenuItems();

} // namespace quiltara::gui
