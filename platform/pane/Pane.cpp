#include "Pane.h"

#include "AppError.h"
#include "BlockIndex.h"
#include "DisplayFormats.h"
#include "PaneModel.h"
#include "Cp932.h"
#include "FileReplace.h"
#include "PageEncoding.h"
#include "PaneEdit.h"
#include "Rtf.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace vela {

namespace {

constexpr auto kRtfMime = "text/rtf";
// Marks clipboard and drag data as ours, so that only our own RTF is taken
// as formatted runs; other programs' rich text arrives as plain text.
constexpr auto kOwnMime = "application/x-vela-runs";

QColor toQColor(Color c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
Color toColor(const QColor& c) { return Color(c.red()) | Color(c.green()) << 8 | Color(c.blue()) << 16; }

int unitWidth(QChar ch) { return cp932::byteWidth(ch.unicode()); }

int widthOf(const QString& s, int units) {
    int bytes = 0;
    for (int i = 0; i < units; ++i) bytes += unitWidth(s[i]);
    return bytes;
}

// CR LF, lone CR, lone LF and Qt's line and paragraph separators all become
// the "\n" that QTextCursor::insertText turns into a block break ("\r" would
// make a second one).
QString normalizeBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    text.replace(QChar::LineSeparator, QChar(u'\n'));
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    return text;
}

std::u16string_view unitsOf(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

enum class Snap { Back, Forward };

} // namespace


struct Pane::Impl final : InsertionFilter {
    Impl();
    ~Impl() override;

    PaneModel model;
    QPointer<PaneEdit> edit;
    QTextDocument* doc = nullptr;
    DisplayFormats* display = nullptr;
    bool modified = false;
    bool clipboardText = false;
    std::uint64_t contentVersion = 0;
    /// Set while the pane itself changes the widget's text after the model's:
    /// the widget's report of it is no news.
    bool mirroring = false;
    /// The widget's character count as the model last knew it: differing, an edit is under way.
    int syncedUnits = 1;
    /// The caret's byte position before the edit under way.
    std::size_t caretBefore = 0;
    std::pair<std::size_t, std::size_t> selectionBefore;
    /// An input method's commit is under way.
    bool committing = false;
    /// The format set for the next text typed at the caret, as long as the caret stays there.
    struct Pending {
        std::size_t at = 0;
        PaneModel::FormatId format = PaneModel::NoFormat;
    };
    std::optional<Pending> pending;
    std::function<void(int)> keyDownHandler;
    std::function<void(const std::string&)> noticeHandler;
    std::function<void()> changedHandler;

    void contentChanged();
    void onContentsChange(int position, int removed, int added);
    void onCursorMoved();
    /// The widget and the model agree again: the caret as it is now is where the next edit starts.
    void synced();
    void noteCaret();
    bool boundaryAt(std::size_t pos) const;
    bool startsEmptyLine(std::size_t at) const;

    int toBytes(int qtPos) const;
    int toQt(int bytePos, Snap snap) const;
    std::size_t bytesOfUnits(std::size_t from, int units) const;
    std::string textOf(int from, int to) const;

    QTextCursor cursor() const { return edit->textCursor(); }
    void setCursor(const QTextCursor& c) { edit->setTextCursor(c); }
    std::size_t caretStart() const { return std::size_t(toBytes(cursor().selectionStart())); }
    std::size_t caretEnd() const { return std::size_t(toBytes(cursor().selectionEnd())); }

    /// What text typed at `at` takes: the pending format, else that of the
    /// character before it (of the one after it at the start of a line).
    PaneModel::FormatId insertionFormat(std::size_t at) const;
    /// The format of the character before `at`, of the one after it at the start of a line with text.
    PaneModel::FormatId qtRuleFormat(std::size_t at) const;
    PaneModel::FormatId selectionFormatId() const;
    const rtf::RunFormat& selectionFormat() const { return model.format(selectionFormatId()); }
    void restyleSelection(const std::function<void(rtf::RunFormat&)>& change);
    QFont defaultFont() const { return doc->defaultFont(); }
    void setDefaultFont(const QFont& font);

    /// Replaces bytes [from, from + length) in the model and then in the widget;
    /// the caret ends after the new text.
    void replaceText(std::size_t from, std::size_t length, const rtf::PackedRuns& pieces);
    void replaceSelection(const std::string& cp932, std::optional<PaneModel::FormatId> format = std::nullopt);
    void assign(rtf::PackedRuns&& content);

    void insertRuns(const rtf::RunList& runs);
    void insertPlain(const QString& text);
    void tell(const std::string& message) const;
    QString accepted(const QString& text) const;

    // InsertionFilter
    QString keyDown(QKeyEvent* event) override;
    void compositionStarting() override;
    QString inputMethodCommit(const QString& text) override;
    QMimeData* mimeForSelection() const override;
    bool canInsert(const QMimeData* source) const override;
    void insert(const QMimeData* source) override;
    void drop(const QMimeData* source, int position, bool moved) override;
    void compositionShown() override { display->reapply(cursor().block()); }
    QTextCharFormat typedFormat() const override {
        QTextCharFormat f = display->qtFormat(insertionFormat(caretStart()));
        if (!f.hasProperty(QTextFormat::ForegroundBrush)) f.setForeground(edit->palette().color(QPalette::Text));
        return f;
    }
};

namespace {

/// CP932 text with every lone CR and lone LF made a CR LF, as the widget's
/// blocks hold them.
std::string withLineBreaks(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

/// The widget's text of CP932 bytes: block breaks as "\n".
QString shownText(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    cp932::appendDecoded(units, bytes);
    std::size_t out = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t u = units[i];
        if (u == u'\r') {
            if (i + 1 < units.size() && units[i + 1] == u'\n') ++i;
            u = u'\n';
        }
        units[out++] = u;
    }
    return QString::fromUtf16(units.data(), qsizetype(out));
}

rtf::PackedRuns onePiece(std::string bytes, const rtf::RunFormat& format) {
    rtf::PackedRuns p;
    p.append(bytes, format);
    return p;
}

} // namespace

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
                     [this] { display->prepareAround(edit->cursorForPosition(QPoint(0, 0)).block()); });

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
    for (int i = 0; i < units && at < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[at]);
        if (b == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            at += 2;
        else if (cp932::isLeadByte(b) && at + 1 < text.size())
            at += 2;
        else
            at += 1;
    }
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
    if (qEnvironmentVariableIsSet("VELA_PANE_DEBUG")) qInfo("change %d -%d +%d", position, removed, added);
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
    if (qEnvironmentVariableIsSet("VELA_PANE_DEBUG")) qInfo("  edit at %zu -%zu +%zu (pending %d committing %d)", at, length, inserted.size(), pending ? int(pending->at) : -1, committing);
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
    while (at < pos) {
        const auto b = static_cast<unsigned char>(text[at]);
        at += (b == '\r' || cp932::isLeadByte(b)) && at + 1 < text.size() ? 2 : 1;
    }
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
        if (qEnvironmentVariableIsSet("VELA_PANE_DEBUG")) qInfo("pending reset by move to %d (synced %d)", toBytes(c.position()), syncedUnits);
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
        if (qEnvironmentVariableIsSet("VELA_PANE_DEBUG")) qInfo("pending set at %zu", from);
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
    mirroring = true;
    if (pieces.text.empty())
        c.removeSelectedText();
    else
        c.insertText(shownText(pieces.text));
    mirroring = false;
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
        mirroring = true;
        edit->setPlainText(shownText(model.text()));
        mirroring = false;
    }
    // Blocks laid out while the text was being replaced took formats of lines they no longer hold.
    display->invalidateAll();
    synced();
    // A new document's caret types in no format of its own until it moves.
    pending = Pending{0, PaneModel::NoFormat};
    modified = true;
    contentChanged();
}

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
Pane::~Pane() = default;

QWidget* Pane::widget() const { return d->edit; }

int Pane::selStart() const { return d->toBytes(d->cursor().selectionStart()); }

void Pane::setSelStart(int pos) {
    QTextCursor c = d->cursor();
    c.setPosition(d->toQt(pos, Snap::Back));
    d->setCursor(c);
}

int Pane::selLength() const {
    const QTextCursor c = d->cursor();
    return c.hasSelection() ? d->toBytes(c.selectionEnd()) - d->toBytes(c.selectionStart()) : 0;
}

void Pane::setSelLength(int length) {
    QTextCursor c = d->cursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    if (length > 0) c.setPosition(d->toQt(d->toBytes(start) + length, Snap::Forward), QTextCursor::KeepAnchor);
    d->setCursor(c);
}

std::string Pane::selText() const {
    const std::size_t from = d->caretStart();
    return d->model.text().substr(from, d->caretEnd() - from);
}

void Pane::setSelText(const std::string& cp932) {
    // Bytes that decode to nothing enter as the "?" the widget shows for them.
    d->replaceSelection(cp932::encode(cp932::decode(cp932).text).bytes);
}

const std::string& Pane::text() const { return d->model.text(); }

std::uint64_t Pane::contentVersion() const { return d->contentVersion; }

int Pane::textLength() const { return int(d->model.size()); }

void Pane::clear() { d->assign({}); }

Color Pane::selColor() const {
    const rtf::RunFormat& f = d->selectionFormat();
    return f.color ? *f.color : defaultColor();
}

void Pane::setSelColor(Color color) {
    d->restyleSelection([color](rtf::RunFormat& f) { f.color = color; });
}

FontStyle Pane::selStyle() const {
    const rtf::RunFormat& f = d->selectionFormat();
    const QFont base = d->defaultFont();
    FontStyle style = FontStyle::None;
    if (f.bold || base.bold()) style = style | FontStyle::Bold;
    if (f.italic || base.italic()) style = style | FontStyle::Italic;
    if (f.underline || base.underline()) style = style | FontStyle::Underline;
    return style;
}

void Pane::setSelStyle(FontStyle style) {
    d->restyleSelection([style](rtf::RunFormat& f) {
        f.bold = has(style, FontStyle::Bold);
        f.italic = has(style, FontStyle::Italic);
        f.underline = has(style, FontStyle::Underline);
    });
}

int Pane::selSize() const {
    const rtf::RunFormat& f = d->selectionFormat();
    return f.halfPoints ? (*f.halfPoints + 1) / 2 : defaultSize();
}

void Pane::setSelSize(int points) {
    if (points <= 0) return;
    d->restyleSelection([points](rtf::RunFormat& f) { f.halfPoints = std::min(points * 2, rtf::kMaxHalfPoints); });
}

std::string Pane::selFontName() const {
    const rtf::RunFormat& f = d->selectionFormat();
    return f.font ? *f.font : defaultFontName();
}

void Pane::setSelFontName(const std::string& name) {
    d->restyleSelection([&name](rtf::RunFormat& f) { f.font = name; });
}

Color Pane::defaultColor() const { return toColor(d->edit->palette().color(QPalette::Text)); }

void Pane::setDefaultColor(Color color) {
    if (color == defaultColor()) return;
    QPalette palette = d->edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text, toQColor(color));
    d->edit->setPalette(palette);
}

FontStyle Pane::defaultStyle() const {
    const QFont f = d->defaultFont();
    FontStyle style = FontStyle::None;
    if (f.bold()) style = style | FontStyle::Bold;
    if (f.italic()) style = style | FontStyle::Italic;
    if (f.underline()) style = style | FontStyle::Underline;
    return style;
}

void Pane::setDefaultStyle(FontStyle style) {
    QFont f = d->defaultFont();
    f.setBold(has(style, FontStyle::Bold));
    f.setItalic(has(style, FontStyle::Italic));
    f.setUnderline(has(style, FontStyle::Underline));
    d->setDefaultFont(f);
}

int Pane::defaultSize() const { return d->defaultFont().pointSize(); }

void Pane::setDefaultSize(int points) {
    if (points <= 0) return;
    QFont f = d->defaultFont();
    f.setPointSize(points);
    d->setDefaultFont(f);
}

std::string Pane::defaultFontName() const { return d->defaultFont().family().toStdString(); }

void Pane::setDefaultFontName(const std::string& name) {
    QFont f = d->defaultFont();
    f.setFamily(QString::fromStdString(name));
    d->setDefaultFont(f);
}

bool Pane::modified() const { return d->modified; }
void Pane::setModified(bool modified) { d->modified = modified; }

std::vector<ColourStretch> Pane::colours() const {
    std::vector<ColourStretch> out;
    d->model.forEachRun(0, d->model.size(), [&](PaneModel::FormatId id, std::string_view piece) {
        const std::optional<Color> color = d->model.format(id).color;
        if (!out.empty() && out.back().color == color)
            out.back().length += piece.size();
        else
            out.push_back({piece.size(), color});
    });
    return out;
}

rtf::RunList Pane::runs() const {
    rtf::RunList out;
    d->model.forEachRun(0, d->model.size(), [&](PaneModel::FormatId id, std::string_view piece) {
        out.push_back({std::string(piece), d->model.format(id)});
    });
    return out;
}

void Pane::setRuns(const rtf::RunList& runs) {
    rtf::PackedRuns packed;
    for (const auto& run : runs) packed.append(withLineBreaks(run.text), run.format);
    d->assign(std::move(packed));
}

void Pane::setPackedRuns(const rtf::PackedRuns& runs) {
    rtf::PackedRuns copy = runs;
    setPackedRuns(std::move(copy));
}

void Pane::setPackedRuns(rtf::PackedRuns&& runs) {
    if (runs.text.find_first_of("\r\n") != std::string::npos) {
        rtf::PackedRuns normal;
        runs.forEach([&normal](const rtf::RunFormat& f, std::string_view piece) { normal.append(withLineBreaks(piece), f); });
        // Pieces split between a CR and its LF were made two breaks above; the
        // text as a whole decides.
        if (withLineBreaks(runs.text) == normal.text) return d->assign(std::move(normal));
        d->assign(rtf::PackedRuns(onePiece(withLineBreaks(runs.text), {})));
        return;
    }
    d->assign(std::move(runs));
}

rtf::PackedRuns Pane::packedRuns() const { return d->model.packed(0, d->model.size()); }

LoadReport Pane::loadFromFile(const std::string& path, StreamFormat format) {
    const QString name = QString::fromStdString(path);
    const std::string fullPath = QFileInfo(name).absoluteFilePath().toStdString();
    // A folder, device or pipe is no document: reading one could block or never end. The file is
    // judged by what was opened, so a pipe put in its place after a look at the name cannot block.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw cannotOpenFile(fullPath);
    struct stat status {};
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotOpenFile(fullPath);
    }
    const bool rtfFile = format == StreamFormat::Rtf && rtf::looksLikeRtf(file.peek(16).toStdString());
    const std::int64_t limit = rtfFile ? kMaxRtfFileBytes : kMaxPlainTextFileBytes;
    if (file.size() > limit) throw fileTooLarge(fullPath, int(limit >> 20));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) throw streamReadFailed();
    const std::string_view bytes(data.constData(), std::size_t(data.size()));

    LoadReport report;
    if (format == StreamFormat::Rtf && rtf::looksLikeRtf(bytes)) {
        auto result = rtf::read(bytes);
        report.replaced = result.replaced;
        report.referenced = result.referenced;
        setRuns(result.runs);
        return report;
    }
    // In its own encoding; CP932 gets the round trip by character (undecodable
    // bytes become "?", NEC duplicates come back as IBM codes).
    encoding::ReadText read = encoding::readText(bytes);
    report.replaced = read.replaced;
    report.referenced = read.referenced;
    report.encoding = std::move(read.encoding);
    d->assign(onePiece(withLineBreaks(read.text), {}));
    return report;
}

void Pane::forEachRun(const std::function<void(const rtf::RunFormat&, std::string_view)>& visit) const {
    // A line break is a piece of its own.
    d->model.forEachRun(0, d->model.size(), [&](PaneModel::FormatId id, std::string_view piece) {
        const rtf::RunFormat& format = d->model.format(id);
        std::size_t from = 0;
        for (std::size_t cr = piece.find("\r\n"); cr != std::string_view::npos; cr = piece.find("\r\n", from)) {
            if (cr > from) visit(format, piece.substr(from, cr - from));
            visit(format, piece.substr(cr, 2));
            from = cr + 2;
        }
        if (from < piece.size()) visit(format, piece.substr(from));
    });
}

// The model as it was when the slices began; a change of the content ends their use.
struct Pane::RtfSlices::State {
    explicit State(const Impl& pane) : d(pane), version(pane.contentVersion), end(pane.model.size()) {
        writer.reserve(end * 3); // a page of half Japanese, half ASCII
    }
    const Impl& d;
    const std::uint64_t version;
    rtf::Writer writer;
    std::size_t at = 0;
    const std::size_t end;
};

Pane::RtfSlices::RtfSlices(std::unique_ptr<State> state) : m(std::move(state)) {}
Pane::RtfSlices::~RtfSlices() = default;

bool Pane::RtfSlices::current() const { return m->version == m->d.contentVersion; }

bool Pane::RtfSlices::next(int characters) {
    State& s = *m;
    if (s.at >= s.end) return true;
    if (!current()) return false;
    // Whole lines: a CR LF is never split between two slices.
    std::size_t to = std::size_t(characters) >= s.end - s.at ? s.end : s.at + std::size_t(std::max(characters, 1));
    if (to < s.end) {
        const BlockIndex& lines = s.d.model.lines();
        const int line = lines.blockAt(int(to));
        to = std::min(s.end, std::size_t(lines.prefix(line) + lines.length(line)));
    }
    s.d.model.forEachRun(s.at, to, [&s](PaneModel::FormatId id, std::string_view piece) {
        s.writer.append(s.d.model.format(id), piece);
    });
    s.at = to;
    return s.at >= s.end;
}

std::string Pane::RtfSlices::take() { return m->writer.finish(); }

std::unique_ptr<Pane::RtfSlices> Pane::rtfInSlices() const {
    return std::unique_ptr<RtfSlices>(new RtfSlices(std::make_unique<RtfSlices::State>(*d)));
}

std::string Pane::rtfText() const {
    RtfSlices whole(std::make_unique<RtfSlices::State>(*d));
    whole.next(std::numeric_limits<int>::max());
    return whole.take();
}

void Pane::saveToFile(const std::string& path, StreamFormat format, files::Durability durability) const {
    if (format == StreamFormat::PlainText) return files::writeFileOrThrow(path, text(), durability);
    files::writeFileOrThrow(path, rtfText(), durability);
}

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

void Pane::setKeyDownHandler(std::function<void(int)> handler) { d->keyDownHandler = std::move(handler); }

void Pane::setInputNoticeHandler(std::function<void(const std::string&)> handler) {
    d->noticeHandler = std::move(handler);
}

void Pane::setContentChangedHandler(std::function<void()> handler) { d->changedHandler = std::move(handler); }

} // namespace vela
