#pragma once
// Drives a real tag dialog as a user would: the dialog runs modally through
// exec() while a zero-timer script clicks, types, presses keys or uses the
// close box, one opening after another. Steps are short texts so that test
// tables can list whole sessions:
//   "Button1"        click the widget of that name
//   "TrackBar1:End"  press Left, Right, Home or End on that widget
//   "Edit1=5"        type into that line edit
//   "tab:1"          click that tab of TabbedNotebook1
//   "Esc", "Enter"   press the key on the focused widget
//   "close"          the close box (the window manager's close request);
//                    the dialog must then be closed
//   "closeIgnored"   the same request, which the dialog must ignore

#include "TestSupport.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QCheckBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <functional>

namespace vela::test {

/// Shows `dialog` modally and runs `script` once it is up. False, with a
/// warning, when the script left the dialog open (it is then hidden so the
/// test can go on).
inline bool runModal(QDialog& dialog, const std::function<void()>& script) {
    bool leftOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        script();
        if (dialog.isVisible()) {
            leftOpen = true;
            dialog.hide();
        }
    });
    dialog.exec();
    if (leftOpen) qWarning("the script left the dialog open");
    return !leftOpen;
}

inline QWidget* widgetNamed(QDialog& dialog, const QString& name) {
    auto* widget = dialog.findChild<QWidget*>(name);
    if (!widget) qWarning("no widget named %s", qPrintable(name));
    return widget;
}

/// Where a user clicks a widget: a check or radio button on its indicator
/// (its hit area ends with its caption), anything else in the middle.
inline QPoint clickPoint(QWidget& widget) {
    if (qobject_cast<QRadioButton*>(&widget) || qobject_cast<QCheckBox*>(&widget))
        return QPoint(6, widget.height() / 2);
    return widget.rect().center();
}

/// One step of a session; false when it could not be carried out.
inline bool act(QDialog& dialog, const QString& step) {
    if (!dialog.isVisible()) {
        qWarning("step %s: the dialog is not shown", qPrintable(step));
        return false;
    }
    QWidget* focused = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    if (step == QLatin1String("Esc")) {
        QTest::keyClick(focused, Qt::Key_Escape);
    } else if (step == QLatin1String("Enter")) {
        QTest::keyClick(focused, Qt::Key_Return);
    } else if (step == QLatin1String("close") || step == QLatin1String("closeIgnored")) {
        dialog.close();
        bool expectOpen = step == QLatin1String("closeIgnored");
        if (dialog.isVisible() != expectOpen) {
            qWarning("step %s: the dialog is %s", qPrintable(step), expectOpen ? "closed" : "still open");
            return false;
        }
    } else if (step.startsWith(QLatin1String("tab:"))) {
        auto* notebook = dialog.findChild<QTabWidget*>(QStringLiteral("TabbedNotebook1"));
        if (!notebook) return false;
        QTabBar* tabs = notebook->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(step.mid(4).toInt()).center());
    } else if (int eq = step.indexOf(QLatin1Char('=')); eq > 0) {
        auto* edit = qobject_cast<QLineEdit*>(widgetNamed(dialog, step.left(eq)));
        if (!edit) return false;
        // One key press per character; beyond Latin-1 the key carries only its text.
        for (QChar c : step.mid(eq + 1)) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    } else if (int colon = step.indexOf(QLatin1Char(':')); colon > 0) {
        QWidget* widget = widgetNamed(dialog, step.left(colon));
        const QString key = step.mid(colon + 1);
        const Qt::Key code = key == QLatin1String("Left")    ? Qt::Key_Left
                             : key == QLatin1String("Right") ? Qt::Key_Right
                             : key == QLatin1String("Home")  ? Qt::Key_Home
                             : key == QLatin1String("End")   ? Qt::Key_End
                                                             : Qt::Key_unknown;
        if (!widget || code == Qt::Key_unknown) return false;
        QTest::keyClick(widget, code);
    } else {
        QWidget* widget = widgetNamed(dialog, step);
        if (!widget) return false;
        QTest::mouseClick(widget, Qt::LeftButton, {}, clickPoint(*widget));
    }
    return true;
}

/// Opens the dialog once per entry of `openings` and carries out its steps;
/// each opening's steps must end with the dialog closed.
inline bool runSession(QDialog& dialog, const QList<QStringList>& openings) {
    for (const QStringList& steps : openings) {
        bool ok = true;
        bool shown = runModal(dialog, [&] {
            for (const QString& step : steps)
                if (!(ok = act(dialog, step))) return;
        });
        if (!ok || !shown) return false;
    }
    return true;
}

} // namespace vela::test
