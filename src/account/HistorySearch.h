#pragma once

#include <QObject>

class HistoryTableModel;
class QComboBox;
class QLabel;
class QLineEdit;

// The search above the history's table: the rows follow the field as it is typed in and the
// state chosen, Escape in the field empties it, and the count line says how many rows are shown
// of how many while a search holds.
class HistorySearch : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QLineEdit& searchField;
        QComboBox& stateFilter; // filled here: All, then each state in HistoryRow::State's order
        QLabel& countLine;
    };

    HistorySearch(const Controls& controls, HistoryTableModel& history, QObject* parent = nullptr);

    // Takes the focus to the field, its text selected: Ctrl+F from anywhere in the window.
    void focus();

private:
    void searchChanged();
    void showCount();

    const Controls controls;
    HistoryTableModel& history;
};
