#include "PaneImpl.h"

#include "BlockIndex.h"
#include "Cp932.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace vela {

using namespace panetext;

Pane::Impl::Impl() {
    edit = new PaneEdit(*this);
    edit->setUndoRedoEnabled(false);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Qt's own menu would offer undo, redo and unfiltered actions; the window
    // connects customContextMenuRequested to its Edit menu instead.
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette palette = edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::black);
        palette.setColor(group, QPalette::Text, Qt::white);
    }
    edit->setPalette(palette);
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPointSize(10);
    edit->setFont(font);
    doc = edit->document();
    doc->setDefaultFont(font);
    display = new DisplayFormats(doc, model);
    doc->setDocumentLayout(display);
    QObject::connect(doc, &QTextDocument::contentsChange, edit,
                     [this](int p, int r, int a) { onContentsChange(p, r, a); });
    QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, edit, [this] { onCursorMoved(); });
    QObject::connect(edit, &QPlainTextEdit::updateRequest, edit,
                     [this] { display->prepareAround(edit->firstVisibleBlock()); });

    QClipboard* clipboard = QGuiApplication::clipboard();
    auto refreshClipboard = [this, clipboard] {
        const QMimeData* data = clipboard->mimeData();
        clipboardText = data && data->hasText();
    };
    QObject::connect(clipboard, &QClipboard::dataChanged, edit, refreshClipboard);
    refreshClipboard();
}

Pane::Impl::~Impl() { delete edit.data(); }

void Pane::Impl::contentChanged() {
    ++contentVersion;
    if (changedHandler) changedHandler();
}

std::size_t Pane::Impl::bytesOfUnits(std::size_t from, int units) const {
    // One unit of the widget is one character of the model, a line break one unit for CR LF.
    const std::string& text = model.text();
    std::size_t at = from;
    for (int i = 0; i < units && at < text.size(); ++i) at += characterBytes(text, at);
    return at - from;
}

std::string Pane::Impl::textOf(int from, int to) const {
    std::string bytes;
    QTextBlock block = doc->findBlock(from);
    while (block.isValid() && block.position() < to) {
        const QString text = block.text();
        const int start = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + int(text.size())) - block.position();
        if (end > start) cp932::appendEncoded(bytes, unitsOf(QStringView(text).mid(start, end - start)));
        const int breakAt = block.position() + int(text.size());
        if (block.next().isValid() && breakAt >= from && breakAt < to) bytes += "\r\n";
        block = block.next();
    }
    return bytes;
}

void Pane::Impl::onContentsChange(int position, int removed, int added) {
    // The pane's own changes are in the model already; formats shown are no change of the text.
    if (mirroring || display->applying() || edit->showingCompositionOnly()) return;
    const QTextBlock block = doc->findBlock(position);
    // Everything before `position` is as it was, so its bytes come from the old index.
    const std::size_t from =
        std::size_t(model.lines().prefix(block.blockNumber())) +
        std::size_t(widthOf(block.text(), std::clamp(position - block.position(), 0, int(block.text().size()))));
    std::size_t gone = bytesOfUnits(from, removed);
    std::string bytes = textOf(position, position + added);
    syncedUnits = doc->characterCount();
    // Uncommitted input shown or cleared lays the line out again with the same
    // text; a selection replaced by the same text is an edit all the same.
    const bool selectionReplaced = selectionBefore.first < selectionBefore.second;
    if (!selectionReplaced && bytes.size() == gone && model.text().compare(from, gone, bytes) == 0) return;
    // Qt reports from the start of the block at times. The edit lies at the
    // caret or the selection as they were; what is equal around it keeps its formats.
    const std::string& text = model.text();
    const std::size_t headLimit = selectionBefore.first > from ? selectionBefore.first - from : 0;
    std::size_t head = 0;
    while (head < headLimit && head < gone && head < bytes.size() && text[from + head] == bytes[head]) ++head;
    while (head > 0 && !boundaryAt(from + head)) --head;
    const std::size_t tailLimit = from + gone > selectionBefore.second ? from + gone - selectionBefore.second : 0;
    std::size_t tail = 0;
    while (tail < tailLimit && tail < gone - head && tail < bytes.size() - head &&
           text[from + gone - 1 - tail] == bytes[bytes.size() - 1 - tail])
        ++tail;
    while (tail > 0 && !boundaryAt(from + gone - tail)) --tail;
    const std::size_t at = from + head;
    const std::size_t length = gone - head - tail;
    const std::string inserted = bytes.substr(head, bytes.size() - head - tail);
    // As the widget's own cursor has it: typed over a selection, the text takes
    // the format before the caret; an input method's commit, the one where the
    // selection was, once it is gone; a line break typed at the start of an
    // empty line, no format of its own.
    const bool lineBreakTyped = inserted == "\r\n" && !committing;
    PaneModel::FormatId format = PaneModel::NoFormat;
    const bool emptyLineBreak = lineBreakTyped && startsEmptyLine(caretBefore);
    if (length > 0 && !committing) format = qtRuleFormat(caretBefore);
    if (length > 0) model.replace(at, length, {}, PaneModel::NoFormat);
    if (length == 0 || committing) format = insertionFormat(at);
    if (emptyLineBreak) format = PaneModel::NoFormat;
    model.replace(at, 0, inserted, format);
    committing = false;
    synced();
    display->invalidate(at, at + inserted.size());
    // Typed text goes on in the format it began with, as the character before it now has it;
    // a deletion after the caret leaves the caret's format.
    if (pending && (!inserted.empty() || caretBefore != pending->at)) pending.reset();
    modified = true;
    contentChanged();
}

bool Pane::Impl::startsEmptyLine(std::size_t at) const {
    const BlockIndex& lines = model.lines();
    const int line = lines.blockAt(int(at));
    const bool lastLine = line + 1 == lines.blockCount();
    return std::size_t(lines.prefix(line)) == at && lines.length(line) == (lastLine ? 0 : 2);
}

bool Pane::Impl::boundaryAt(std::size_t pos) const {
    const std::string& text = model.text();
    if (pos == 0 || pos >= text.size()) return true;
    const BlockIndex& lines = model.lines();
    const int line = lines.blockAt(int(pos));
    std::size_t at = std::size_t(lines.prefix(line));
    while (at < pos) at += characterBytes(text, at);
    return at == pos;
}

void Pane::Impl::noteCaret() {
    caretBefore = std::size_t(toBytes(cursor().position()));
    selectionBefore = {caretStart(), caretEnd()};
}

void Pane::Impl::synced() {
    syncedUnits = doc->characterCount();
    noteCaret();
}

void Pane::Impl::onCursorMoved() {
    // The caret moves before the widget reports the edit that moved it; only a
    // move of its own forgets the pending format.
    if (doc->characterCount() != syncedUnits) return;
    noteCaret();
    if (!pending) return;
    const QTextCursor c = cursor();
    if (c.hasSelection() || std::size_t(toBytes(c.position())) != pending->at) {
        pending.reset();
    }
}

int Pane::Impl::toBytes(int qtPos) const {
    const QTextBlock block = doc->findBlock(qtPos);
    if (!block.isValid()) return int(model.size());
    const QString text = block.text();
    const int units = std::clamp(qtPos - block.position(), 0, int(text.size()));
    return model.lines().prefix(block.blockNumber()) + widthOf(text, units);
}

int Pane::Impl::toQt(int bytePos, Snap snap) const {
    const BlockIndex& index = model.lines();
    bytePos = std::clamp(bytePos, 0, index.total());
    const int number = index.blockAt(bytePos);
    const int offset = bytePos - index.prefix(number);
    const QTextBlock block = doc->findBlockByNumber(number);
    const QString text = block.text();
    int bytes = 0;
    for (int i = 0; i < int(text.size()); ++i) {
        if (text[i].isLowSurrogate()) continue; // a pair is one "?"; never split it
        if (bytes == offset) return block.position() + i;
        const int width = unitWidth(text[i]);
        if (bytes + width > offset) {
            // Inside a double-byte character.
            if (snap == Snap::Back) return block.position() + i;
            return block.position() + i + 1;
        }
        bytes += width;
    }
    // At the line's end, or between its CR and LF.
    if (offset <= bytes || snap == Snap::Back || !block.next().isValid()) return block.position() + int(text.size());
    return block.next().position();
}

PaneModel::FormatId Pane::Impl::insertionFormat(std::size_t at) const {
    if (pending && pending->at == at) return pending->format;
    return qtRuleFormat(at);
}

PaneModel::FormatId Pane::Impl::qtRuleFormat(std::size_t at) const {
    const BlockIndex& lines = model.lines();
    const int line = lines.blockAt(int(at));
    const std::size_t lineStart = std::size_t(lines.prefix(line));
    const bool lastLine = line + 1 == lines.blockCount();
    const int content = lines.length(line) - (lastLine ? 0 : 2);
    // At the start of a line with text, the text's own format; else the one before.
    if (at == lineStart && content > 0) return model.formatAt(at);
    if (at == 0) return PaneModel::NoFormat;
    return model.formatAt(at - 1);
}

PaneModel::FormatId Pane::Impl::selectionFormatId() const {
    const QTextCursor c = cursor();
    return c.hasSelection() ? model.formatAt(caretStart()) : insertionFormat(caretStart());
}

void Pane::Impl::restyleSelection(const std::function<void(rtf::RunFormat&)>& change) {
    const QTextCursor c = cursor();
    const std::size_t from = caretStart();
    if (!c.hasSelection()) {
        rtf::RunFormat f = model.format(insertionFormat(from));
        change(f);
        pending = Pending{from, model.intern(f)};
        return;
    }
    const std::size_t to = caretEnd();
    model.restyle(from, to - from, change);
    display->invalidate(from, to);
    modified = true;
    contentChanged();
}

void Pane::Impl::setDefaultFont(const QFont& font) {
    if (font == doc->defaultFont()) return;
    edit->setFont(font);
    doc->setDefaultFont(font);
    display->formatsReplaced();
}

void Pane::Impl::replaceText(std::size_t from, std::size_t length, const rtf::PackedRuns& pieces) {
    if (length == 0 && pieces.text.empty()) return;
    const int qtFrom = toQt(int(from), Snap::Back);
    const int qtTo = toQt(int(from + length), Snap::Forward);
    model.replace(from, length, pieces);
    QTextCursor c(doc);
    c.setPosition(qtFrom);
    c.setPosition(qtTo, QTextCursor::KeepAnchor);
    setMirroring(true);
    if (pieces.text.empty())
        c.removeSelectedText();
    else
        c.insertText(shownText(pieces.text));
    setMirroring(false);
    syncedUnits = doc->characterCount();
    pending.reset();
    display->invalidate(from, from + pieces.text.size());
    setCursor(c);
    pending.reset();
    synced();
    modified = true;
    contentChanged();
}

void Pane::Impl::replaceSelection(const std::string& cp932, std::optional<PaneModel::FormatId> format) {
    const QTextCursor c = cursor();
    const std::size_t from = caretStart();
    const std::size_t length = caretEnd() - from;
    // Replacing a selection, the new text takes the format of its start, as
    // the selection attributes report it.
    const PaneModel::FormatId id = format ? *format : length > 0 ? model.formatAt(from) : insertionFormat(from);
    replaceText(from, length, onePiece(withLineBreaks(cp932), model.format(id)));
}

void Pane::Impl::assign(rtf::PackedRuns&& content) {
    const bool sameText = content.text == model.text();
    model.assign(std::move(content));
    display->formatsReplaced();
    if (sameText) {
        setCursor(QTextCursor(doc));
    } else {
        setMirroring(true);
        edit->setPlainText(shownText(model.text()));
        setMirroring(false);
    }
    // Blocks laid out while the text was being replaced took formats of lines they no longer hold.
    display->invalidateAll();
    synced();
    // A new document's caret types in no format of its own until it moves.
    pending = Pending{0, PaneModel::NoFormat};
    modified = true;
    contentChanged();
}

} // namespace vela

