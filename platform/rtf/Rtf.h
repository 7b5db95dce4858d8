#pragma once
// The RTF codec of the editor's source documents, snapshots and clipboard.

#include "TextRun.h"

#include <cstddef>
#include <memory>
#include <functional>
#include <string>
#include <string_view>

namespace vela::rtf {

/// Standard RTF of the runs: \ansicpg932, a font table with \fcharset128, a
/// colour table, and \'hh for every byte above 0x7F and for \, { and }.
std::string write(const RunList& runs);

/// The same RTF written piece by piece, for content that is not a run list:
/// the tables are collected on the way and put in front at the end.
/// Appending runs one by one gives exactly write(runs).
class Writer {
public:
    Writer();
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    /// Room for about this many bytes of RTF (a double-byte character takes 8).
    void reserve(std::size_t rtfBytes);
    /// CP932 text in `format`; a CR LF must not be split between two calls.
    void append(const RunFormat& format, std::string_view text);
    std::string finish();

    /// The same RTF as appending every run that forEachRun visits and finish(), handed to
    /// `sink` a piece of about `pieceBytes` at a time, so that it is never held
    /// whole. The tables are known before the text: a first pass meets the
    /// formats in the order appending would. False as soon as sink is.
    using RunVisitor = std::function<void(const RunFormat&, std::string_view)>;
    static bool writeInPieces(const std::function<void(const RunVisitor&)>& forEachRun,
                              const std::function<bool(std::string_view)>& sink,
                              std::size_t pieceBytes = std::size_t(1) << 20);

private:
    /// Gives `format` its font and colour numbers; true when it differs from the format now in force.
    bool enter(const RunFormat& format);
    std::string header() const;

    struct Tables;
    std::unique_ptr<Tables> m_tables;
    std::string m_body;
    RunFormat m_current; // the reader's state after \pard: no attributes
    RunFormat m_raw;     // the last format appended, as given
    bool m_hasRaw = false;
};

/// The largest size kept, in half points (1638 pt); larger sizes are clamped to it.
constexpr int kMaxHalfPoints = 3276;

struct ReadResult {
    RunList runs;
    std::size_t replaced = 0;   ///< bytes that decode to nothing, now "?"
    std::size_t referenced = 0; ///< characters CP932 cannot hold, now references ("&#xE9;", \uN of an emoji)
};

/// Reads RTF written by us or by other programs. Loads what it can of damaged
/// input; throws AppError (streamReadFailed) when nothing sensible can be read.
ReadResult read(std::string_view rtf);

/// True when the bytes begin as an RTF group ("{\rtf"); other files are plain text.
bool looksLikeRtf(std::string_view bytes);

/// The canonical form of a run list, the form read() returns: runs with empty
/// text are dropped, an empty font name counts as no font, a colour keeps only
/// its low 24 bits (0x00BBGGRR), a size of zero or less counts as no size, a
/// size above kMaxHalfPoints becomes kMaxHalfPoints, and adjacent runs of
/// equal format are merged. write() treats its input the same
/// way, so read(write(runs)).runs == normalize(runs) for valid CP932 text.
RunList normalize(RunList runs);

} // namespace vela::rtf
