#pragma once
// Running a dialog in a test as the program does, and finding its controls.

#include "ScriptedServices.h"

#include <QDialog>
#include <QString>
#include <QtGlobal>

namespace vela::test {

/// Shows the dialog through the scripted services, the script acting on it as a user.
inline void runModal(QDialog& dialog, ScriptedServices::Script script) {
    ScriptedServices services;
    services.expectModal(std::move(script));
    services.showModal(dialog);
}

/// The dialog's control of that name; a missing one ends the test run.
template <class Widget> Widget* control(QWidget& dialog, const QString& name) {
    auto* widget = dialog.findChild<Widget*>(name);
    if (!widget) qFatal("no control %s", qPrintable(name));
    return widget;
}

} // namespace vela::test
