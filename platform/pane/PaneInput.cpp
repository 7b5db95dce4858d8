#include "PaneImpl.h"

#include "AppError.h"
#include "Cp932.h"
#include "PageEncoding.h"
#include "Rtf.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace vela {

using namespace panetext;

namespace {

constexpr auto kRtfMime = "text/rtf";
// Marks clipboard and drag data as ours, so that only our own RTF is taken
// as formatted runs; other programs' rich text arrives as plain text.
constexpr auto kOwnMime = "application/x-vela-runs";

} // namespace

void Pane::Impl::insertRuns(const rtf::RunList& runs) {
    rtf::PackedRuns pieces;
    for (const auto& run : runs) pieces.append(withLineBreaks(run.text), run.format);
    const std::size_t from = caretStart();
    replaceText(from, caretEnd() - from, pieces);
}

void Pane::Impl::tell(const std::string& message) const {
    if (noticeHandler && !message.empty()) noticeHandler(message);
}

QString Pane::Impl::accepted(const QString& text) const {
    std::u16string units = text.toStdU16String();
    const std::size_t folded = cp932::foldJisVariants(units);
    const std::size_t referenced = cp932::referenceUnencodable(units);
    if (referenced == 0) return folded == 0 ? text : QString::fromStdU16String(units);
    tell(encoding::referencesNotice(referenced));
    return QString::fromStdU16String(units);
}

void Pane::Impl::insertPlain(const QString& raw) {
    const QString text = accepted(normalizeBreaks(raw));
    replaceSelection(cp932::encode(unitsOf(text)).bytes);
}

QString Pane::Impl::keyDown(QKeyEvent* event) {
    committing = false;
    if (keyDownHandler) keyDownHandler(event->key());
    noteCaret();
    // A caret key forgets the format set for typing, even where the caret cannot move.
    switch (event->key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
        pending.reset();
        // They measure the lines they move over, which must be laid out in their formats.
        display->prepareAround(cursor().block());
        break;
    default:
        break;
    }
    return accepted(event->text());
}

void Pane::Impl::compositionStarting() {
    if (keyDownHandler) keyDownHandler(0);
}

QString Pane::Impl::inputMethodCommit(const QString& text) {
    if (keyDownHandler) keyDownHandler(0);
    noteCaret();
    committing = true;
    return accepted(text);
}

QMimeData* Pane::Impl::mimeForSelection() const {
    const QTextCursor c = cursor();
    auto* data = new QMimeData;
    data->setText(normalizeBreaks(c.selectedText()));
    const std::size_t from = caretStart();
    rtf::Writer writer;
    model.forEachRun(from, caretEnd(), [&](PaneModel::FormatId id, std::string_view piece) {
        writer.append(model.format(id), piece);
    });
    data->setData(kRtfMime, QByteArray::fromStdString(writer.finish()));
    data->setData(kOwnMime, QByteArray());
    return data;
}

bool Pane::Impl::canInsert(const QMimeData* source) const {
    return source && (source->hasText() || (source->hasFormat(kOwnMime) && source->hasFormat(kRtfMime)));
}

void Pane::Impl::insert(const QMimeData* source) {
    if (source && source->hasFormat(kOwnMime) && source->hasFormat(kRtfMime)) {
        try {
            const QByteArray bytes = source->data(kRtfMime);
            insertRuns(rtf::read(std::string_view(bytes.constData(), std::size_t(bytes.size()))).runs);
            edit->ensureCursorVisible();
            return;
        } catch (const AppError&) {
            // Damaged rich text: the plain text beside it still holds the content.
        }
    }
    if (!source || !source->hasText()) {
        tell("テキスト以外は貼り付けられません");
        return;
    }
    insertPlain(source->text());
    edit->ensureCursorVisible();
}

void Pane::Impl::drop(const QMimeData* source, int position, bool moved) {
    std::size_t target = std::size_t(toBytes(position));
    if (moved) {
        const std::size_t from = caretStart(), to = caretEnd();
        // Dropped onto itself, it stays.
        if (target >= from && target <= to) return;
        replaceText(from, to - from, {});
        if (target > to) target -= to - from;
    }
    QTextCursor c = cursor();
    c.setPosition(toQt(int(target), Snap::Back));
    setCursor(c);
    insert(source);
}

Pane::Pane() : d(std::make_unique<Impl>()) {}

void Pane::cutToClipboard() {
    if (!d->cursor().hasSelection()) return;
    copyToClipboard();
    const std::size_t from = d->caretStart();
    d->replaceText(from, d->caretEnd() - from, {});
}

void Pane::copyToClipboard() const {
    if (!d->cursor().hasSelection()) return;
    QGuiApplication::clipboard()->setMimeData(d->mimeForSelection());
}

void Pane::pasteFromClipboard() { d->insert(QGuiApplication::clipboard()->mimeData()); }

bool Pane::clipboardHasText() const { return d->clipboardText; }

void Pane::commitComposition() { d->edit->commitComposition(); }

} // namespace vela
