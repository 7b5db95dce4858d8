#include "PaneImpl.h"

#include "Cp932.h"
#include "Rtf.h"

#include <QColor>
#include <QFont>
#include <QPalette>

namespace vela {

using namespace panetext;

namespace {

QColor toQColor(Color c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
Color toColor(const QColor& c) { return Color(c.red()) | Color(c.green()) << 8 | Color(c.blue()) << 16; }

} // namespace

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
    // New formats over the text as it is (a refresh): its line breaks are whole already.
    if (runs.text == d->model.text()) return d->assign(std::move(runs));
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

rtf::SharedRuns Pane::sharedRuns() const { return d->model.shared(); }

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

void Pane::setKeyDownHandler(std::function<void(int)> handler) { d->keyDownHandler = std::move(handler); }

void Pane::setInputNoticeHandler(std::function<void(const std::string&)> handler) {
    d->noticeHandler = std::move(handler);
}

void Pane::setContentChangedHandler(std::function<void()> handler) { d->changedHandler = std::move(handler); }

} // namespace vela
