#pragma once
// A main window started in a temporary folder with scripted services, and the
// user's ways of reaching its menus, buttons and tabs. Its recovery copies go
// to a state folder inside that folder, so no test sees another's copies.

#include "TestSupport.h"

#include "ScriptedServices.h"
#include "TForm1.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>
#include <optional>

namespace vela::test {

class MainWindowFixture {
public:
    /// `settings` is written as MARVOK.INI before the window starts, unless empty.
    explicit MainWindowFixture(const QByteArray& settings = {}) {
        QVERIFY(dir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        if (qEnvironmentVariableIsSet("XDG_STATE_HOME")) previousStateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", stateHome().toLocal8Bit());
        if (!settings.isEmpty()) writeFile("MARVOK.INI", settings);
        form = std::make_unique<TForm1>(services);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    ~MainWindowFixture() {
        form.reset();
        QDir::setCurrent(previousDir);
        if (previousStateHome)
            qputenv("XDG_STATE_HOME", *previousStateHome);
        else
            qunsetenv("XDG_STATE_HOME");
    }

    /// XDG_STATE_HOME while the fixture lives; the copies are in its "vela" folder.
    QString stateHome() const { return QDir(dir.path()).filePath("state"); }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(QDir(dir.path()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QToolButton* button(const QString& name) {
        auto* b = form->findChild<QToolButton*>(name);
        if (!b) qWarning("no button %s", qPrintable(name));
        return b;
    }
    QTabBar* tabs() { return form->findChild<QTabBar*>("TabSet1"); }

    /// Clicks a tab of TabSet1.
    void clickTab(int index) { QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(index).center()); }
    /// Clicks a toolbar button, after showing its page as a user must.
    void clickButton(const QString& name, int page) {
        clickTab(page);
        QToolButton* b = button(name);
        QVERIFY(b && b->isVisible() && b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton);
    }
    /// Chooses a menu entry, as clicking it in its open menu does.
    void chooseMenuEntry(const std::string& name) {
        QAction* action = form->commandAction(name);
        QVERIFY(action && action->isEnabled());
        action->trigger();
    }
    /// Opens a top-level menu with a click on the menu bar, then closes it with Esc.
    void openAndCloseMenu(const QString& name) {
        QMenuBar* bar = form->menuBar();
        auto* menu = bar->findChild<QMenu*>(name);
        QVERIFY(menu);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
    }
    /// Selects bytes [start, start + length) of the pane, as dragging over them does.
    void select(int start, int length) {
        form->pane().setSelStart(start);
        form->pane().setSelLength(length);
    }

    QTemporaryDir dir;
    QString previousDir;
    std::optional<QByteArray> previousStateHome;
    ScriptedServices services;
    std::unique_ptr<TForm1> form;
};

} // namespace vela::test
