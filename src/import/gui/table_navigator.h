#pragma once

// The ten-button navigator bar of a control window's grid: first row, back
// 10 rows, previous row, next row, forward 10 rows, last row, edit, post,
// cancel, refresh. Its buttons take no focus, so pressing one never takes
// the focus from the grid (the grid's exit would post the row otherwise).

#include <QPushButton>
#include <QWidget>
#include <array>

namespace importing_gui {

class TableGridModel;

class TableNavigator : public QWidget {
  Q_OBJECT

 public:
  enum Button {
    kFirst,
    kPriorPage,
    kPrior,
    kNext,
    kNextPage,
    kLast,
    kEdit,
    kPost,
    kCancel,
    kRefresh,
    kButtonCount
  };
  static constexpr int kPageRows = 10;

  TableNavigator(TableGridModel* model, QWidget* parent);

  QPushButton* button(Button which) const { return buttons_[which]; }
  // Runs the button's action, as a click does.
  void Press(Button which);

 private:
  void UpdateButtons();

  TableGridModel* model_;
  std::array<QPushButton*, kButtonCount> buttons_{};
};

}  // namespace importing_gui
