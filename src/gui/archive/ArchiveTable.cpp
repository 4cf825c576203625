#include "gui/archive/ArchiveTable.h"

#include "services/ArchiveFolder.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QStyle>

namespace {

// More changes than this at once are shown by rebuilding the view rather than row by row.
constexpr int kMergeLimit = 64;

QString refusalText(const ArchiveRow& row) {
    return ProtocolGate::refusalText(row.refusal, row.scored, row.personal.age);
}

bool sameRow(const ArchiveRow& a, const ArchiveRow& b) {
    return a.path == b.path && a.size == b.size && a.modified == b.modified && a.malformed == b.malformed &&
           a.gcrPoints == b.gcrPoints && a.gcrPercent == b.gcrPercent && a.refusal == b.refusal;
}

// Orders two rows by one column; rows equal there fall back to file-name order.
int compareRows(const ArchiveRow& a, const ArchiveRow& b, int column) {
    auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    int c = 0;
    switch (column) {
    case ArchiveTableModel::Code:
        c = a.foldedCode.compare(b.foldedCode);
        break;
    case ArchiveTableModel::Name:
        c = a.foldedName.compare(b.foldedName);
        if (c == 0)
            c = a.personal.name.compare(b.personal.name);
        break;
    case ArchiveTableModel::SameChild:
        c = a.childKey.compare(b.childKey);
        break;
    case ArchiveTableModel::Sex:
        c = order(a.malformed ? 0 : int(a.personal.sex) + 1, b.malformed ? 0 : int(b.personal.sex) + 1);
        break;
    case ArchiveTableModel::Age:
        c = order(a.malformed ? -1 : a.personal.age, b.malformed ? -1 : b.personal.age);
        break;
    case ArchiveTableModel::Date: {
        // Dates sort by the day, in the calendar's form or written out; other texts after them, by the text.
        const QDate da = ArchiveListing::examinationDate(a.personal.date);
        const QDate db = ArchiveListing::examinationDate(b.personal.date);
        c = order(!da.isValid(), !db.isValid());
        if (c == 0)
            c = da.isValid() ? order(da, db) : a.personal.date.compare(b.personal.date);
        break;
    }
    case ArchiveTableModel::Examiner:
        c = a.foldedExaminer.compare(b.foldedExaminer);
        break;
    case ArchiveTableModel::Scored:
        c = order(a.malformed ? -1 : a.scored, b.malformed ? -1 : b.scored);
        break;
    case ArchiveTableModel::GcrPercent:
        c = order(a.hasGcrPercent() ? a.gcrPercent : -1, b.hasGcrPercent() ? b.gcrPercent : -1);
        break;
    case ArchiveTableModel::Modified:
        c = order(a.modified, b.modified);
        break;
    default:
        break;
    }
    if (c != 0)
        return c;
    return ArchiveFolder::fileNameLess(a.fileName, b.fileName)
               ? -1
               : (ArchiveFolder::fileNameLess(b.fileName, a.fileName) ? 1 : 0);
}

} // namespace

ArchiveTableModel::ArchiveTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QString ArchiveTableModel::sexText(PersonalData::Sex sex) {
    return sex == PersonalData::Sex::Boy ? QStringLiteral("fiú") : QStringLiteral("lány");
}

int ArchiveTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ArchiveTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[ColumnCount] = {
        "Kód", "Név", "Vizsg.", "Nem", "Kor", "Dátum", "Vizsgálatvezető", "Jelölt", "GCR %", "Módosítva"};
    return QString::fromUtf8(titles[section]);
}

QVariant ArchiveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const ArchiveRow& r = m_rows.at(index.row());
    const int column = index.column();
    if (role == PathRole)
        return r.path;
    if (role == ChildKeyRole)
        return r.childKey;
    if (r.malformed) {
        switch (role) {
        case Qt::DisplayRole:
            if (column == Code)
                return r.personal.code;
            if (column == Name)
                return QStringLiteral("hibás fájl");
            if (column == Modified)
                return r.modified.toLocalTime().toString(QStringLiteral("yyyy.MM.dd. HH:mm"));
            return QVariant();
        case Qt::ToolTipRole:
            return r.error;
        case Qt::ForegroundRole:
            return QBrush(QColor(0xa0, 0x10, 0x10));
        case Qt::DecorationRole:
            if (column == Name)
                return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
            return QVariant();
        default:
            return QVariant();
        }
    }
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case Code:
            return r.personal.code;
        case Name:
            return r.personal.name;
        case SameChild:
            return r.childKey.isEmpty() ? QString() : QString::number(childCount(r.childKey));
        case Sex:
            return sexText(r.personal.sex);
        case Age:
            return QString::number(r.personal.age);
        case Date:
            return r.personal.date;
        case Examiner:
            return r.personal.examiner;
        case Scored:
            return QString::number(r.scored);
        case GcrPercent:
            return r.hasGcrPercent() ? QStringLiteral("%1 (%2)").arg(r.gcrPercent).arg(r.gcrClass)
                                     : QStringLiteral("–");
        case Modified:
            return r.modified.toLocalTime().toString(QStringLiteral("yyyy.MM.dd. HH:mm"));
        default:
            return QVariant();
        }
    case Qt::TextAlignmentRole:
        if (column == Age || column == Scored || column == SameChild)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // A child's count reads as something to click where there is more than this one to see.
        if (column == SameChild)
            return QBrush(childCount(r.childKey) > 1 ? QColor(0x1a, 0x56, 0xa8) : QColor(0x80, 0x80, 0x80));
        // What no protocol can be made of yet is greyed: the examiner sees at once what is done.
        if ((column == Scored || column == GcrPercent) && !r.hasGcrPercent())
            return QBrush(QColor(0x80, 0x80, 0x80));
        return QVariant();
    case Qt::FontRole:
        if (column == SameChild && childCount(r.childKey) > 1) {
            QFont link;
            link.setUnderline(true);
            return link;
        }
        return QVariant();
    case Qt::ToolTipRole:
        if ((column == Scored || column == GcrPercent) && !r.hasGcrPercent())
            return refusalText(r);
        if (column == Scored)
            return QStringLiteral("A lejelölt képek száma a 24-ből.");
        if (column == GcrPercent)
            return QStringLiteral("GCR érték összesen: %1").arg(r.gcrPoints, 0, 'f', 1);
        if (column == SameChild)
            return QStringLiteral("Ennyi vizsgálat szól ugyanerről a gyermekről (név és nem); kattintásra csak "
                                  "ezek látszanak.");
        return r.path;
    default:
        return QVariant();
    }
}

int ArchiveTableModel::malformedCount() const {
    return static_cast<int>(
        std::count_if(m_rows.cbegin(), m_rows.cend(), [](const ArchiveRow& r) { return r.malformed; }));
}

void ArchiveTableModel::setRows(const QList<ArchiveRow>& rows) {
    mergeRows(rows);
    // A file of one child added or removed changes the count of that child's every row.
    const QHash<QString, int> counts = ArchiveListing::childCounts(m_rows);
    if (counts == m_childCounts)
        return;
    m_childCounts = counts;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, SameChild), index(rowCount() - 1, SameChild));
}

void ArchiveTableModel::mergeRows(const QList<ArchiveRow>& rows) {
    // Both lists are in file-name order, so one pass pairs the old rows with the new.
    enum class Step { Keep, Change, Remove, Insert };
    QList<Step> steps;
    int structural = 0;
    for (qsizetype i = 0, j = 0; i < m_rows.size() || j < rows.size();) {
        if (i < m_rows.size() && j < rows.size() && m_rows.at(i).path == rows.at(j).path) {
            steps << (sameRow(m_rows.at(i), rows.at(j)) ? Step::Keep : Step::Change);
            ++i;
            ++j;
        } else if (j >= rows.size() ||
                   (i < m_rows.size() && ArchiveFolder::fileNameLess(m_rows.at(i).fileName, rows.at(j).fileName))) {
            steps << Step::Remove;
            ++i;
            ++structural;
        } else {
            steps << Step::Insert;
            ++j;
            ++structural;
        }
    }
    if (structural > kMergeLimit) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    int at = 0;   // position in m_rows as it is being changed
    int from = 0; // position in rows
    for (const Step step : std::as_const(steps)) {
        switch (step) {
        case Step::Keep:
            ++at;
            ++from;
            break;
        case Step::Change:
            m_rows[at] = rows.at(from);
            emit dataChanged(index(at, 0), index(at, ColumnCount - 1));
            ++at;
            ++from;
            break;
        case Step::Remove:
            beginRemoveRows(QModelIndex(), at, at);
            m_rows.removeAt(at);
            endRemoveRows();
            break;
        case Step::Insert:
            beginInsertRows(QModelIndex(), at, at);
            m_rows.insert(at, rows.at(from));
            endInsertRows();
            ++at;
            ++from;
            break;
        }
    }
}

ArchiveSortFilter::ArchiveSortFilter(ArchiveTableModel* model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
    setSourceModel(model);
    setDynamicSortFilter(true);
}

void ArchiveSortFilter::setQuery(const QString& query) {
    m_filter = ArchiveFilter(query);
    invalidateFilter();
}

void ArchiveSortFilter::setChild(const QString& childKey) {
    m_child = childKey;
    invalidateFilter();
}

bool ArchiveSortFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const ArchiveRow& row = m_model->row(sourceRow);
    return (m_child.isEmpty() || row.childKey == m_child) && m_filter.accepts(row);
}

bool ArchiveSortFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return compareRows(m_model->row(left.row()), m_model->row(right.row()), left.column()) < 0;
}
