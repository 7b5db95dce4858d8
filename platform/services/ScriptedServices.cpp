#include "ScriptedServices.h"

#include "AppError.h"
#include "Cp932.h"
#include "InputPrompt.h"
#include "UserActions.h"

#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>

namespace vela {

namespace {
QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

const char* answerName(MessageAnswer answer) {
    switch (answer) {
    case MessageAnswer::Ok: return "Ok";
    case MessageAnswer::Yes: return "Yes";
    case MessageAnswer::No: return "No";
    case MessageAnswer::Cancel: return "Cancel";
    }
    return "?";
}

bool offers(MessageButtons buttons, MessageAnswer answer) {
    switch (buttons) {
    case MessageButtons::Ok: return answer == MessageAnswer::Ok;
    case MessageButtons::YesNo: return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    case MessageButtons::YesNoCancel: return answer != MessageAnswer::Ok;
    }
    return false;
}

MessageAnswer escapeAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

QString describe(const QDialog& dialog) {
    return QStringLiteral("\"%1\" (%2)").arg(dialog.windowTitle(), dialog.objectName());
}
} // namespace

ScriptedServices::~ScriptedServices() { verifyAllConsumed(); }

void ScriptedServices::fail(const QString& message) {
    failures_ << message;
    if (!reportToQTest_) return;
    // Qt Test takes one failure per test function; the rest go to the log.
    if (!reported_) {
        reported_ = true;
        QTest::qFail(qPrintable(QStringLiteral("ScriptedServices: ") + message), __FILE__, __LINE__);
    } else {
        qWarning("ScriptedServices: %s", qPrintable(message));
    }
}

bool ScriptedServices::verifyAllConsumed() {
    auto leftover = [this](std::size_t count, const char* what) {
        if (count) fail(QStringLiteral("%1 expected %2 never shown").arg(count).arg(QLatin1String(what)));
    };
    leftover(messageQueue_.size(), "message box(es) were");
    leftover(promptQueue_.size(), "prompt(s) were");
    leftover(fileQueue_.size(), "file dialog(s) were");
    leftover(modalQueue_.size(), "modal window(s) were");
    messageQueue_.clear();
    promptQueue_.clear();
    fileQueue_.clear();
    modalQueue_.clear();
    return failures_.isEmpty();
}

void ScriptedServices::expectMessageBox(MessageAnswer answer, std::optional<std::string> caption,
                                        std::optional<std::string> text) {
    messageQueue_.push_back({answer, std::move(caption), std::move(text)});
}
void ScriptedServices::expectPrompt(const std::string& answerCp932) { promptQueue_.push_back(answerCp932); }
void ScriptedServices::expectPromptCancelled() { promptQueue_.push_back(std::nullopt); }
void ScriptedServices::expectFileDialog(const std::string& typedName) { fileQueue_.push_back(typedName); }
void ScriptedServices::expectFileDialogCancelled() { fileQueue_.push_back(std::nullopt); }
void ScriptedServices::expectModal(Script script) { modalQueue_.push_back(std::move(script)); }

MessageAnswer ScriptedServices::messageBox(const std::string& caption, const std::string& text,
                                           MessageButtons buttons, MessageIcon icon) {
    if (messageQueue_.empty()) {
        fail(QStringLiteral("unexpected message box \"%1\": %2").arg(q(caption), q(text)));
        MessageAnswer answer = escapeAnswer(buttons);
        messageBoxes_.push_back({caption, text, buttons, icon, answer});
        return answer;
    }
    ExpectedMessage expected = std::move(messageQueue_.front());
    messageQueue_.pop_front();
    if (expected.caption && *expected.caption != caption)
        fail(QStringLiteral("message box caption \"%1\", expected \"%2\"").arg(q(caption), q(*expected.caption)));
    if (expected.text && *expected.text != text)
        fail(QStringLiteral("message box text \"%1\", expected \"%2\"").arg(q(text), q(*expected.text)));
    MessageAnswer answer = expected.answer;
    if (!offers(buttons, answer)) {
        fail(QStringLiteral("message box \"%1\" has no button %2").arg(q(caption), QLatin1String(answerName(answer))));
        answer = escapeAnswer(buttons);
    }
    messageBoxes_.push_back({caption, text, buttons, icon, answer});
    return answer;
}

bool ScriptedServices::inputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    PromptCall call{caption, prompt, value, false, {}};
    if (promptQueue_.empty()) {
        fail(QStringLiteral("unexpected prompt \"%1\": %2").arg(q(caption), q(prompt)));
        call.value = value;
        prompts_.push_back(call);
        return false;
    }
    std::optional<std::string> answer = std::move(promptQueue_.front());
    promptQueue_.pop_front();
    // The real prompt window is shown; the answer is typed into it.
    if (answer) {
        QString typed = QString::fromStdU16String(cp932::decode(*answer).text);
        promptScript_ = [typed](QDialog& dialog) {
            user::replaceText(dialog, QStringLiteral("Edit"), typed);
            user::click(dialog, QStringLiteral("OkButton"));
        };
    } else {
        promptScript_ = [](QDialog& dialog) { user::pressEscape(dialog); };
    }
    call.accepted = runInputPrompt(*this, caption, prompt, value);
    call.value = value;
    prompts_.push_back(call);
    return call.accepted;
}

int ScriptedServices::showModal(QDialog& dialog) {
    if (promptScript_) {
        Script script = std::move(*promptScript_);
        promptScript_.reset();
        return runScripted(dialog, script);
    }
    if (modalQueue_.empty()) {
        fail(QStringLiteral("unexpected modal window %1").arg(describe(dialog)));
        return QDialog::Rejected;
    }
    Script script = std::move(modalQueue_.front());
    modalQueue_.pop_front();
    return runScripted(dialog, script);
}

int ScriptedServices::runScripted(QDialog& dialog, const Script& script) {
    QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(0, &dialog, [this, guard, script] {
        if (!guard) return;
        // The window manager activates a shown window; the script starts after that.
        QDeadlineTimer deadline(1000);
        while (guard && !guard->isActiveWindow() && !deadline.hasExpired()) {
            guard->activateWindow();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (!guard) return;
        try {
            script(*guard);
        } catch (const std::exception& error) {
            fail(QStringLiteral("script of %1 threw: %2").arg(describe(*guard), QString::fromUtf8(error.what())));
        } catch (...) {
            fail(QStringLiteral("script of %1 threw").arg(describe(*guard)));
        }
        if (guard && guard->isVisible()) {
            fail(QStringLiteral("the script left modal window %1 open").arg(describe(*guard)));
            guard->done(QDialog::Rejected);
        }
    });
    return dialog.exec();
}

bool ScriptedServices::chooseFile(const FileDialog& dialog, std::string& typedName) {
    if (fileQueue_.empty()) {
        fail(QStringLiteral("unexpected file dialog \"%1\"").arg(q(dialog.title)));
        fileDialogs_.push_back({dialog, std::nullopt});
        return false;
    }
    std::optional<std::string> typed = std::move(fileQueue_.front());
    fileQueue_.pop_front();
    fileDialogs_.push_back({dialog, typed});
    if (!typed) return false;
    typedName = *typed;
    return true;
}

void ScriptedServices::openWithDesktop(const std::string& path) { opened_.push_back(path); }
void ScriptedServices::showHelp(const std::string& helpFile) { help_.push_back(helpFile); }

void ScriptedServices::printText(const std::string& cp932Text, const std::string& jobTitle) {
    if (printFailure_) throw AppError(*printFailure_);
    printed_.push_back({cp932Text, jobTitle});
}

} // namespace vela
