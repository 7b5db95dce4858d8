// Writes a PNG of each colour, size and text layout dialog as it first opens
// (and the body colour dialog's second page), for comparing with the layouts.
// Usage: colour_size_layout_screenshots <folder>

#include "TForm11.h"
#include "TForm14.h"
#include "TForm15.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm9.h"
#include "TTabbedNotebookDlg.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QTabWidget>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {
void shoot(QDialog& dialog, const QString& file) {
    QTimer::singleShot(0, &dialog, [&] {
        dialog.grab().save(file);
        dialog.hide();
    });
    dialog.exec();
    std::printf("%s\n", qPrintable(file));
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    std::string a, b;
    vela::TTabbedNotebookDlg body(a);
    shoot(body, folder.filePath("TTabbedNotebookDlg.png"));
    body.findChild<QTabWidget*>(QStringLiteral("TabbedNotebook1"))->setCurrentIndex(1);
    shoot(body, folder.filePath("TTabbedNotebookDlg_page2.png"));
    vela::TForm11 fontColour(a);
    shoot(fontColour, folder.filePath("TForm11.png"));
    vela::TForm4 fontSize(a, b);
    shoot(fontSize, folder.filePath("TForm4.png"));
    vela::TForm5 heading(a, b);
    shoot(heading, folder.filePath("TForm5.png"));
    vela::TForm9 marquee(a, b);
    shoot(marquee, folder.filePath("TForm9.png"));
    vela::TForm15 imageWrap(a);
    shoot(imageWrap, folder.filePath("TForm15.png"));
    vela::TForm14 orderedList(a);
    shoot(orderedList, folder.filePath("TForm14.png"));
    return 0;
}
