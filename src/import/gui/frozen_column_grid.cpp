#include "import/gui/frozen_column_grid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

namespace importing_gui {
namespace {

bool IsEnter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

QWidget* GridCellDelegate::createEditor(QWidget* parent,
                                        const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  auto* line = qobject_cast<QLineEdit*>(editor);
  const size_t column = static_cast<size_t>(index.column());
  if (line && column < max_lengths_.size() && max_lengths_[column] > 0) {
    line->setMaxLength(max_lengths_[column]);
  }
  return editor;
}

void GridCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    refused_ = !model->setData(index, line->text(), Qt::EditRole);
    return;
  }
  refused_ = false;
  QStyledItemDelegate::setModelData(editor, model, index);
}

bool GridCellDelegate::eventFilter(QObject* editor, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(editor);
  if (IsEnter(event)) {
    emit commitData(widget);
    if (refused_) {
      widget->setFocus();  // back from the error box, on the typed text
    } else {
      emit closeEditor(widget, QAbstractItemDelegate::EditNextItem);
    }
    return true;
  }
  if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason ||
        reason == Qt::PopupFocusReason) {
      return false;  // another window (an error box) for a moment
    }
  }
  return QStyledItemDelegate::eventFilter(editor, event);
}

FrozenColumnGrid::FrozenColumnGrid(int frozen_columns, QWidget* parent)
    : QTableView(parent),
      frozen_columns_(frozen_columns),
      frozen_(new QTableView(this)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollMode(ScrollPerPixel);
  setSelectionBehavior(SelectItems);
  setSelectionMode(SingleSelection);
  setAlternatingRowColors(true);
  setEditTriggers(AllEditTriggers);
  verticalHeader()->setVisible(false);

  frozen_->setFocusPolicy(Qt::NoFocus);
  frozen_->setFrameShape(QFrame::NoFrame);
  frozen_->verticalHeader()->setVisible(false);
  frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setAlternatingRowColors(true);
  // The frozen view never has the focus; it edits on a double click only,
  // or it would open editors for its hidden columns as the current cell
  // moves.
  frozen_->setEditTriggers(DoubleClicked);
  frozen_->setSelectionBehavior(SelectItems);
  frozen_->setSelectionMode(SingleSelection);
  viewport()->stackUnder(frozen_);

  connect(verticalScrollBar(), &QAbstractSlider::valueChanged,
          frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
  connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged,
          verticalScrollBar(), &QAbstractSlider::setValue);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int column, int, int size) {
            if (column < frozen_columns_) {
              frozen_->setColumnWidth(column, size);
              UpdateFrozenGeometry();
            }
          });
  connect(verticalHeader(), &QHeaderView::sectionResized, this,
          [this](int row, int, int size) { frozen_->setRowHeight(row, size); });
}

void FrozenColumnGrid::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  frozen_->setModel(model);
  frozen_->setSelectionModel(selectionModel());
  for (int column = frozen_columns_; column < model->columnCount(); ++column) {
    frozen_->setColumnHidden(column, true);
  }
  frozen_->show();
  UpdateFrozenGeometry();
}

void FrozenColumnGrid::SetColumnWidth(int column, int width) {
  setColumnWidth(column, width);
  if (column < frozen_columns_) frozen_->setColumnWidth(column, width);
  UpdateFrozenGeometry();
}

void FrozenColumnGrid::SetMaxLengths(const std::vector<int>& max_lengths) {
  // One delegate per view: a delegate's signals reach every view it serves.
  setItemDelegate(new GridCellDelegate(max_lengths, this));
  frozen_->setItemDelegate(new GridCellDelegate(max_lengths, frozen_));
}

int FrozenColumnGrid::FrozenWidth() const {
  int width = 0;
  for (int column = 0; column < frozen_columns_; ++column) {
    width += columnWidth(column);
  }
  return width;
}

void FrozenColumnGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  UpdateFrozenGeometry();
}

void FrozenColumnGrid::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(event)) {
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QTableView::keyPressEvent(&tab);
    return;
  }
  QTableView::keyPressEvent(event);
}

QModelIndex FrozenColumnGrid::moveCursor(CursorAction action,
                                         Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = QTableView::moveCursor(action, modifiers);
  // A scrollable cell that would slide under the frozen columns brings the
  // view back far enough to show it beside them.
  if (current.isValid() && current.column() >= frozen_columns_ &&
      visualRect(current).left() < FrozenWidth()) {
    const int shift = FrozenWidth() - visualRect(current).left();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - shift);
  }
  return current;
}

void FrozenColumnGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  // Frozen cells are always in view sideways; only scroll vertically.
  if (index.isValid() && index.column() < frozen_columns_) {
    const int x = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(x);
    return;
  }
  QTableView::scrollTo(index, hint);
}

void FrozenColumnGrid::UpdateFrozenGeometry() {
  frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(),
                       FrozenWidth(),
                       viewport()->height() + horizontalHeader()->height());
  frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

}  // namespace importing_gui
