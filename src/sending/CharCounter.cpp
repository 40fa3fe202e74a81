#include "CharCounter.h"

#include "MessageTextEdit.h"
#include "ProgressWord.h"
#include "Settings.h"
#include "SmsText.h"
#include "SoundPlayer.h"
#include "TextColours.h"

#include <QLabel>
#include <QTextCursor>

using namespace std::chrono_literals;

CharCounter::CharCounter(const Controls& controls_, Settings& settings_, SoundPlayer& sounds_,
                         QObject* parent)
    : QObject(parent), controls(controls_), settings(settings_), sounds(sounds_)
{}

void CharCounter::awakeFromNib()
{
    connect(&controls.messageTextField, &QPlainTextEdit::textChanged, this,
            &CharCounter::textDidChange);
    // A paste longer than what can be kept is shortened before it reaches the view, yet enough
    // of it stays for the counter to cut exactly where it would have cut the whole paste.
    controls.messageTextField.setPasteLimiter([this](QStringView before, QString pasted) {
        // At least one character goes in, so that a message already too long is cut as well.
        const qsizetype room = permittedLength() - countedLength(before) + 2;
        pasted.truncate(std::max<qsizetype>(room, 1));
        return pasted;
    });
    updateCharacterCounter();
}

qsizetype CharCounter::permittedLength() const
{
    return (settings.longSMSAllowed() ? 4 : 1) * positionsPerPart;
}

void CharCounter::textDidChange()
{
    // Our own cut changes the text again; that change needs no second count.
    if (!cutting)
        updateCharacterCounter();
}

void CharCounter::updateCharacterCounter()
{
    const QString text = controls.messageTextField.toPlainText();
    const qsizetype limit = permittedLength();
    const qsizetype kept = fittingPrefixLength(text, limit);

    if (kept < text.size()) {
        // Always cut from the end, wherever the edit was made. Removing the tail through a
        // cursor keeps the user's place and the undo history.
        cutting = true;
        QTextCursor cursor(controls.messageTextField.document());
        cursor.setPosition(static_cast<int>(kept));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cutting = false;

        sounds.play(QStringLiteral("Morse"));
        controls.progressDescription.showFor(tr("Too Long"), TextColours::failure, 2s);
    }

    const PartsAndFill counter = partsAndFill(countedLength(QStringView(text).left(kept)));
    controls.charcntField.setText(QStringLiteral("%1(%2)").arg(counter.parts).arg(counter.fill));
}
