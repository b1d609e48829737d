// The grid editor's table: the cave's lines read on demand, with the cells typed but not stored.
#pragma once

#include "shell/GridCells.h"

#include <QAbstractTableModel>
#include <QStringList>

// View row r is grid row r + 1 (grid row 0 is the heading) and shows line r + 1.
class TGridEditorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TGridEditorModel(TKviste& cave, QObject* parent = nullptr);

    // Sizes the grid for the cave's lines and forgets every cell typed since the last fill.
    void Fill();
    // Grid rows, the heading row included.
    std::int64_t GridRows() const { return dataRows_ + 1; }
    // The lines the grid was filled with.
    std::int64_t FilledLines() const { return filledLines_; }
    // Grid row of a line, and the cell of a grid row and column.
    QModelIndex CellIndex(std::int64_t gridRow, int col) const;
    QString CellText(std::int64_t gridRow, int col) const;
    // Empties cells 1 to 9 of a grid row that shows a line; its index stays.
    void DeleteRow(std::int64_t gridRow);
    // Writes the typed cells into the cave; the messages of the cells that did not convert.
    QStringList Update();
    const TGridEdits& Edits() const { return edits_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // A grid row that shows a line of the cave as it is now.
    bool ShowsLine(std::int64_t gridRow) const;

    TKviste& cave_;
    TGridEdits edits_;
    int dataRows_ = kGridFirstRows - 1;
    std::int64_t filledLines_ = 0;
};
