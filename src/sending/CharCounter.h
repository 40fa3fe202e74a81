#pragma once

#include <QObject>

class ProgressWord;
class QLabel;
class MessageTextEdit;
class Settings;
class SoundPlayer;

// Shows how many SMS parts the message takes and how full the last one is, e.g. 2(17), and
// cuts text beyond one part of 160 positions, or four when long messages are allowed.
class CharCounter : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QLabel& charcntField;
        MessageTextEdit& messageTextField;
        ProgressWord& progressDescription;
    };

    CharCounter(const Controls& controls, Settings& settings, SoundPlayer& sounds,
                QObject* parent = nullptr);

    const Controls controls;

    void awakeFromNib();

    // Positions the message may take with the current setting.
    qsizetype permittedLength() const;

public Q_SLOTS:
    void textDidChange();
    void updateCharacterCounter();

private:
    Settings& settings;
    SoundPlayer& sounds;
    bool cutting = false;
};
