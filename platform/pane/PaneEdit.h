#pragma once
// The editing widget behind the pane. It owns no editing logic: every way
// text can enter it (keys, input-method commits, paste, middle-click, drop)
// and every way a selection leaves it (copy, cut, drag) is handed to the
// pane's InsertionFilter, so one place decides what the document accepts.

#include <QPlainTextEdit>

class QMimeData;

namespace vela {

class InsertionFilter {
public:
    virtual ~InsertionFilter() = default;
    /// Before the widget handles a key; returns the text the key enters in
    /// place of its own.
    virtual QString keyDown(QKeyEvent* event) = 0;
    /// Before an input-method commit; returns the text committed in its place.
    virtual QString inputMethodCommit(const QString& text) = 0;
    virtual QMimeData* mimeForSelection() const = 0;
    virtual bool canInsert(const QMimeData* source) const = 0;
    virtual void insert(const QMimeData* source) = 0;
    /// Data dropped at a position of the widget; `moved` when it was dragged
    /// from the widget's own selection, which then goes.
    virtual void drop(const QMimeData* source, int position, bool moved) = 0;
};

class PaneEdit : public QPlainTextEdit {
public:
    explicit PaneEdit(InsertionFilter& filter);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;

private:
    InsertionFilter& filter_;
};

} // namespace vela
