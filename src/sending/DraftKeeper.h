#pragma once

#include "DraftStore.h"

#include <QObject>

#include <memory>

class QComboBox;
class QPlainTextEdit;
class Timer;
class TimerSource;

// Keeps the message being typed and its recipient in the draft store, at most a second after
// the last keystroke, and puts them back at start. A sent message is no longer a draft.
class DraftKeeper : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QPlainTextEdit& messageField;
        QComboBox& sendToComboBox;
    };

    DraftKeeper(const Controls& controls, DraftStore& drafts, TimerSource& timers,
                QObject* parent = nullptr);
    ~DraftKeeper() override;

    const Controls controls;

    // Fills empty fields from the stored draft, then follows every change.
    void awakeFromNib();
    // Writes what the fields hold now.
    void saveDraft();
    // Writes a change not yet written, while the fields still exist: a quit loses nothing.
    void flush();
    // Writes a change not yet written and waits for it, for a quit: 0 once what the fields hold
    // is on disk (or they hold nothing), else the errno that keeps it off.
    int keep();

private:
    DraftStore& drafts;
    std::unique_ptr<Timer> pending;
};
