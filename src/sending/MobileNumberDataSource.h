#pragma once

#include <QObject>
#include <QStringList>

class QComboBox;
class QStringListModel;
class SettingsStore;

// Owns the recipient box and its list of recent numbers: the numbers of the last successful
// sends, exactly as they were typed, newest first, kept in the settings store across runs.
class MobileNumberDataSource : public QObject
{
    Q_OBJECT
public:
    explicit MobileNumberDataSource(SettingsStore& settings, QObject* parent = nullptr);

    QComboBox* myComboBox = nullptr;
    QStringList msisdnArray;

    void awakeFromNib();

    QString getNumberToSendMsgTo() const;
    void clearNumberToSendMsgTo();
    void setNumberToSendMsgTo(const QString& number);
    // Puts the box's text at the head of the recent list and stores the list.
    void updateComboBoxWithNewNumber();
    // The same for a number that was sent, whatever the box holds now.
    void recordNumber(const QString& number);

private:
    void reloadItems();

    SettingsStore& settings;
    QStringListModel* items = nullptr;
};
