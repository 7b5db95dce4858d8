#pragma once
// What a test script may do to a shown dialog: only what a user can do.
// Widgets are found by objectName; a missing widget fails the test.

#include <QString>

class QDialog;

namespace vela::user {

/// Clicks the button (push button, check box, radio button...) named `name`.
void click(QDialog& dialog, const QString& name);
/// Ticks or clears the check box `name` by clicking it when needed.
void setChecked(QDialog& dialog, const QString& name, bool checked);
/// Gives the line edit `name` the focus and types `text` at its cursor,
/// one key press per character, as a keyboard would.
void typeInto(QDialog& dialog, const QString& name, const QString& text);
/// Selects all of the line edit `name`, deletes it and types `text`.
void replaceText(QDialog& dialog, const QString& name, const QString& text);
/// Presses a key on the widget that has the focus (the dialog when none has).
void pressEscape(QDialog& dialog);
void pressEnter(QDialog& dialog);
/// Closes the window with its close box (a close request, as from the window manager).
void closeByCloseBox(QDialog& dialog);
/// Lets the event loop run (timers tick) for `ms` or until the dialog is hidden.
void waitUntilClosed(QDialog& dialog, int ms);

} // namespace vela::user
