#pragma once

#include "BackgroundWriter.h"

#include <QObject>

class Alerts;
class HistoryTableModel;
class QWidget;

// File → Export History…: the rows of the history that the search shows, as a CSV file the user
// names in the desktop's save dialog, made and written on a thread of its own (a long history takes
// a moment, and the window must not wait), through PrivateFile, so that a failure leaves no half
// file. A failure is said in an alert, with its reason.
class HistoryExport : public QObject
{
    Q_OBJECT
public:
    HistoryExport(QWidget& window, const HistoryTableModel& history, Alerts& alerts,
                  QObject* parent = nullptr);

    // Opens the save dialog; the file chosen is written.
    void chooseFile();
    // Writes the rows shown now to path.
    void writeTo(const QString& path);

Q_SIGNALS:
    // 0, or the errno that kept the file from the disk.
    void exported(int error);

private:
    QWidget& window;
    const HistoryTableModel& history;
    Alerts& alerts;
    BackgroundWriter writer;
};
