#pragma once
// The RTF codec of the editor's source documents, snapshots and clipboard.

#include "TextRun.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vela::rtf {

/// Standard RTF of the runs: \ansicpg932, a font table with \fcharset128, a
/// colour table, and \'hh for every byte above 0x7F and for \, { and }.
std::string write(const RunList& runs);

/// The largest size kept, in half points (1638 pt); larger sizes are clamped to it.
constexpr int kMaxHalfPoints = 3276;

struct ReadResult {
    RunList runs;
    std::size_t replaced = 0; ///< characters CP932 cannot hold, and bad bytes, that became "?"
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
