#pragma once

// An editable table model over one open dBase table, for the control
// windows' grids. Like the grid of a data-aware form it has one current row
// and the table's state (browsing or editing): setData puts the current row
// into edit mode and writes the field at once, so the engine refuses bad
// input (a DNI that is no whole number) with its own message; the change is
// stored by Post (the window calls it on row changes and when the focus
// leaves the grid) and dropped by revert()/Cancel.
//
// Qt's views call submit() on every Enter and row change; that alone would
// not cover the focus leaving the grid, so submit() stores nothing here and
// the window posts explicitly.

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "tables/table.h"

namespace importing_gui {

struct GridColumn {
  const char* field;  // the table's field name
  int width_chars;    // display width in characters
  QString title;      // may hold "\n" for a two-line title
};

class TableGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using ErrorReporter = std::function<void(const std::string& text)>;

  // REQUIRES: `table` is open and outlives the model.
  TableGridModel(tables::Table& table, std::vector<GridColumn> columns,
                 QObject* parent = nullptr);

  // Where refused input and failed posts are reported (the standard error
  // box in the windows, a recorder in tests).
  void SetErrorReporter(ErrorReporter reporter) {
    report_ = std::move(reporter);
  }
  const std::vector<GridColumn>& columns() const { return columns_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value,
               int role) override;
  bool submit() override { return true; }
  void revert() override { Cancel(); }

  // ---- The data set: current row and state. ----
  int CurrentRow() const { return current_; }
  // Stores a pending change, then makes `row` current (clamped to the
  // rows). A failed store keeps the row and its edit mode; returns false.
  bool SetCurrentRow(int row);
  tables::TableState State() const { return table_.State(); }
  bool Editing() const;
  // Puts the current row into edit mode when browsing.
  void Edit();
  // Stores the pending change, if any; false (error reported) on failure.
  bool Post();
  // Drops the pending change and shows the row as stored.
  void Cancel();
  // Stores a pending change and reads every row again.
  void Refresh();
  // Stops every further use of the table (it is about to close): the
  // data-set operations do nothing afterwards.
  void Detach() { detached_ = true; }
  // The text shown in a cell.
  QString Text(int row, int column) const { return rows_[row][column]; }

 signals:
  void currentRowChanged(int row);
  void stateChanged();

 private:
  void Load();
  void MoveCursorTo(int row);
  void ReloadRow(int row);
  void Report(const std::exception& error);

  tables::Table& table_;
  std::vector<GridColumn> columns_;
  std::vector<std::vector<QString>> rows_;
  std::vector<bool> numeric_;
  int current_ = 0;
  int cursor_row_ = -1;  // the row the table's cursor stands on
  bool detached_ = false;
  ErrorReporter report_;
};

}  // namespace importing_gui
