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
    clear();
    QMimeData pasted;
    pasted.setText(text);
    insertFromMimeData(&pasted);
}
