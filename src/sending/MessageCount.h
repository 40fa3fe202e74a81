#pragma once

#include <QObject>

#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;

// Beside the balance, how many messages a send to several recipients takes ("3 recipients × 2
// parts = 6 messages"), each recipient's message charged on its own. Empty for one recipient.
class MessageCount : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QLabel& messageCountField;
        QPlainTextEdit& messageField;
        QComboBox& sendToComboBox;
    };

    // distinctRecipients: how many distinct numbers the box stands for now.
    MessageCount(const Controls& controls, std::function<qsizetype()> distinctRecipients,
                 QObject* parent = nullptr);

    const Controls controls;

    static QString wording(qsizetype recipients, qsizetype parts);

private:
    void show();

    std::function<qsizetype()> distinctRecipients;
    qsizetype recipients = 0;
};
