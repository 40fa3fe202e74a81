#pragma once

#include <QAbstractTableModel>
#include <QList>

// What became of a message to several recipients: a row for each (recipient as typed, its
// outcome), added as each ends, kept until the next send.
class RecipientOutcomes : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RecipientOutcomes(QObject* parent = nullptr);

    void clear();
    void add(const QString& recipient, const QString& outcome, bool sent);

    int sent() const { return sentCount; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row
    {
        QString recipient;
        QString outcome;
        bool sent = false;
    };
    QList<Row> rows;
    int sentCount = 0;
};
