#pragma once
// What a subsystem may ask of the main window besides the shared state and the
// pane: the tag insertion, the status bar and the enabling of commands.

#include <string>

namespace vela {

class EditorHost {
public:
    virtual ~EditorHost() = default;
    /// Writes PendingTag around the selection (the tag insertion engine).
    virtual void SetSelText() = 0;
    /// Replaces the status bar's simple text (UTF-8).
    virtual void setStatusText(const std::string& utf8) = 0;
    /// Enables or disables a command by its menu entry or button name;
    /// a command not built yet stays disabled.
    virtual void setCommandEnabled(const std::string& name, bool enabled) = 0;
    /// Runs a menu entry's command by name, as choosing it does, also while the
    /// entry is disabled; errors reach the caller. A command not built yet does nothing.
    virtual void runCommand(const std::string& name) = 0;
    /// Shows the application's general error report (UTF-8), for a failure found
    /// after the command that caused it returned.
    virtual void reportError(const std::string& utf8Message) = 0;
};

} // namespace vela
