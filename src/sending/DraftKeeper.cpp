#include "DraftKeeper.h"

#include "TimerSource.h"

#include <QComboBox>
#include <QPlainTextEdit>

using namespace std::chrono_literals;

DraftKeeper::DraftKeeper(const Controls& controls_, DraftStore& drafts_, TimerSource& timers,
                         QObject* parent)
    : QObject(parent), controls(controls_), drafts(drafts_),
      pending(timers.makeTimer(false, [this] { saveDraft(); }))
{}

DraftKeeper::~DraftKeeper() = default;

void DraftKeeper::flush()
{
    if (pending->isActive())
        saveDraft();
}

int DraftKeeper::keep()
{
    flush();
    const int error = drafts.keep();
    const bool nothingTyped = controls.messageField.document()->isEmpty() &&
                              controls.sendToComboBox.currentText().isEmpty();
    return nothingTyped ? 0 : error;
}

void DraftKeeper::awakeFromNib()
{
    if (const std::optional<DraftStore::Draft> draft = drafts.read()) {
        if (controls.messageField.document()->isEmpty())
            controls.messageField.setPlainText(draft->message);
        if (controls.sendToComboBox.currentText().isEmpty())
            controls.sendToComboBox.setEditText(draft->recipient);
    }
    const auto changed = [this] { pending->start(1s); };
    connect(&controls.messageField, &QPlainTextEdit::textChanged, this, changed);
    connect(&controls.sendToComboBox, &QComboBox::editTextChanged, this, changed);
}

void DraftKeeper::saveDraft()
{
    pending->stop();
    drafts.write({controls.messageField.toPlainText(), controls.sendToComboBox.currentText()});
}
