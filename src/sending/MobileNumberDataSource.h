#pragma once

#include <QObject>
#include <QStringList>

class QComboBox;
class QStringListModel;
class Settings;

// Owns the recipient box and its list of recent numbers: the numbers of the last successful
// sends, exactly as they were typed, newest first, kept in the settings store across runs.
class MobileNumberDataSource : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QComboBox& myComboBox;
    };

    MobileNumberDataSource(const Controls& controls, Settings& settings, QObject* parent = nullptr);

    const Controls controls;
    QStringList msisdnArray;

    void awakeFromNib();

    QString getNumberToSendMsgTo() const;
    void clearNumberToSendMsgTo();
    void setNumberToSendMsgTo(const QString& number);
    // Puts a number that was sent at the head of the recent list and stores the list; the
    // number is given, as the box may hold something else by the time the answer came.
    void updateComboBoxWithNewNumber(const QString& number);

private:
    void reloadItems();

    Settings& settings;
    QStringListModel* items = nullptr;
};
