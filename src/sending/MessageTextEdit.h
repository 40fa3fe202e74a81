#pragma once

#include <QPlainTextEdit>

#include <functional>

// The message view. It lets the length counter shorten a paste before it reaches the document,
// so that pasting a megabyte costs no more than pasting what can be kept.
class MessageTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    using PasteLimiter = std::function<QString(QStringView before, QString pasted)>;

    explicit MessageTextEdit(QWidget* parent = nullptr);

    // before: the text in front of the insertion point.
    void setPasteLimiter(PasteLimiter limiter) { pasteLimiter = std::move(limiter); }

    // Replaces the whole message with text from elsewhere (another program, a link) as a
    // paste would: shortened first, so a long text costs no more than what can be kept, and
    // undone in one step.
    void replaceWithPaste(const QString& text);

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    PasteLimiter pasteLimiter;
};
