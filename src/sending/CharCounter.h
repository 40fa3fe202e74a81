#pragma once

#include <QObject>

class ProgressWord;
class QLabel;
class MessageTextEdit;
class SettingsStore;
class SoundPlayer;

// Shows how many SMS parts the message takes and how full the last one is, e.g. 2(17), and
// cuts text beyond one part of 160 positions, or four when long messages are allowed.
class CharCounter : public QObject
{
    Q_OBJECT
public:
    CharCounter(SettingsStore& settings, SoundPlayer& sounds, QObject* parent = nullptr);

    QLabel* charcntField = nullptr;
    MessageTextEdit* messageTextField = nullptr;
    ProgressWord* progressDescription = nullptr;

    void awakeFromNib();

    // Positions the message may take with the current setting.
    qsizetype permittedLength() const;

public Q_SLOTS:
    void textDidChange();
    void updateCharacterCounter();

private:
    SettingsStore& settings;
    SoundPlayer& sounds;
    bool cutting = false;
};
