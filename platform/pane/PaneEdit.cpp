#include "PaneEdit.h"

#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

namespace vela {

PaneEdit::PaneEdit(InsertionFilter& filter) : filter_(filter) {}

void PaneEdit::keyPressEvent(QKeyEvent* event) {
    echo_.reset();
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

// Input methods. Showing or clearing uncommitted text is no change of the
// document; a commit is, and so is uncommitted text that replaces a selection.
// The uncommitted text is drawn as typed text comes out, whatever the text
// before it looks like.

QString PaneEdit::shownComposition() const {
    const QTextLayout* layout = textCursor().block().layout();
    return layout ? layout->preeditAreaText() : QString();
}

void PaneEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (echo_) {
        const bool echo = event->commitString() == *echo_ && event->preeditString().isEmpty() &&
                          event->replacementLength() == 0;
        if (!event->commitString().isEmpty() || !event->preeditString().isEmpty()) echo_.reset();
        if (echo) {
            event->accept();
            return;
        }
    }
    const QString shown = shownComposition();
    if (shown.isEmpty() && !event->preeditString().isEmpty()) filter_.compositionStarting();
    // As the widget decides it: uncommitted text that differs from the shown
    // one first removes the selection.
    const bool changesText = !event->commitString().isEmpty() || event->replacementLength() > 0 ||
                             (textCursor().hasSelection() && event->preeditString() != shown);

    QList<QInputMethodEvent::Attribute> attributes;
    const QTextCharFormat typed = filter_.typedFormat();
    if (!event->preeditString().isEmpty())
        attributes.append({QInputMethodEvent::TextFormat, 0, int(event->preeditString().size()), typed});
    for (QInputMethodEvent::Attribute a : event->attributes()) {
        if (a.type == QInputMethodEvent::TextFormat) {
            QTextCharFormat format = typed;
            format.merge(qvariant_cast<QTextFormat>(a.value));
            a.value = format;
        }
        attributes.append(a);
    }
    QInputMethodEvent replaced(event->preeditString(), attributes);
    if (!event->commitString().isEmpty() || event->replacementLength() > 0)
        replaced.setCommitString(event->commitString().isEmpty() ? QString() : filter_.inputMethodCommit(event->commitString()),
                                 event->replacementStart(), event->replacementLength());
    showingCompositionOnly_ = !changesText;
    QPlainTextEdit::inputMethodEvent(&replaced);
    showingCompositionOnly_ = false;
    filter_.compositionShown();
    event->setAccepted(replaced.isAccepted());
    // A composition cleared without a commit was cancelled. Qt's ibus support
    // still holds its text and commits it at the next change of focus, into
    // whatever has the focus then (a dialog's box); a reset makes it forget.
    if (!shown.isEmpty() && event->preeditString().isEmpty() && event->commitString().isEmpty())
        QGuiApplication::inputMethod()->reset();
}

void PaneEdit::commitComposition() {
    const QString shown = shownComposition();
    if (shown.isEmpty()) return;
    QInputMethodEvent commit;
    commit.setCommitString(shown);
    inputMethodEvent(&commit);
    echo_ = shown;
    // The input method forgets its composition; one that commits when reset
    // sends the text again, which the echo check drops.
    QGuiApplication::inputMethod()->reset();
}

void PaneEdit::mousePressEvent(QMouseEvent* event) {
    // The widget's own commit on a click lets ibus commit the text twice: once
    // from Qt's side, once from the input method when reset.
    commitComposition();
    QPlainTextEdit::mousePressEvent(event);
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
