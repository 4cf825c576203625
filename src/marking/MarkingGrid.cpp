#include "marking/MarkingGrid.h"

MarkingGrid::MarkingGrid(QObject* parent) : QAbstractTableModel(parent) {
    const char* const captions[kColumns] = {"Kép", "O-D", "E-D", "N-P", "  ( )", "GCR", "pont"};
    for (int column = 0; column < kColumns; ++column)
        m_cells[0][static_cast<size_t>(column)] = QString::fromUtf8(captions[column]);
    for (int row = 1; row < kRows; ++row)
        m_cells[static_cast<size_t>(row)][0] = QString::number(row) + QLatin1Char('.');
}

QString MarkingGrid::cell(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return QString();
    return m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void MarkingGrid::setCell(int column, int row, const QString& text) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return;
    QString& c = m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
    if (c == text)
        return;
    c = text;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

ScoringLine MarkingGrid::scoringLine(int picture) const {
    ScoringLine line;
    for (int column = 1; column <= 4; ++column)
        line.field(column) = cell(column, picture);
    return line;
}

void MarkingGrid::setScoringLine(int picture, const ScoringLine& line) {
    for (int column = 1; column <= 4; ++column)
        setCell(column, picture, line.field(column));
}

void MarkingGrid::clearScoringLines() {
    for (int row = 1; row < kRows; ++row)
        setScoringLine(row, ScoringLine());
}

void MarkingGrid::setKey(const GcrKey& key) {
    m_key = key;
    for (int picture = 1; picture <= 24; ++picture)
        setCell(5, picture, key.pair(picture).displayText());
}

double MarkingGrid::recomputePoints() {
    for (int picture = 1; picture <= 24; ++picture)
        setCell(6, picture, GcrKey::point(scoringLine(picture), m_key.pair(picture)));
    double sum = 0.0;
    for (int picture = 1; picture <= 24; ++picture)
        sum += GcrKey::pointValue(cell(6, picture));
    m_gcrPoints = sum;
    return sum;
}

int MarkingGrid::markedPictureCount() const {
    int count = 0;
    for (int picture = 1; picture <= 24; ++picture)
        count += scoringLine(picture).isEmpty() ? 0 : 1;
    return count;
}

int MarkingGrid::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRows;
}

int MarkingGrid::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant MarkingGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return cell(index.column(), index.row());
}

QVariant MarkingGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return cell(section, 0);
    return QAbstractTableModel::headerData(section, orientation, role);
}
