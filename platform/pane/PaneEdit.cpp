#include "PaneEdit.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace vela {

PaneEdit::PaneEdit(InsertionFilter& filter) : filter_(filter) {}

void PaneEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = filter_.keyDown(event);
    // An Alt chord that no menu took types nothing, as in the platform's rich-edit control.
    // Characters composed with AltGr arrive without the Alt modifier and still type.
    if ((event->modifiers() & Qt::AltModifier) && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->ignore();
        return;
    }
    // Shift+Enter would insert Qt's line separator (U+2028), which CP932 text
    // cannot hold; it is an ordinary line break here.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool shiftEnter = enter && (event->modifiers() & Qt::ShiftModifier);
    if (shiftEnter || text != event->text()) {
        const Qt::KeyboardModifiers modifiers = shiftEnter ? event->modifiers() & ~Qt::ShiftModifier : event->modifiers();
        QKeyEvent replaced(event->type(), event->key(), modifiers, text, event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&replaced);
        event->setAccepted(replaced.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PaneEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    const QString text = filter_.inputMethodCommit(event->commitString());
    if (text == event->commitString()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(text, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&replaced);
    event->accept();
}

QMimeData* PaneEdit::createMimeDataFromSelection() const { return filter_.mimeForSelection(); }

bool PaneEdit::canInsertFromMimeData(const QMimeData* source) const { return filter_.canInsert(source); }

void PaneEdit::insertFromMimeData(const QMimeData* source) { filter_.insert(source); }

void PaneEdit::dropEvent(QDropEvent* event) {
    // The widget's own drop would report its change only after the pane had
    // made it; the pane makes the whole drop itself.
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    const int position = cursorForPosition(event->position().toPoint()).position();
    const bool moved = event->source() == this && event->dropAction() == Qt::MoveAction;
    filter_.drop(event->mimeData(), position, moved);
    event->acceptProposedAction();
    setFocus();
}

} // namespace vela
