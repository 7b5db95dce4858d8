#include "Pane.h"

#include "AppError.h"
#include "BlockIndex.h"
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
#include <QPlainTextDocumentLayout>
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

QString decodeCp932(const std::string& bytes) {
    const auto d = cp932::decode(bytes);
    return QString::fromUtf16(d.text.data(), qsizetype(d.text.size()));
}

// Selected text uses U+2029 for block breaks; CP932 text uses CR LF.
std::string encodeSelected(const QString& s) {
    std::u16string u;
    u.reserve(std::size_t(s.size()));
    for (QChar ch : s) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator)
            u += u"\r\n";
        else
            u += ch.unicode();
    }
    return cp932::encode(u).bytes;
}

QTextCharFormat toQtFormat(const rtf::RunFormat& f) {
    QTextCharFormat q;
    if (f.font) q.setFontFamilies({QString::fromUtf8(f.font->c_str())});
    if (f.color) q.setForeground(toQColor(*f.color));
    if (f.bold) q.setFontWeight(QFont::Bold);
    if (f.italic) q.setFontItalic(true);
    if (f.underline) q.setFontUnderline(true);
    if (f.halfPoints) q.setFontPointSize(*f.halfPoints / 2.0);
    return q;
}

std::optional<QString> familyOf(const QTextCharFormat& f) {
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.fontFamilies().toStringList();
        if (!families.isEmpty()) return families.first();
    }
    if (f.hasProperty(QTextFormat::FontFamily)) return f.stringProperty(QTextFormat::FontFamily);
    return std::nullopt;
}

bool hasUnderline(const QTextCharFormat& f) {
    return f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline);
}

rtf::RunFormat toRunFormat(const QTextCharFormat& f) {
    rtf::RunFormat r;
    if (auto family = familyOf(f)) r.font = family->toStdString();
    if (f.hasProperty(QTextFormat::ForegroundBrush)) r.color = toColor(f.foreground().color());
    r.bold = f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::DemiBold;
    r.italic = f.hasProperty(QTextFormat::FontItalic) && f.fontItalic();
    r.underline = hasUnderline(f) && f.fontUnderline();
    if (f.hasProperty(QTextFormat::FontPointSize)) r.halfPoints = qRound(f.fontPointSize() * 2);
    return r;
}

// A document has few distinct formats: each is converted once, looked up by
// Qt's format index.
class RunFormats {
public:
    explicit RunFormats(const QTextDocument& doc) : doc_(doc) {}
    const rtf::RunFormat& of(int index) {
        index = std::max(index, 0);
        if (std::size_t(index) >= formats_.size()) formats_.resize(std::size_t(index) + 1);
        auto& slot = formats_[std::size_t(index)];
        if (!slot) slot = toRunFormat(doc_.allFormats().value(index).toCharFormat());
        return *slot;
    }

private:
    const QTextDocument& doc_;
    std::vector<std::optional<rtf::RunFormat>> formats_;
};

std::u16string_view unitsOf(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

// Collects runs, joining neighbours of equal format and encoding straight into the open run.
class RunBuilder {
public:
    explicit RunBuilder(const QTextDocument& doc) : formats_(doc) {}

    void add(int formatIndex, QStringView text) {
        if (text.isEmpty()) return;
        if (runs_.empty() || formatIndex != index_) {
            const rtf::RunFormat& format = formats_.of(formatIndex);
            if (runs_.empty() || format != runs_.back().format) runs_.push_back({{}, format});
            index_ = formatIndex;
        }
        cp932::appendEncoded(runs_.back().text, unitsOf(text));
    }
    rtf::RunList finish() { return std::move(runs_); }

private:
    RunFormats formats_;
    rtf::RunList runs_;
    int index_ = -1;
};

// Inserts pieces at the cursor; `pieces(add)` calls add(format, CP932 text) for
// each in order. Pieces share few formats, so each Qt format is made once; the
// text is decoded into one reused buffer with its line breaks made "\n".
template <typename Pieces> void insertPiecesAt(QTextCursor& c, Pieces pieces) {
    // A few formats are looked up; a file with very many is converted per run
    // rather than searched through.
    constexpr std::size_t MaxKnownFormats = 32;
    std::vector<std::pair<rtf::RunFormat, QTextCharFormat>> formats;
    QTextCharFormat converted;
    auto qtFormat = [&](const rtf::RunFormat& f) -> const QTextCharFormat& {
        for (const auto& known : formats)
            if (known.first == f) return known.second;
        if (formats.size() == MaxKnownFormats) return converted = toQtFormat(f);
        formats.emplace_back(f, toQtFormat(f));
        return formats.back().second;
    };
    std::u16string units;
    pieces([&](const rtf::RunFormat& format, std::string_view text) {
        units.clear();
        cp932::appendDecoded(units, text);
        // CR LF and lone CR become the "\n" that insertText turns into one block break.
        std::size_t out = 0;
        for (std::size_t i = 0; i < units.size(); ++i) {
            char16_t u = units[i];
            if (u == u'\r') {
                if (i + 1 < units.size() && units[i + 1] == u'\n') ++i;
                u = u'\n';
            }
            units[out++] = u;
        }
        if (out == 0) return;
        c.insertText(QString::fromRawData(reinterpret_cast<const QChar*>(units.data()), qsizetype(out)),
                     qtFormat(format));
    });
}

void insertRunsAt(QTextCursor& c, const rtf::RunList& runs) {
    insertPiecesAt(c, [&runs](auto add) {
        for (const auto& run : runs) add(run.format, run.text);
    });
}

enum class Snap { Back, Forward };

} // namespace

struct Pane::Impl final : InsertionFilter {
    Impl();
    ~Impl() override;

    QPointer<PaneEdit> edit;
    QTextDocument* doc = nullptr;
    QMetaObject::Connection contentsConnection;
    BlockIndex index;
    bool modified = false;
    bool clipboardText = false;
    // The whole text as CP932, made when first asked for after a change.
    mutable std::optional<std::string> textCache;
    std::uint64_t contentVersion = 0;
    std::function<void(int)> keyDownHandler;
    std::function<void(const std::string&)> noticeHandler;
    std::function<void()> changedHandler;

    void bindDocument();
    void rebuildIndex();
    void contentChanged();
    void onContentsChange(int position, int removed, int added);
    int blockBytes(const QTextBlock& block) const;

    int toBytes(int qtPos) const;
    int toQt(int bytePos, Snap snap) const;

    QTextCursor cursor() const { return edit->textCursor(); }
    void setCursor(const QTextCursor& c) { edit->setTextCursor(c); }

    QTextCharFormat formatAt(int qtPos) const;
    QTextCharFormat selectionFormat() const;
    void mergeSelection(const QTextCharFormat& modifier);
    QFont defaultFont() const { return doc->defaultFont(); }
    void setDefaultFont(const QFont& font);

    /// Calls visit(Qt format index, text, isLineBreak) for the text of
    /// [from, to) in order, a line break as its one separator character.
    template <typename F> void forEachFragment(int from, int to, F visit) const;
    /// forEachFragment over `all`, the document's raw text from position `base`
    /// on, taken by the caller; with a null `all`, each fragment's own text.
    template <typename F> void forEachFragmentIn(QStringView all, int base, int from, int to, F visit) const;
    /// Calls visit(format, CP932 text) for [from, to) in order, a line break as "\r\n";
    /// `bytes` is the caller's buffer for the text.
    template <typename F>
    void forEachRunIn(QStringView all, int base, RunFormats& formats, std::string& bytes, int from, int to,
                      F visit) const;
    rtf::RunList runsBetween(int from, int to) const;
    template <typename Pieces> void swapIn(Pieces pieces);
    void insertText(QTextCursor& c, const QString& text);
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
};

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
    bindDocument();

    QClipboard* clipboard = QGuiApplication::clipboard();
    auto refreshClipboard = [this, clipboard] {
        const QMimeData* data = clipboard->mimeData();
        clipboardText = data && data->hasText();
    };
    QObject::connect(clipboard, &QClipboard::dataChanged, edit, refreshClipboard);
    refreshClipboard();
}

Pane::Impl::~Impl() { delete edit.data(); }

void Pane::Impl::bindDocument() {
    QObject::disconnect(contentsConnection);
    contentsConnection = QObject::connect(doc, &QTextDocument::contentsChange, edit,
                                          [this](int p, int r, int a) { onContentsChange(p, r, a); });
    rebuildIndex();
}

int Pane::Impl::blockBytes(const QTextBlock& block) const {
    const QString text = block.text();
    return widthOf(text, int(text.size())) + (block.next().isValid() ? 2 : 0);
}

void Pane::Impl::contentChanged() {
    textCache.reset();
    ++contentVersion;
    if (changedHandler) changedHandler();
}

void Pane::Impl::rebuildIndex() {
    contentChanged();
    std::vector<int> lengths;
    lengths.reserve(std::size_t(doc->blockCount()));
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) lengths.push_back(blockBytes(b));
    index.assign(std::move(lengths));
}

void Pane::Impl::onContentsChange(int position, int removed, int added) {
    if (edit->showingCompositionOnly()) return;
    // Format-only changes arrive with removed == added; they count as changes too.
    if (removed != 0 || added != 0) modified = true;
    contentChanged();
    const int last = std::max(0, doc->characterCount() - 1);
    const int first = doc->findBlock(std::clamp(position, 0, last)).blockNumber();
    const int lastNew = doc->findBlock(std::clamp(position + added, 0, last)).blockNumber();
    const int newCount = lastNew - first + 1;
    const int oldCount = newCount - (doc->blockCount() - index.blockCount());
    if (first < 0 || oldCount < 1 || first + oldCount > index.blockCount()) {
        rebuildIndex();
        return;
    }
    std::vector<int> lengths;
    lengths.reserve(std::size_t(newCount));
    for (QTextBlock b = doc->findBlockByNumber(first); b.isValid() && b.blockNumber() <= lastNew; b = b.next())
        lengths.push_back(blockBytes(b));
    index.replace(first, oldCount, lengths);
}

int Pane::Impl::toBytes(int qtPos) const {
    const QTextBlock block = doc->findBlock(qtPos);
    if (!block.isValid()) return index.total();
    const QString text = block.text();
    const int units = std::clamp(qtPos - block.position(), 0, int(text.size()));
    return index.prefix(block.blockNumber()) + widthOf(text, units);
}

int Pane::Impl::toQt(int bytePos, Snap snap) const {
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

QTextCharFormat Pane::Impl::formatAt(int qtPos) const {
    const QTextBlock block = doc->findBlock(qtPos);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(qtPos)) return fragment.charFormat();
    }
    // qtPos is the line break; its format is the next block's character format.
    const QTextBlock next = block.next();
    return next.isValid() ? next.charFormat() : block.charFormat();
}

QTextCharFormat Pane::Impl::selectionFormat() const {
    const QTextCursor c = cursor();
    return c.hasSelection() ? formatAt(c.selectionStart()) : c.charFormat();
}

void Pane::Impl::mergeSelection(const QTextCharFormat& modifier) {
    QTextCursor c = cursor();
    c.mergeCharFormat(modifier);
    setCursor(c);
}

void Pane::Impl::setDefaultFont(const QFont& font) {
    if (font == doc->defaultFont()) return;
    edit->setFont(font);
    doc->setDefaultFont(font);
}

template <typename F> void Pane::Impl::forEachFragment(int from, int to, F visit) const {
    // One copy of the document's text, and positions summed up here: asking a
    // block or fragment for its text or position costs a tree walk each.
    const QString raw = doc->toRawText();
    forEachFragmentIn(raw, 0, from, to, visit);
}

template <typename F> void Pane::Impl::forEachFragmentIn(QStringView all, int base, int from, int to, F visit) const {
    QTextBlock b = doc->findBlock(from);
    int blockStart = b.isValid() ? b.position() : 0;
    for (; b.isValid() && blockStart < to; b = b.next()) {
        const int blockLength = b.length(); // the break included
        int at = blockStart;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int length = f.length();
            const int start = std::max(from, at), end = std::min(to, at + length);
            if (start < end) {
                if (!all.isNull()) {
                    visit(f.charFormatIndex(), all.mid(start - base, end - start), false);
                } else {
                    const QString text = f.text();
                    visit(f.charFormatIndex(), QStringView(text).mid(start - at, end - start), false);
                }
            }
            at += length;
        }
        const QTextBlock next = b.next();
        const int breakPos = blockStart + blockLength - 1;
        if (next.isValid() && breakPos >= from && breakPos < to)
            visit(next.charFormatIndex(), all.isNull() ? QStringView(u"\u2029") : all.mid(breakPos - base, 1), true);
        blockStart += blockLength;
    }
}

template <typename F>
void Pane::Impl::forEachRunIn(QStringView all, int base, RunFormats& formats, std::string& bytes, int from, int to,
                              F visit) const {
    forEachFragmentIn(all, base, from, to, [&](int format, QStringView text, bool lineBreak) {
        bytes.clear();
        if (lineBreak)
            bytes = "\r\n";
        else
            cp932::appendEncoded(bytes, unitsOf(text));
        visit(formats.of(format), std::string_view(bytes));
    });
}

rtf::RunList Pane::Impl::runsBetween(int from, int to) const {
    RunBuilder builder(*doc);
    forEachFragment(from, to, [&builder](int format, QStringView text, bool lineBreak) {
        builder.add(format, lineBreak ? QStringView(u"\r\n") : text);
    });
    return builder.finish();
}

template <typename Pieces> void Pane::Impl::swapIn(Pieces pieces) {
    // The runs hold the whole content: the old text goes before the new is
    // built, so a big page is never held twice. No event is handled in between,
    // so the empty pane never shows.
    QObject::disconnect(contentsConnection);
    doc->clear();
    auto* fresh = new QTextDocument(edit);
    fresh->setUndoRedoEnabled(false);
    fresh->setDefaultFont(doc->defaultFont());
    fresh->setDefaultTextOption(doc->defaultTextOption());
    fresh->setDocumentMargin(doc->documentMargin());
    {
        QTextCursor c(fresh);
        c.beginEditBlock();
        insertPiecesAt(c, pieces);
        c.endEditBlock();
    }
    fresh->setDocumentLayout(new QPlainTextDocumentLayout(fresh));
    // The widget deletes its first document itself; later ones are ours.
    QPointer<QTextDocument> old = doc;
    edit->setDocument(fresh);
    doc = fresh;
    bindDocument();
    if (old && old->parent() == edit) delete old.data();
    modified = true;
}

void Pane::Impl::insertText(QTextCursor& c, const QString& text) {
    // Replacing a selection, the new text takes the format of its start, as
    // the selection attributes report it.
    if (c.hasSelection())
        c.insertText(text, formatAt(c.selectionStart()));
    else
        c.insertText(text);
}

void Pane::Impl::insertRuns(const rtf::RunList& runs) {
    QTextCursor c = cursor();
    c.beginEditBlock();
    c.removeSelectedText();
    insertRunsAt(c, runs);
    c.endEditBlock();
    setCursor(c);
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
    QTextCursor c = cursor();
    insertText(c, text);
    setCursor(c);
}

QString Pane::Impl::keyDown(QKeyEvent* event) {
    if (keyDownHandler) keyDownHandler(event->key());
    return accepted(event->text());
}

void Pane::Impl::compositionStarting() {
    if (keyDownHandler) keyDownHandler(0);
}

QString Pane::Impl::inputMethodCommit(const QString& text) {
    if (keyDownHandler) keyDownHandler(0);
    return accepted(text);
}

QMimeData* Pane::Impl::mimeForSelection() const {
    const QTextCursor c = cursor();
    auto* data = new QMimeData;
    data->setText(normalizeBreaks(c.selectedText()));
    data->setData(kRtfMime, QByteArray::fromStdString(rtf::write(runsBetween(c.selectionStart(), c.selectionEnd()))));
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

std::string Pane::selText() const { return encodeSelected(d->cursor().selectedText()); }

void Pane::setSelText(const std::string& cp932) {
    QTextCursor c = d->cursor();
    d->insertText(c, normalizeBreaks(decodeCp932(cp932)));
    d->setCursor(c);
}

const std::string& Pane::text() const {
    if (!d->textCache) {
        // One pass over the document's own buffer; block breaks are U+2029 there.
        const QString raw = d->doc->toRawText();
        const auto* units = reinterpret_cast<const char16_t*>(raw.utf16());
        const std::size_t count = std::size_t(raw.size());
        std::string bytes;
        bytes.reserve(std::size_t(d->index.total()));
        std::size_t from = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (units[i] != u'\u2029') continue;
            cp932::appendEncoded(bytes, std::u16string_view(units + from, i - from));
            bytes += "\r\n";
            from = i + 1;
        }
        cp932::appendEncoded(bytes, std::u16string_view(units + from, count - from));
        d->textCache = std::move(bytes);
    }
    return *d->textCache;
}

std::uint64_t Pane::contentVersion() const { return d->contentVersion; }

int Pane::textLength() const { return d->index.total(); }

void Pane::clear() {
    QTextCursor c(d->doc);
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setBlockCharFormat(QTextCharFormat());
    c.setCharFormat(QTextCharFormat());
    d->setCursor(c);
}

Color Pane::selColor() const {
    const QTextCharFormat f = d->selectionFormat();
    return f.hasProperty(QTextFormat::ForegroundBrush) ? toColor(f.foreground().color()) : defaultColor();
}

void Pane::setSelColor(Color color) {
    QTextCharFormat f;
    f.setForeground(toQColor(color));
    d->mergeSelection(f);
}

FontStyle Pane::selStyle() const {
    const QTextCharFormat f = d->selectionFormat();
    const QFont base = d->defaultFont();
    const bool bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : base.bold();
    const bool italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
    const bool underline = hasUnderline(f) ? f.fontUnderline() : base.underline();
    FontStyle style = FontStyle::None;
    if (bold) style = style | FontStyle::Bold;
    if (italic) style = style | FontStyle::Italic;
    if (underline) style = style | FontStyle::Underline;
    return style;
}

void Pane::setSelStyle(FontStyle style) {
    QTextCharFormat f;
    f.setFontWeight(has(style, FontStyle::Bold) ? QFont::Bold : QFont::Normal);
    f.setFontItalic(has(style, FontStyle::Italic));
    f.setFontUnderline(has(style, FontStyle::Underline));
    d->mergeSelection(f);
}

int Pane::selSize() const {
    const QTextCharFormat f = d->selectionFormat();
    return f.hasProperty(QTextFormat::FontPointSize) ? qRound(f.fontPointSize()) : defaultSize();
}

void Pane::setSelSize(int points) {
    if (points <= 0) return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    d->mergeSelection(f);
}

std::string Pane::selFontName() const {
    const auto family = familyOf(d->selectionFormat());
    return family ? family->toStdString() : defaultFontName();
}

void Pane::setSelFontName(const std::string& name) {
    QTextCharFormat f;
    f.setFontFamilies({QString::fromStdString(name)});
    d->mergeSelection(f);
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
    RunFormats formats(*d->doc);
    auto add = [&out](std::size_t bytes, std::optional<Color> color) {
        if (bytes == 0) return;
        if (!out.empty() && out.back().color == color)
            out.back().length += bytes;
        else
            out.push_back({bytes, color});
    };
    d->forEachFragment(0, d->doc->characterCount() - 1, [&](int format, QStringView text, bool lineBreak) {
        std::size_t bytes = 0;
        if (lineBreak)
            bytes = 2;
        else
            for (QChar ch : text) bytes += std::size_t(unitWidth(ch));
        add(bytes, formats.of(format).color);
    });
    return out;
}

rtf::RunList Pane::runs() const { return d->runsBetween(0, d->doc->characterCount() - 1); }

void Pane::setRuns(const rtf::RunList& runs) {
    d->swapIn([&runs](auto add) {
        for (const auto& run : runs) add(run.format, run.text);
    });
}

void Pane::setPackedRuns(const rtf::PackedRuns& runs) {
    d->swapIn([&runs](auto add) { runs.forEach(add); });
}

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
    setRuns({rtf::TextRun{std::move(read.text), {}}});
    return report;
}

void Pane::forEachRun(const std::function<void(const rtf::RunFormat&, std::string_view)>& visit) const {
    const QString raw = d->doc->toRawText();
    RunFormats formats(*d->doc);
    std::string bytes;
    d->forEachRunIn(raw, 0, formats, bytes, 0, d->doc->characterCount() - 1, visit);
}

// Straight from the document: a run list of a big page would take many times
// the memory of its text. The converted formats are kept from slice to slice;
// a change of the content ends their use.
struct Pane::RtfSlices::State {
    explicit State(const Impl& pane)
        : d(pane), version(pane.contentVersion), formats(*pane.doc), end(pane.doc->characterCount() - 1) {
        writer.reserve(std::size_t(pane.index.total()) * 3); // a page of half Japanese, half ASCII
    }
    const Impl& d;
    const std::uint64_t version;
    RunFormats formats;
    rtf::Writer writer;
    std::string bytes;
    int at = 0;
    const int end;
};

Pane::RtfSlices::RtfSlices(std::unique_ptr<State> state) : m(std::move(state)) {}
Pane::RtfSlices::~RtfSlices() = default;

bool Pane::RtfSlices::current() const { return m->version == m->d.contentVersion; }

bool Pane::RtfSlices::next(int characters) {
    State& s = *m;
    if (s.at >= s.end) return true;
    if (!current()) return false;
    int to = characters >= s.end - s.at ? s.end : s.at + std::max(characters, 1);
    // To the end of that line: a CR LF is never split between two slices.
    if (to < s.end) {
        const QTextBlock block = s.d.doc->findBlock(to);
        to = std::min(s.end, block.position() + block.length());
    }
    // Each fragment's own text: a copy of the whole document's text would hold
    // the thread as long as a dozen slices (20 ms at 10 MB).
    s.d.forEachRunIn({}, 0, s.formats, s.bytes, s.at, to,
                     [&s](const rtf::RunFormat& format, std::string_view piece) { s.writer.append(format, piece); });
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
    QTextCursor c = d->cursor();
    if (!c.hasSelection()) return;
    copyToClipboard();
    c.removeSelectedText();
    d->setCursor(c);
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
