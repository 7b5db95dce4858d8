#pragma once
// The editing widget behind the pane. It owns no editing logic: every way
// text can enter it (keys, input-method commits, paste, middle-click, drop)
// and every way a selection leaves it (copy, cut, drag) is handed to the
// pane's InsertionFilter, so one place decides what the document accepts.

#include <QPlainTextEdit>

#include <optional>

class QMimeData;

namespace vela {

class InsertionFilter {
public:
    virtual ~InsertionFilter() = default;
    /// Before the widget handles a key; returns the text the key enters in
    /// place of its own.
    virtual QString keyDown(QKeyEvent* event) = 0;
    /// Before an input method shows uncommitted text where none was shown:
    /// it is drawn in the format typed text would take.
    virtual void compositionStarting() = 0;
    /// Before an input-method commit; returns the text committed in its place.
    virtual QString inputMethodCommit(const QString& text) = 0;
    virtual QMimeData* mimeForSelection() const = 0;
    virtual bool canInsert(const QMimeData* source) const = 0;
    virtual void insert(const QMimeData* source) = 0;
    /// Data dropped at a position of the widget; `moved` when it was dragged
    /// from the widget's own selection, which then goes.
    virtual void drop(const QMimeData* source, int position, bool moved) = 0;
    /// The format text typed at the caret comes out in, as the widget shows it.
    virtual QTextCharFormat typedFormat() const = 0;
    /// After the widget showed, changed or cleared uncommitted text in the caret's line.
    virtual void compositionShown() = 0;
};

class PaneEdit : public QPlainTextEdit {
public:
    explicit PaneEdit(InsertionFilter& filter);

    /// True while the widget only shows or clears uncommitted text: the layout
    /// reports the line as changed, but the document's text is not.
    bool showingCompositionOnly() const { return showingCompositionOnly_; }
    /// Enters the uncommitted text where it is shown, once, and ends the
    /// composition; nothing when none is shown.
    void commitComposition();
    using QPlainTextEdit::firstVisibleBlock;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString shownComposition() const;

    InsertionFilter& filter_;
    bool showingCompositionOnly_ = false;
    // What commitComposition entered: an input method that commits its text
    // when reset (ibus with mozc) sends it once more.
    std::optional<QString> echo_;
};

} // namespace vela
