#pragma once
// The editing pane: the platform's rich-text edit control as the editor's logic
// sees it. Every position and length counts CP932 bytes of the text, with a line
// break counted as 2 (CR LF). Qt stays behind the pimpl; the same class drives
// the window's widget and the tests.

#include "FileReplace.h"
#include "TextRun.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace vela {

using Color = std::uint32_t; ///< 0x00BBGGRR

enum class FontStyle : unsigned { None = 0, Bold = 1, Italic = 2, Underline = 4 };
constexpr FontStyle operator|(FontStyle a, FontStyle b) { return FontStyle(unsigned(a) | unsigned(b)); }
constexpr FontStyle operator&(FontStyle a, FontStyle b) { return FontStyle(unsigned(a) & unsigned(b)); }
constexpr bool has(FontStyle set, FontStyle s) { return (unsigned(set) & unsigned(s)) != 0; }

enum class StreamFormat { Rtf, PlainText };

/// A stretch of the text by its own colour (none: the default colour).
struct ColourStretch {
    std::size_t length; ///< bytes
    std::optional<Color> color;
};

/// The largest files a load reads, refused before reading: past them a load
/// takes minutes and gigabytes (a 100 MB page: a minute, 2 GiB). Our RTF of a
/// page is about three times its size (a double-byte character is two \'hh),
/// so the source document of a page within the plain-text limit fits the RTF one.
constexpr std::int64_t kMaxPlainTextFileBytes = std::int64_t(16) << 20;
constexpr std::int64_t kMaxRtfFileBytes = std::int64_t(64) << 20;

/// What a load read and had to change.
struct LoadReport {
    std::size_t replaced = 0;   ///< bytes that decoded to nothing, now "?"
    std::size_t referenced = 0; ///< characters CP932 cannot hold, now references ("&#xE9;")
    std::string encoding;       ///< a plain-text file's encoding when not CP932 ("UTF-8", ...)
};

class Pane {
public:
    Pane();
    ~Pane();
    Pane(const Pane&) = delete;
    Pane& operator=(const Pane&) = delete;

    /// The editing widget, for the window's layout. Tests need not show it.
    /// Its context-menu policy is Qt::CustomContextMenu: the window connects
    /// customContextMenuRequested to its own Edit menu.
    QWidget* widget() const;

    // Positions (CP932 bytes, CR LF = 2). Setters clamp past the end. A
    // position inside a double-byte character or between CR and LF snaps to
    // whole characters: a caret or selection start moves back before the
    // character, a selection end moves on past it.
    int selStart() const;
    void setSelStart(int pos);      ///< collapses the selection to a caret at pos
    int selLength() const;
    void setSelLength(int length);  ///< extends from selStart
    std::string selText() const;
    /// Replaces the selection; the new text takes the selection attributes,
    /// the caret ends after it. Characters CP932 cannot hold cannot occur (the input is CP932).
    void setSelText(const std::string& cp932);
    /// The whole text; kept between changes, so repeated calls cost nothing.
    /// The reference is valid until the next change of the content.
    const std::string& text() const;
    /// Counts changes of the content (text or format), for callers that keep
    /// something derived from it.
    std::uint64_t contentVersion() const;
    int textLength() const;
    void clear();

    // Selection attributes: of the selected text (its start, for a mixed
    // selection), or with an empty selection of the next inserted text.
    Color selColor() const;
    void setSelColor(Color color);
    FontStyle selStyle() const;
    void setSelStyle(FontStyle style);
    int selSize() const;            ///< points
    void setSelSize(int points);
    std::string selFontName() const; ///< UTF-8
    void setSelFontName(const std::string& name);

    // Default attributes: what text with no format of its own shows in.
    // Setting a value equal to the current one touches nothing.
    Color defaultColor() const;
    void setDefaultColor(Color color);
    FontStyle defaultStyle() const;
    void setDefaultStyle(FontStyle style);
    int defaultSize() const;
    void setDefaultSize(int points);
    std::string defaultFontName() const;
    void setDefaultFontName(const std::string& name);

    bool modified() const;
    void setModified(bool modified);

    /// The whole text's own colours in order, neighbours of one colour joined:
    /// what runs() tells of colour, without copying the text.
    std::vector<ColourStretch> colours() const;

    /// Whole content as runs, and replaced by runs (built aside, swapped in).
    rtf::RunList runs() const;
    void setRuns(const rtf::RunList& runs);
    void setPackedRuns(const rtf::PackedRuns& runs); ///< the same, from the compact form
    void setPackedRuns(rtf::PackedRuns&& runs);      ///< the same, taking the runs over
    /// The whole content for writing elsewhere, on another thread, while the
    /// pane goes on changing: the text shared until the pane next changes it.
    rtf::SharedRuns sharedRuns() const;

    /// Calls visit(format, CP932 text) for the whole content in order, piece
    /// by piece (a line break is a piece "\r\n" of its own; neighbours may share
    /// a format): runs() without holding them all.
    void forEachRun(const std::function<void(const rtf::RunFormat&, std::string_view)>& visit) const;

    /// The whole content as RTF: rtf::write(runs()), without the run list.
    std::string rtfText() const;

    /// rtfText() made a slice at a time, so that the GUI thread can handle
    /// events in between. A change of the content makes it stale.
    class RtfSlices {
    public:
        ~RtfSlices();
        RtfSlices(const RtfSlices&) = delete;
        RtfSlices& operator=(const RtfSlices&) = delete;
        /// Adds about `characters` more of the content, in whole lines; true
        /// once all of it is in. Does nothing once stale.
        bool next(int characters);
        /// False once the content changed after the slices began: the result would mix two versions.
        bool current() const;
        /// The RTF, once next() returned true.
        std::string take();

    private:
        friend class Pane;
        struct State;
        explicit RtfSlices(std::unique_ptr<State> state);
        std::unique_ptr<State> m;
    };
    /// Begins the RTF of the content as it is now; the pane must outlive it.
    std::unique_ptr<RtfSlices> rtfInSlices() const;

    /// Whole-content streaming; throws AppError with the file messages.
    /// A load reads only a regular file within its size limit (RTF when the
    /// format is Rtf and the file begins as RTF, otherwise plain text in its
    /// own encoding, see encoding::readText).
    /// Writes replace the target only once the new file is complete.
    LoadReport loadFromFile(const std::string& path, StreamFormat format);
    void saveToFile(const std::string& path, StreamFormat format,
                    files::Durability durability = files::Durability::SyncedToDisk) const;

    void cutToClipboard();
    void copyToClipboard() const;
    void pasteFromClipboard();
    bool clipboardHasText() const;  ///< cached; no clipboard round trip

    /// Enters the input method's uncommitted text where it is shown and ends
    /// the composition; for every command that changes the text, before it runs.
    void commitComposition();

    /// Runs before the widget handles a key (Qt::Key value; input-method commits,
    /// and uncommitted text shown where none was, report 0).
    void setKeyDownHandler(std::function<void(int qtKey)> handler);
    /// Told (UTF-8 message) what became of input: characters CP932 cannot hold
    /// entered as references ("&#xE9;"), or data other than text refused.
    void setInputNoticeHandler(std::function<void(const std::string& message)> handler);
    /// Told after every change of the content (text or format, a load included),
    /// while the change is being made: keep it cheap.
    void setContentChangedHandler(std::function<void()> handler);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vela
