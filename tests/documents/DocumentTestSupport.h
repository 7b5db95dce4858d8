#pragma once
// What the document tests share: typing into the pane as a user does, the
// texts of the unsaved-changes question, and a write that fails part way
// (FileSizeLimit).

#include "../app/MainWindowFixture.h"

#include "AppError.h"
#include "Cp932.h"
#include "FileSizeLimit.h"
#include "UndoSnapshot.h"

#include <QInputMethodEvent>

namespace vela::test {

inline const std::string AppCaption = "VELA-VOVUZEZU DOZA RODORA";
inline const std::string Template = "<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>";

/// Types ASCII text at the caret, key by key.
inline void typeText(MainWindowFixture& w, const QString& text) {
    QTest::keyClicks(w.form->pane().widget(), text);
}

/// Commits text from the input method, as Japanese input does.
inline void commitText(MainWindowFixture& w, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(w.form->pane().widget(), &event);
}

/// Queues the unsaved-changes question with its exact caption and text.
inline void expectSaveQuestion(MainWindowFixture& w, MessageAnswer answer) {
    w.services.expectMessageBox(answer, std::string("確認"), std::string("内容が変更されています。保存しますか？"));
}

/// Queues the error report with `message`.
inline void expectErrorReport(MainWindowFixture& w, const std::string& message) {
    w.services.expectMessageBox(MessageAnswer::Ok, AppCaption, errorReportText(message));
}

inline QString inDir(MainWindowFixture& w, const QString& name) { return QDir(w.dir.path()).filePath(name); }

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Files of the folder other than the ones named, e.g. temporary files left behind.
inline QStringList strayFiles(MainWindowFixture& w, const QStringList& expected) {
    QStringList stray;
    for (const QString& name : QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden))
        if (!expected.contains(name)) stray << name;
    return stray;
}

} // namespace vela::test
