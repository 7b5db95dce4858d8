// Measures QPlainTextEdit against QTextEdit on a generated 1 MB page: load,
// recolour every tag, first paint (offscreen), jump to the end, peak memory. One widget per
// run, so the peak is that widget's own.
// Usage: pane_widget_choice plain|rich

#include "Page.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextEdit>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

namespace {

void recolourTags(QTextDocument* doc) {
    QTextCharFormat cyan;
    cyan.setForeground(QColor(0, 255, 255));
    QTextCursor c(doc);
    c.beginEditBlock();
    const QString text = doc->toRawText();
    for (qsizetype open = text.indexOf(u'<'); open >= 0; open = text.indexOf(u'<', open + 1)) {
        const qsizetype close = text.indexOf(u'>', open);
        if (close < 0) break;
        c.setPosition(int(open));
        c.setPosition(int(close + 1), QTextCursor::KeepAnchor);
        c.mergeCharFormat(cyan);
        open = close;
    }
    c.endEditBlock();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool plain = argc < 2 || std::strcmp(argv[1], "rich") != 0;
    const std::string page = vela::bench::generatedPage(1 << 20);
    const auto utf16 = vela::cp932::decode(page).text;
    const QString text = QString::fromUtf16(utf16.data(), qsizetype(utf16.size())).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QWidget* widget;
    QTextDocument* doc;
    if (plain) {
        auto* e = new QPlainTextEdit;
        e->setUndoRedoEnabled(false);
        widget = e;
        doc = e->document();
    } else {
        auto* e = new QTextEdit;
        e->setUndoRedoEnabled(false);
        e->setAcceptRichText(false);
        widget = e;
        doc = e->document();
    }
    widget->resize(800, 600);
    QElapsedTimer t;
    t.start();
    if (plain)
        static_cast<QPlainTextEdit*>(widget)->setPlainText(text);
    else
        static_cast<QTextEdit*>(widget)->setPlainText(text);
    const qint64 load = t.restart();
    recolourTags(doc);
    const qint64 recolour = t.restart();
    widget->show();
    app.processEvents();
    widget->grab();
    const qint64 paint = t.restart();
    // Ctrl+End: what the user waits for when the whole page has to be laid out.
    if (plain)
        static_cast<QPlainTextEdit*>(widget)->moveCursor(QTextCursor::End);
    else
        static_cast<QTextEdit*>(widget)->moveCursor(QTextCursor::End);
    app.processEvents();
    widget->grab();
    const qint64 toEnd = t.restart();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s: load %lld ms, recolour %lld ms, first paint %lld ms, jump to end %lld ms, peak RSS %ld MB\n",
                plain ? "QPlainTextEdit" : "QTextEdit", load, recolour, paint, toEnd, usage.ru_maxrss / 1024);
    return 0;
}
