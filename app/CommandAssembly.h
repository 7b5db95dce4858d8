#pragma once
// Checks the subsystems' command tables against the menu layout and merges
// them. A table that breaks a rule is a programming error, so it throws
// std::logic_error at start-up.

#include "CommandTable.h"
#include "MainMenuLayout.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vela {

struct AssembledCommands {
    std::map<std::string, MenuEntry> entries; ///< by name, one per layout leaf
    std::vector<ToolButton> buttons;          ///< in table order
    std::vector<MenuOpening> openings;        ///< in table order
};

/// Rules: every layout leaf has exactly one entry; an entry names its layout
/// parent and has a handler; no name is declared twice; every button names a
/// known entry or has a handler of its own; openings hook top-level menus.
AssembledCommands assembleCommands(const std::vector<MenuNode>& layout, const std::vector<CommandTable>& tables);

} // namespace vela
