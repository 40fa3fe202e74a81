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

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    PasteLimiter pasteLimiter;
};
