#pragma once

#include "marking/GcrKey.h"
#include "marking/ScoringLine.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>

// The marking grid: 7 columns by 25 rows, row 0 and column 0 holding the captions, rows 1 to
// 24 the pictures. Columns 1-4 are the ScoringLine, 5 the GCR key text, 6 the GCR point.
// Cells are addressed (column, row) as the grid shows them; the model is what StringGrid1
// displays, so it is the one place the codes live.
class MarkingGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    static constexpr int kRows = 25;

    explicit MarkingGrid(QObject* parent = nullptr);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

    ScoringLine scoringLine(int picture) const;
    void setScoringLine(int picture, const ScoringLine& line);

    // Empties columns 1 to 4 of rows 1 to 24 (a new examination).
    void clearScoringLines();
    // Writes column 5 from the key and keeps the key for the point computation.
    void setKey(const GcrKey& key);
    const GcrKey& key() const { return m_key; }

    // Rewrites column 6 of all 24 rows and returns GcrPoints, their sum in row order.
    double recomputePoints();
    double gcrPoints() const { return m_gcrPoints; }

    // Pictures with at least one code in columns 1 to 3.
    int markedPictureCount() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Row 0's captions, for a view that keeps them in a fixed header while the rows scroll.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::array<std::array<QString, kColumns>, kRows> m_cells;
    GcrKey m_key;
    double m_gcrPoints = 0.0;
};
