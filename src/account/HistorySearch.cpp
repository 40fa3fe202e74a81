#include "HistorySearch.h"

#include "HistoryTableModel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

HistorySearch::HistorySearch(const Controls& controls_, HistoryTableModel& history_,
                             QObject* parent)
    : QObject(parent), controls(controls_), history(history_)
{
    controls.stateFilter.addItem(tr("All"));
    for (const HistoryRow::State state : {HistoryRow::State::Queued, HistoryRow::State::Ongoing,
                                          HistoryRow::State::Successful, HistoryRow::State::Failed})
        controls.stateFilter.addItem(stateText(state));
    connect(&controls.searchField, &QLineEdit::textChanged, this, &HistorySearch::searchChanged);
    connect(&controls.stateFilter, &QComboBox::currentIndexChanged, this,
            &HistorySearch::searchChanged);
    auto* empty = new QShortcut(QKeySequence(Qt::Key_Escape), &controls.searchField);
    empty->setContext(Qt::WidgetShortcut);
    connect(empty, &QShortcut::activated, &controls.searchField, &QLineEdit::clear);
    connect(&history, &QAbstractItemModel::modelReset, this, &HistorySearch::showCount);
    showCount();
}

void HistorySearch::focus()
{
    controls.searchField.setFocus(Qt::ShortcutFocusReason);
    controls.searchField.selectAll();
}

void HistorySearch::searchChanged()
{
    const int chosen = controls.stateFilter.currentIndex();
    history.setSearch({controls.searchField.text(),
                       chosen > 0 ? std::optional(HistoryRow::State(chosen - 1)) : std::nullopt});
}

void HistorySearch::showCount()
{
    const bool searching =
        !controls.searchField.text().isEmpty() || controls.stateFilter.currentIndex() > 0;
    controls.countLine.setVisible(searching);
    if (searching)
        controls.countLine.setText(
            tr("Showing %1 of %n messages.", nullptr, int(history.rows().size()))
                .arg(history.rowCount()));
}
