#pragma once
// The declarative form in which every subsystem hands its commands to the main
// window: menu entries and toolbar buttons as data. TForm1 assembles all tables
// into MainMenu1 and Panel1, so each caption, tool tip and status text exists
// once. Plain C++: subsystems declare tables without knowing Qt.

#include <functional>
#include <string>
#include <vector>

namespace vela {

/// The three toolbar pages chosen by TabSet1.
enum class ToolbarPage { Basic = 0, Tags = 1, FrameList = 2 };

/// One entry of MainMenu1. Its place (order, separators) comes from the menu
/// layout of the main window; `parent` must name the submenu the layout puts it in.
struct MenuEntry {
    std::string name;    ///< "Menu32"; also the QAction's objectName
    std::string parent;  ///< "Menu_a"
    std::string caption; ///< UTF-8, "ボールド(&B)"
    std::function<void()> handler; ///< Menu32Click; empty only for a command not built yet
};

/// Left edge of a button that the main window's start-up code places (the list buttons).
constexpr int PlacedAtStartUp = -1;

/// One flat picture button of Panel1. A button that runs its menu entry's
/// command shares that entry's action (and so its enabled state); only a
/// button with a command of its own (SpeedButton3: Save or Save As) sets `handler`.
struct ToolButton {
    std::string name;        ///< "SpeedButton11"
    ToolbarPage page;
    int left;                ///< left edge on its page, or PlacedAtStartUp
    int width;               ///< 27, or 28 for the wide buttons
    std::string toolTip;     ///< UTF-8
    std::string statusText;  ///< UTF-8, shown while the pointer moves over it (SB11MM)
    std::string icon;        ///< resource path of the 16 × 16 picture
    std::string menuEntry;   ///< the entry whose command it runs ("Menu32"); empty with `handler`
    std::function<void()> handler = {}; ///< SpeedButton3Click and the like
};

/// Something to do when a top-level menu opens (Menu10Click, M30CLK, ...).
/// Several subsystems may hook the same menu; they run in the order added.
struct MenuOpening {
    std::string menu; ///< "Menu20"
    std::function<void()> handler;
};

/// What one subsystem contributes.
struct CommandTable {
    std::vector<MenuEntry> menu;
    std::vector<ToolButton> buttons;
    std::vector<MenuOpening> openings;
};

} // namespace vela
