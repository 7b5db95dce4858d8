#include "UserActions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

namespace vela::user {

namespace {
template <typename T>
T* find(QDialog& dialog, const QString& name) {
    T* widget = dialog.findChild<T*>(name);
    if (!widget)
        QTest::qFail(qPrintable(QStringLiteral("no widget \"%1\" in dialog \"%2\"").arg(name, dialog.objectName())),
                     __FILE__, __LINE__);
    return widget;
}

QWidget* keyTarget(QDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    return focus ? focus : &dialog;
}
} // namespace

void click(QDialog& dialog, const QString& name) {
    if (auto* button = find<QAbstractButton>(dialog, name)) QTest::mouseClick(button, Qt::LeftButton);
}

void setChecked(QDialog& dialog, const QString& name, bool checked) {
    if (auto* box = find<QAbstractButton>(dialog, name))
        if (box->isChecked() != checked) QTest::mouseClick(box, Qt::LeftButton);
}

void typeInto(QDialog& dialog, const QString& name, const QString& text) {
    auto* edit = find<QLineEdit>(dialog, name);
    if (!edit) return;
    edit->setFocus(Qt::OtherFocusReason);
    // One event per code point, so a surrogate pair arrives whole.
    for (char32_t codePoint : text.toUcs4()) {
        QString key = QString::fromUcs4(&codePoint, 1);
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, key, Qt::NoModifier);
    }
}

void replaceText(QDialog& dialog, const QString& name, const QString& text) {
    auto* edit = find<QLineEdit>(dialog, name);
    if (!edit) return;
    edit->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    typeInto(dialog, name, text);
}

void pressEscape(QDialog& dialog) { QTest::keyClick(keyTarget(dialog), Qt::Key_Escape); }

void pressEnter(QDialog& dialog) { QTest::keyClick(keyTarget(dialog), Qt::Key_Return); }

void closeByCloseBox(QDialog& dialog) { dialog.close(); }

void waitUntilClosed(QDialog& dialog, int ms) {
    QPointer<QDialog> guard(&dialog);
    QDeadlineTimer deadline(ms);
    while (guard && dialog.isVisible() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(5);
    }
}

} // namespace vela::user
