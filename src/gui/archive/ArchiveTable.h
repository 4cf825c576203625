#pragma once

#include "services/ArchiveListing.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>

// The archive window's rows: one examination file a row, in file-name order. A new listing is
// merged in row by row, so a file that appears or changes leaves the selection and the scroll
// position as they were.
class ArchiveTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // SameChild: how many examinations of the archive are of the row's child (ChildKeyRole).
    enum Column { Code, Name, SameChild, Sex, Age, Date, Examiner, Scored, GcrPercent, Modified, ColumnCount };
    // The file's full path, for every cell.
    static constexpr int PathRole = Qt::UserRole + 1;
    // Whose examination the row is (ArchiveListing::childKey), for every cell; empty when unknown.
    static constexpr int ChildKeyRole = Qt::UserRole + 2;

    explicit ArchiveTableModel(QObject* parent = nullptr);
    // "fiú" or "lány", as the list shows the sex.
    static QString sexText(PersonalData::Sex sex);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const ArchiveRow& row(int index) const { return m_rows.at(index); }
    const QList<ArchiveRow>& rows() const { return m_rows; }
    int malformedCount() const;
    // How many rows are of the child; 0 for an empty key.
    int childCount(const QString& childKey) const { return m_childCounts.value(childKey); }
    // Takes over a listing in file-name order (see ArchiveFolder).
    void setRows(const QList<ArchiveRow>& rows);

private:
    void mergeRows(const QList<ArchiveRow>& rows);

    QList<ArchiveRow> m_rows;
    QHash<QString, int> m_childCounts;
};

// The search field's filter and the columns' sort order over the model.
class ArchiveSortFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ArchiveSortFilter(ArchiveTableModel* model, QObject* parent = nullptr);
    void setQuery(const QString& query);
    // Only the examinations of one child (a child key); an empty key shows every child again.
    void setChild(const QString& childKey);
    const QString& child() const { return m_child; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    ArchiveTableModel* m_model;
    ArchiveFilter m_filter;
    QString m_child;
};
