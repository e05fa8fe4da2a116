#include "import/gui/table_grid_model.h"

#include <QFont>

namespace importing_gui {

TableGridModel::TableGridModel(tables::Table& table,
                               std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      columns_(std::move(columns)),
      report_([](const std::string&) {}) {
  for (const GridColumn& column : columns_) {
    const char type = table_.FieldByName(column.field).TypeLetter();
    numeric_.push_back(type == 'N' || type == 'I' || type == 'F' ||
                       type == 'B' || type == 'Y' || type == '+');
  }
  Load();
}

int TableGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TableGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() ||
      index.column() >= columnCount()) {
    return {};
  }
  if (role == Qt::DisplayRole || role == Qt::EditRole) {
    return rows_[index.row()][index.column()];
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(
        (numeric_[index.column()] ? Qt::AlignRight : Qt::AlignLeft) |
        Qt::AlignVCenter);
  }
  return {};
}

QVariant TableGridModel::headerData(int section, Qt::Orientation orientation,
                                    int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return columns_[section].title;
  if (role == Qt::FontRole) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  return {};
}

Qt::ItemFlags TableGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool TableGridModel::setData(const QModelIndex& index, const QVariant& value,
                             int role) {
  if (detached_ || role != Qt::EditRole || !index.isValid() ||
      index.row() >= rowCount() || index.column() >= columnCount()) {
    return false;
  }
  if (index.row() != current_ && !SetCurrentRow(index.row())) return false;
  MoveCursorTo(current_);
  Edit();
  tables::Field field = table_.FieldByName(columns_[index.column()].field);
  try {
    field.SetAsString(value.toString().toStdString());
  } catch (const std::exception& error) {
    // The engine refused the text; the row stays in edit mode.
    Report(error);
    return false;
  }
  rows_[current_][index.column()] = QString::fromStdString(field.AsString());
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

bool TableGridModel::Editing() const {
  if (detached_) return false;
  const tables::TableState state = table_.State();
  return state == tables::TableState::kEdit ||
         state == tables::TableState::kInsert;
}

bool TableGridModel::SetCurrentRow(int row) {
  if (detached_ || rows_.empty()) return true;
  row = std::clamp(row, 0, rowCount() - 1);
  if (!Post()) return false;
  if (row != current_) {
    current_ = row;
    MoveCursorTo(current_);
    emit currentRowChanged(current_);
  }
  return true;
}

void TableGridModel::Edit() {
  if (detached_ || rows_.empty() || Editing()) return;
  MoveCursorTo(current_);
  table_.Edit();
  emit stateChanged();
}

bool TableGridModel::Post() {
  if (!Editing()) return true;
  try {
    table_.Post();
  } catch (const std::exception& error) {
    Report(error);
    return false;
  }
  ReloadRow(current_);
  emit stateChanged();
  return true;
}

void TableGridModel::Cancel() {
  if (!Editing()) return;
  table_.Cancel();
  ReloadRow(current_);
  emit stateChanged();
}

void TableGridModel::Refresh() {
  if (detached_ || !Post()) return;
  beginResetModel();
  Load();
  endResetModel();
  emit currentRowChanged(current_);
}

void TableGridModel::Load() {
  rows_.clear();
  for (table_.First(); !table_.Eof(); table_.Next()) {
    std::vector<QString> cells;
    for (const GridColumn& column : columns_) {
      cells.push_back(
          QString::fromStdString(table_.FieldByName(column.field).AsString()));
    }
    rows_.push_back(std::move(cells));
  }
  current_ = rows_.empty() ? 0 : std::min(current_, rowCount() - 1);
  cursor_row_ = -1;
  MoveCursorTo(current_);
}

void TableGridModel::MoveCursorTo(int row) {
  if (rows_.empty() || row == cursor_row_) return;
  // The engine's cursor walks forward only; going back starts again.
  if (cursor_row_ < 0 || row < cursor_row_) {
    table_.First();
    cursor_row_ = 0;
  }
  for (; cursor_row_ < row; ++cursor_row_) table_.Next();
}

void TableGridModel::ReloadRow(int row) {
  MoveCursorTo(row);
  for (int column = 0; column < columnCount(); ++column) {
    rows_[row][column] = QString::fromStdString(
        table_.FieldByName(columns_[column].field).AsString());
  }
  emit dataChanged(index(row, 0), index(row, columnCount() - 1),
                   {Qt::DisplayRole, Qt::EditRole});
}

void TableGridModel::Report(const std::exception& error) {
  report_(error.what());
}

}  // namespace importing_gui
