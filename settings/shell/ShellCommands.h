#pragma once
// The windows that show the product: the splash TForm7 and the About box
// TAboutBox. Owns both for the run (created once, hidden) and the About
// command of the help menu.

#include "CommandTable.h"

#include <memory>

namespace vela {

class Services;
class TAboutBox;
class TForm7;

class ShellCommands {
public:
    /// Creates both windows hidden; the splash timer starts now. They are
    /// top-level windows of their own, so the main window's children stay its own.
    explicit ShellCommands(Services& services);
    ~ShellCommands();

    /// The About entry of the help menu.
    CommandTable commands();

    /// About: shows TAboutBox modally.
    void Menu52Click();
    /// Shows the splash modally until its timer's next tick (the first activation).
    void showSplash();

    TForm7& splash() { return *m_splash; }
    TAboutBox& aboutBox() { return *m_aboutBox; }

private:
    Services& m_services;
    std::unique_ptr<TAboutBox> m_aboutBox;
    std::unique_ptr<TForm7> m_splash;
};

} // namespace vela
