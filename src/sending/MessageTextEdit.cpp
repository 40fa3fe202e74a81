#include "MessageTextEdit.h"

#include <QMimeData>
#include <QTextCursor>

MessageTextEdit::MessageTextEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void MessageTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!pasteLimiter || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString before = toPlainText().left(textCursor().selectionStart());
    QMimeData limited;
    limited.setText(pasteLimiter(before, source->text()));
    QPlainTextEdit::insertFromMimeData(&limited);
}

void MessageTextEdit::replaceWithPaste(const QString& text)
{
    // One edit of the document, so that Ctrl+Z brings back what was typed; it goes in even while
    // the view is read-only for a send under way, as the send keeps its own copy of its text.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(pasteLimiter ? pasteLimiter({}, text) : text);
    cursor.endEditBlock();
    setTextCursor(cursor);
}
