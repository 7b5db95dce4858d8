#pragma once
// The pane's inside, shared by its files: the model (what the document is),
// the widget that shows it, and keeping the two in step. Pane.cpp is the
// public interface, PaneSync.cpp the widget's edits into the model and the
// pane's edits into the widget, PaneInput.cpp what users put in (keys,
// input methods, clipboard, drops), PaneFiles.cpp loading and writing.

#include "Pane.h"

#include "DisplayFormats.h"
#include "PaneEdit.h"
#include "PaneModel.h"
#include "PaneText.h"

#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>

#include <functional>
#include <optional>

namespace vela {

enum class Snap { Back, Forward };

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
    void setMirroring(bool on) {
        mirroring = on;
        display->setTextChanging(on);
    }
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

} // namespace vela
