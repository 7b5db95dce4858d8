#include "CommandAssembly.h"

#include <stdexcept>

namespace vela {
namespace {

void collectLeaves(const MenuNode& node, std::map<std::string, std::string>& parentOf) {
    for (const MenuNode& child : node.children) {
        if (child.isSeparator()) continue;
        if (child.isMenu())
            collectLeaves(child, parentOf);
        else
            parentOf[child.name] = node.name;
    }
}

[[noreturn]] void broken(const std::string& what) { throw std::logic_error("command tables: " + what); }

} // namespace

AssembledCommands assembleCommands(const std::vector<MenuNode>& layout, const std::vector<CommandTable>& tables) {
    std::map<std::string, std::string> parentOf;
    std::set<std::string> topLevel;
    for (const MenuNode& menu : layout) {
        topLevel.insert(menu.name);
        collectLeaves(menu, parentOf);
    }

    AssembledCommands result;
    auto addEntry = [&](const MenuEntry& entry) {
        const auto place = parentOf.find(entry.name);
        if (place == parentOf.end()) broken(entry.name + " is not in the menu layout");
        if (place->second != entry.parent) broken(entry.name + " belongs under " + place->second);
        if (!result.entries.emplace(entry.name, entry).second) broken(entry.name + " is declared twice");
    };
    std::set<std::string> buttonNames;
    auto addButton = [&](const ToolButton& button) {
        if (!buttonNames.insert(button.name).second) broken(button.name + " is declared twice");
        result.buttons.push_back(button);
    };

    for (const CommandTable& table : tables) {
        for (const MenuEntry& entry : table.menu) {
            if (!entry.handler) broken(entry.name + " has no handler");
            addEntry(entry);
        }
        for (const ToolButton& button : table.buttons) addButton(button);
        for (const MenuOpening& opening : table.openings) {
            if (!topLevel.count(opening.menu)) broken(opening.menu + " is not a top-level menu");
            result.openings.push_back(opening);
        }
    }

    for (const auto& [name, parent] : parentOf)
        if (!result.entries.count(name)) broken(name + " has no entry");
    for (const ToolButton& button : result.buttons)
        if (!button.handler && !result.entries.count(button.menuEntry))
            broken(button.name + " runs the unknown entry " + button.menuEntry);
    return result;
}

} // namespace vela
