#include "HistoryExport.h"

#include "Alerts.h"
#include "HistoryCsv.h"
#include "HistoryTableModel.h"
#include "PrivateFile.h"
#include "StorageStatus.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

HistoryExport::HistoryExport(QWidget& window_, const HistoryTableModel& history_, Alerts& alerts_,
                             QObject* parent)
    : QObject(parent), window(window_), history(history_), alerts(alerts_)
{}

void HistoryExport::chooseFile()
{
    auto* dialog =
        new QFileDialog(&window, tr("Export History"),
                        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                            .filePath(tr("Sent messages.csv")),
                        tr("CSV files (*.csv)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &HistoryExport::writeTo);
    dialog->open();
}

void HistoryExport::writeTo(const QString& path)
{
    writer.run(
        [path, rows = history.shownRows(), names = history.contactNames()] {
            return PrivateFile::write(path, HistoryCsv::write(rows, names));
        },
        this,
        [this](int error) {
            if (error)
                alerts.show(
                    this, Alerts::Style::Warning,
                    tr("The history could not be exported: %1.").arg(StorageStatus::reason(error)),
                    {}, {});
            emit exported(error);
        });
}
