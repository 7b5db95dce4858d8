#pragma once
// The program-wide state of the editor. TForm1 owns the one instance for the
// whole run; every subsystem reads and writes it by reference, because the
// commands communicate through this state rather than through arguments.

#include <cstdint>
#include <memory>
#include <string>

namespace vela {

class UndoSnapshotWrite;

/// The tag that the next SetSelText writes: its two texts and one-shot switches.
/// A switch counts as on only when it is exactly 1 (UseYellow: when nonzero).
struct PendingTagState {
    std::string OpenText;  ///< CP932; written before the selection
    std::string CloseText; ///< CP932; written after the selection
    std::int32_t Bold = 0;
    std::int32_t Italic = 0;
    std::int32_t Underline = 0;
    std::int32_t FontSizeLevel = 0; ///< 2..7 give a preview size
    std::int32_t HeadingLevel = 0;  ///< 1..6 give a preview size, applied after FontSizeLevel
    std::int32_t UseYellow = 0;     ///< structure-tag colour instead of cyan
    std::int32_t NoReselect = 0;    ///< leave the caret after the closing text, no preview
};

/// Results the tag dialogs hand back to their commands: one member (or two)
/// per dialog, empty at start, emptied by the dialog's Cancel. The dialogs'
/// modules add theirs here. All CP932.
struct DialogResults {
    std::string BodyColorText;        ///< TTabbedNotebookDlg: " TEXT=..." and/or " BGCOLOR=...", or empty
    std::string FontColorText;        ///< TForm11: " COLOR=..."; empty = cancelled
    std::string FontSizeOpenText;     ///< TForm4: "<FONT SIZE=n>"; empty = cancelled
    std::string FontSizeCloseText;    ///< TForm4: "</FONT>"
    std::string MarqueeBehaviorText;  ///< TForm9: "SCROLL", "ALTERNATE" or "SLIDE"; empty = cancelled
    std::string MarqueeDirectionText; ///< TForm9: "LEFT" or "RIGHT"
    std::string ImageAlignText;       ///< TForm15: " ALIGN=..." or empty (never a cancel)
    std::string OrderedListText;      ///< TForm14: "START=1 TYPE=1" and the like; empty = cancelled
    std::string InputFieldTagText;    ///< TForm16: the whole INPUT tag; empty = cancelled
    std::string TextAreaTagText;      ///< TForm17: the opening TEXTAREA tag; empty = cancelled
    std::string SelectButtonText;     ///< TForm18: attributes and ">" of a radio button or check box; empty = cancelled
    std::string FrameColsText;        ///< TForm12: "COLS=..." or empty; "C" = cancelled
    std::string FrameRowsText;        ///< TForm12: "ROWS=..." or empty
    std::string FrameTagText;         ///< TForm13: the whole FRAME tag; empty = cancelled
};

struct EditorState {
    PendingTagState PendingTag;

    // Undo snapshot: the file holding the document as it was, and the selection then.
    std::string UndoFilePath; ///< fixed once at start-up, never changed afterwards
    std::int32_t UndoAvailable = 0;
    std::int32_t UndoSelStart = 0;
    std::int32_t UndoSelLength = 0;
    /// The snapshot of an Enter, while it is being written on a worker thread (see UndoSnapshot.h).
    std::shared_ptr<UndoSnapshotWrite> UndoWrite;

    // Settings values, read from MARVOK.INI at start-up and at every New.
    std::int32_t LineBreakAfterTag = 0;
    std::int32_t ReselectAfterTag = 0;
    std::int32_t ImageFileNameOnly = 0;
    std::int32_t AutoRefreshOnImport = 0; ///< not stored in the file; 0 at every start
    std::string MailAddress;              ///< CP932; empty when none is stored

    std::string SourcePath;  ///< the current source document's file, empty for a new one
    std::string LinkKeyword; ///< CP932; the last link target keyword

    std::int32_t FirstActivation = 0; ///< 0 until the main window was first activated

    DialogResults Dialogs;
};

} // namespace vela
