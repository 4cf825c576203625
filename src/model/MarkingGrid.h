#pragma once

#include "model/Coding.h"

#include <QAbstractTableModel>
#include <QString>

// The marking grid as StringGrid1 shows it: 7 columns by 25 rows, row 0 and column 0 holding
// the captions, rows 1 to 24 the pictures. Columns 1-4 are the ScoringLine, 5 the GCR key and
// 6 the GCR point. It presents the examination's Coding and is the one way to change it, so
// that every change is announced: the points are derived from the codes whenever a cell is
// read, and a view or the total field never has to be told to recompute them.
class MarkingGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    static constexpr int kRows = kPictureCount + 1;

    explicit MarkingGrid(QObject* parent = nullptr);

    const Coding& coding() const { return m_coding; }

    // Captions, the four fields, the key text and the point, as the grid shows them.
    QString cell(int column, int row) const;
    ScoringLine scoringLine(int picture) const { return m_coding.line(picture); }

    void setScoringLine(int picture, const ScoringLine& line);
    // Every ScoringLine at once (an opened examination); the key stays.
    void setScoringLines(const Coding::Lines& lines);
    // Empties columns 1 to 4 of every picture (a new examination).
    void clearScoringLines();
    void setKey(const GcrKey& key);
    // A code button pressed on a picture: appended when the coding rules allow it.
    bool enterCode(int picture, const ScoreCode& code);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Row 0's captions, for a view that keeps them in a fixed header while the rows scroll.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Any change of a ScoringLine or of the key: the points and their total may have moved.
    void codingChanged();

private:
    void announceRows(int first, int last);

    Coding m_coding;
};
