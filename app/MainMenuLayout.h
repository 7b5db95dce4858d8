#pragma once
// The shape of MainMenu1: which entries stand in which menu, in which order,
// with separators. The captions of top-level menus and submenus are the main
// window's own; leaf captions come from the command tables.

#include <string>
#include <vector>

namespace vela {

struct MenuNode {
    std::string name;    ///< "-" for a separator
    std::string caption; ///< only for menus and submenus
    std::vector<MenuNode> children;

    bool isSeparator() const { return name == "-"; }
    bool isMenu() const { return !children.empty(); }
};

/// The top-level menus of MainMenu1 with everything under them.
const std::vector<MenuNode>& mainMenuLayout();

} // namespace vela
