#include "model/MarkingGrid.h"

namespace {
const char* const kCaptions[MarkingGrid::kColumns] = {"Kép", "O-D", "E-D", "N-P", "  ( )", "GCR", "pont"};
}

MarkingGrid::MarkingGrid(QObject* parent) : QAbstractTableModel(parent) {}

QString MarkingGrid::cell(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return QString();
    if (row == 0)
        return QString::fromUtf8(kCaptions[column]);
    switch (column) {
    case 0:
        return QString::number(row) + QLatin1Char('.');
    case 5:
        return m_coding.key().pair(row).displayText();
    case 6:
        return m_coding.pointText(row);
    default:
        return m_coding.line(row).field(column);
    }
}

void MarkingGrid::announceRows(int first, int last) {
    emit dataChanged(index(first, 1), index(last, kColumns - 1), {Qt::DisplayRole});
    emit codingChanged();
}

void MarkingGrid::setScoringLine(int picture, const ScoringLine& line) {
    if (!isPicture(picture) || m_coding.line(picture) == line)
        return;
    m_coding.setLine(picture, line);
    announceRows(picture, picture);
}

void MarkingGrid::setScoringLines(const Coding::Lines& lines) {
    m_coding = Coding(m_coding.key(), lines);
    announceRows(1, kPictureCount);
}

void MarkingGrid::clearScoringLines() {
    m_coding.clearLines();
    announceRows(1, kPictureCount);
}

void MarkingGrid::setKey(const GcrKey& key) {
    m_coding.setKey(key);
    announceRows(1, kPictureCount);
}

bool MarkingGrid::enterCode(int picture, const ScoreCode& code) {
    if (!isPicture(picture) || !m_coding.enter(picture, code))
        return false;
    announceRows(picture, picture);
    return true;
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
