// The grid editor's table: the cave's lines read on demand, with the cells typed but not stored.
#include "shell/GridEditorModel.h"

#include "ui/WindowSupport.h"

#include <algorithm>
#include <climits>

TGridEditorModel::TGridEditorModel(TKviste& cave, QObject* parent)
    : QAbstractTableModel(parent), cave_(cave) {}

void TGridEditorModel::Fill() {
    beginResetModel();
    edits_.Clear();
    filledLines_ = std::max<std::int64_t>(cave_.LineCount, 0);
    dataRows_ = static_cast<int>(std::min<std::int64_t>(GridRowCount(filledLines_) - 1, INT_MAX));
    endResetModel();
}

bool TGridEditorModel::ShowsLine(std::int64_t gridRow) const {
    // The cave may have changed since the fill; a row never reaches past its lines.
    return gridRow >= 1 && gridRow <= filledLines_ && gridRow <= cave_.LineCount &&
           gridRow < static_cast<std::int64_t>(cave_.Lines.size());
}

QModelIndex TGridEditorModel::CellIndex(std::int64_t gridRow, int col) const {
    if (gridRow < 1 || gridRow > dataRows_)
        return {};
    return index(static_cast<int>(gridRow - 1), col);
}

QString TGridEditorModel::CellText(std::int64_t gridRow, int col) const {
    if (!ShowsLine(gridRow) || col < 0 || col >= kGridColumns)
        return {};
    if (const std::string* typed = edits_.Find(gridRow, col))
        return DecodeWindows1252(*typed);
    return DecodeWindows1252(
        GridCellText(cave_.Lines[static_cast<std::size_t>(gridRow)], gridRow, col));
}

void TGridEditorModel::DeleteRow(std::int64_t gridRow) {
    if (!ShowsLine(gridRow))
        return;
    for (int col = kColFrom; col < kGridColumns; ++col)
        edits_.Set(gridRow, col, {});
    emit dataChanged(CellIndex(gridRow, kColFrom), CellIndex(gridRow, kGridColumns - 1));
}

QStringList TGridEditorModel::Update() {
    const TGridUpdateResult result = UpdateCaveFromGrid(cave_, filledLines_, edits_);
    QStringList errors;
    errors.reserve(static_cast<qsizetype>(result.Errors.size()));
    for (const std::string& e : result.Errors)
        errors << DecodeWindows1252(e);
    // Stored cells now show the model's value (a name as its four stored characters).
    if (dataRows_ > 0)
        emit dataChanged(index(0, 0), index(dataRows_ - 1, kGridColumns - 1));
    return errors;
}

int TGridEditorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataRows_;
}

int TGridEditorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant TGridEditorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const std::int64_t gridRow = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return CellText(gridRow, index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == kColFrom || index.column() == kColTo)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool TGridEditorModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const std::int64_t gridRow = index.row() + 1;
    const QString text = value.toString();
    // Opening a cell and leaving it unchanged is no edit: the value keeps all its decimals.
    if (text == CellText(gridRow, index.column()))
        return true;
    edits_.Set(gridRow, index.column(), EncodeWindows1252(text));
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TGridEditorModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The index is the line's number, and rows past the lines have nothing to store into.
    if (index.column() != kColIndex && ShowsLine(index.row() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TGridEditorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < kGridColumns ? QString(GridHeading(section)) : QVariant();
    return section + 1;
}
