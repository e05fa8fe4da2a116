#pragma once

// A grid whose first columns stay in place when it scrolls sideways: a
// second view showing only those columns lies over the left edge of the
// main view, shares its model and selection, and follows its vertical
// scrolling. The Enter key moves to the next cell as Tab does, in editors
// too.

#include <QStyledItemDelegate>
#include <QTableView>
#include <vector>

namespace importing_gui {

// Editors limited to a number of characters per column (0: no limit), and
// Enter closing the editor towards the next cell. Text the model refuses
// keeps its editor open, as typed, so that the user can mend it; an error
// box taking the focus for a moment neither stores nor closes the editor.
class GridCellDelegate : public QStyledItemDelegate {
 public:
  GridCellDelegate(std::vector<int> max_lengths, QObject* parent)
      : QStyledItemDelegate(parent), max_lengths_(std::move(max_lengths)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* editor, QEvent* event) override;

 private:
  std::vector<int> max_lengths_;
  mutable bool refused_ = false;  // the last text stored was refused
};

class FrozenColumnGrid : public QTableView {
  Q_OBJECT

 public:
  FrozenColumnGrid(int frozen_columns, QWidget* parent);

  // REQUIRES: called once, before the columns are sized.
  void setModel(QAbstractItemModel* model) override;
  void SetColumnWidth(int column, int width);
  // Limits the editors of each column to a number of characters (0: none).
  void SetMaxLengths(const std::vector<int>& max_lengths);
  QTableView* frozen_view() const { return frozen_; }
  int frozen_columns() const { return frozen_columns_; }
  // Total width of the frozen columns in pixels.
  int FrozenWidth() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QModelIndex moveCursor(CursorAction action,
                         Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint) override;

 private:
  void UpdateFrozenGeometry();

  int frozen_columns_;
  QTableView* frozen_;
};

}  // namespace importing_gui
