#include "QtServices.h"

#include "AppError.h"
#include "Cp932.h"
#include "FileDialogRules.h"
#include "HelpViewer.h"
#include "InputPrompt.h"
#include "JapaneseUi.h"
#include "PlainTextPrinting.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QUrl>

namespace vela {

std::unique_ptr<QPrinter> defaultPrinter() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::PrinterResolution);
}

QtServices::QtServices(PrinterLookup printerLookup)
    : printerLookup_(printerLookup ? std::move(printerLookup) : PrinterLookup(&defaultPrinter)) {}

QtServices::~QtServices() {
    if (helpViewer_ && !helpViewer_->parent()) delete helpViewer_.data();
}

QWidget* QtServices::parentWidget() const { return owner_ ? owner_ : QApplication::activeWindow(); }

MessageAnswer QtServices::messageBox(const std::string& caption, const std::string& text, MessageButtons buttons,
                                     MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::NoButton,
                    parentWidget());
    // The button texts are set here so they are Japanese whatever translations are loaded.
    auto add = [&box](QMessageBox::StandardButton which, const char* label) {
        QAbstractButton* button = box.addButton(which);
        button->setText(QString::fromUtf8(label));
        return button;
    };
    switch (buttons) {
    case MessageButtons::Ok:
        box.setDefaultButton(static_cast<QPushButton*>(add(QMessageBox::Ok, "OK")));
        break;
    case MessageButtons::YesNo:
        box.setDefaultButton(static_cast<QPushButton*>(add(QMessageBox::Yes, "はい")));
        add(QMessageBox::No, "いいえ");
        break;
    case MessageButtons::YesNoCancel:
        box.setDefaultButton(static_cast<QPushButton*>(add(QMessageBox::Yes, "はい")));
        add(QMessageBox::No, "いいえ");
        box.setEscapeButton(add(QMessageBox::Cancel, "キャンセル"));
        break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Ok: return MessageAnswer::Ok;
    default:
        // Closed another way: the answer the box's escape would give.
        if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
}

bool QtServices::inputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    return runInputPrompt(*this, caption, prompt, value);
}

int QtServices::showModal(QDialog& dialog) { return dialog.exec(); }

bool QtServices::chooseFile(const FileDialog& dialog, std::string& typedName) {
    QFileDialog fileDialog(parentWidget(), fileDialogCaption(dialog), fileDialogFolder(dialog));
    fileDialog.setOption(QFileDialog::DontUseNativeDialog);
    // Our own checks come after the default extension is applied.
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite);
    fileDialog.setFileMode(QFileDialog::AnyFile);
    fileDialog.setAcceptMode(dialog.kind == FileDialog::Kind::Save ? QFileDialog::AcceptSave
                                                                  : QFileDialog::AcceptOpen);
    fileDialog.setFont(japaneseUiFont(9));
    QStringList filters = qtNameFilters(dialog.filter);
    if (!filters.isEmpty()) fileDialog.setNameFilters(filters);
    if (!dialog.fileName.empty()) fileDialog.selectFile(QFileInfo(QString::fromStdString(dialog.fileName)).fileName());
    if (fileDialog.exec() != QDialog::Accepted) return false;
    QStringList files = fileDialog.selectedFiles();
    if (files.isEmpty()) return false;
    typedName = files.first().toStdString();
    return true;
}

void QtServices::openWithDesktop(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(QString::fromStdString(path)).absoluteFilePath()));
}

void QtServices::showHelp(const std::string& helpFile) {
    if (!helpViewer_) {
        helpViewer_ = new HelpViewer(owner_);
        // Without an owner the help window must not keep the program running on its own.
        if (!owner_) helpViewer_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    helpViewer_->open(QString::fromStdString(helpFile));
    helpViewer_->show();
    helpViewer_->raise();
    helpViewer_->activateWindow();
}

void QtServices::printText(const std::string& cp932Text, const std::string& jobTitle) {
    std::unique_ptr<QPrinter> printer = printerLookup_();
    if (!printer) throw AppError("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません");
    printer->setDocName(QString::fromStdString(jobTitle));
    printPlainText(*printer, japaneseUiFont(10), QString::fromStdU16String(cp932::decode(cp932Text).text),
                   [&printer] { printer->abort(); });
}

} // namespace vela
