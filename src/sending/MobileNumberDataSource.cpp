#include "MobileNumberDataSource.h"

#include "RecentNumbers.h"
#include "Settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringListModel>

MobileNumberDataSource::MobileNumberDataSource(const Controls& controls_, Settings& settings_,
                                               QObject* parent)
    : QObject(parent), controls(controls_), settings(settings_)
{
    msisdnArray = settings.recentNumbers();
}

void MobileNumberDataSource::awakeFromNib()
{
    items = new QStringListModel(this);
    controls.myComboBox.setEditable(true);
    // The list changes only after a send; Return in the box must not add what was typed.
    controls.myComboBox.setInsertPolicy(QComboBox::NoInsert);
    controls.myComboBox.setModel(items);
    reloadItems();
}

QString MobileNumberDataSource::getNumberToSendMsgTo() const
{
    return controls.myComboBox.currentText();
}

void MobileNumberDataSource::clearNumberToSendMsgTo()
{
    setNumberToSendMsgTo(QString());
}

void MobileNumberDataSource::setNumberToSendMsgTo(const QString& number)
{
    controls.myComboBox.setEditText(number);
}

void MobileNumberDataSource::updateComboBoxWithNewNumber(const QString& number)
{
    msisdnArray = withRecordedNumber(msisdnArray, number);
    reloadItems();
    settings.setRecentNumbers(msisdnArray);
}

void MobileNumberDataSource::reloadItems()
{
    // Reloading the items must not change what the user has typed.
    const QString typed = controls.myComboBox.currentText();
    items->setStringList(msisdnArray);
    controls.myComboBox.setCurrentIndex(-1);
    controls.myComboBox.setEditText(typed);
}
