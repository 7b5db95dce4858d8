#pragma once
// Scripted services whose printing is the program's own: printText goes
// through QtServices to the printer the test chooses (a PDF file, a printer
// that fails, the system's default), so a print command runs as in the program.

#include "QtServices.h"
#include "ScriptedServices.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

namespace vela::test {

class PrintingServices : public ScriptedServices {
public:
    explicit PrintingServices(QtServices::PrinterLookup lookup = {}) : real_(std::move(lookup)) {}
    void printText(const std::string& cp932Text, const std::string& jobTitle) override {
        ScriptedServices::printText(cp932Text, jobTitle);
        real_.printText(cp932Text, jobTitle);
    }

private:
    QtServices real_;
};

/// A PDF printer writing to `path`.
inline std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

/// The text of a PDF file as pdftotext gives it, one string per line; empty when it failed.
inline QStringList pdfLines(const QString& path, bool* ok = nullptr) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                path, QStringLiteral("-")});
    const bool done = process.waitForFinished(30000) && process.exitCode() == 0;
    if (ok) *ok = done;
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    // Page breaks come as form feeds; trailing space is layout, not text.
    for (QString& line : lines) {
        line.remove(QLatin1Char('\f'));
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

inline bool havePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

} // namespace vela::test
