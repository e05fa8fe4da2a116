#pragma once

// What the two control windows of the import share: a fixed-size modal
// dialog on a gradient panel, with a title, a ten-button navigator and a
// grid bound to the window's own table, an explanation, and a "Salir"
// button. The table is opened shared when the window is created and closed
// when it is destroyed.
//
// Edits follow the data-aware grid: entering the grid puts the current row
// into edit mode; moving to another row, leaving the grid for another
// control of the window, and closing the window store it; the navigator's
// cancel drops it.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "import/gui/frozen_column_grid.h"
#include "import/gui/table_grid_model.h"
#include "import/gui/table_navigator.h"
#include "tables/table.h"

namespace importing_gui {

struct ControlWindowLayout {
  QString caption;
  QSize client_size;
  QRect panel;  // the gradient panel Draw3D1; the rest lies on it
  QString title;
  QRect title_rect;
  QRect navigator_rect;
  QRect grid_rect;
  QString incidence;  // Label3
  QRect incidence_rect;
  QString explanation;  // Label2
  QRect explanation_rect;
  QRect close_rect;
  int frozen_columns = 0;
  std::vector<GridColumn> columns;
};

// Help requests (F1, context 1) of the control windows go here; by default
// nowhere.
void SetControlWindowHelp(std::function<void(int context)> show_help);

class ControlWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 1;

  ~ControlWindow() override;

  TableGridModel* model() const { return model_; }
  FrozenColumnGrid* grid() const { return grid_; }
  TableNavigator* navigator() const { return navigator_; }
  QPushButton* close_button() const { return close_button_; }
  QLabel* title_label() const { return title_; }
  QLabel* incidence_label() const { return incidence_; }
  QLabel* explanation_label() const { return explanation_; }
  // Refused input and failed stores are shown here; the standard error box
  // by default.
  void SetErrorReporter(TableGridModel::ErrorReporter reporter);

  void done(int result) override;

 protected:
  // Takes `table` (configured by the caller), opens it shared and builds
  // the window.
  ControlWindow(const ControlWindowLayout& layout,
                std::unique_ptr<tables::Table> table, QWidget* owner);
  tables::Table& table() { return *table_; }

  // The grid received the focus: edit the current row when browsing.
  virtual void GridEnter();
  // The grid lost the focus to another control of the window: store.
  virtual void GridExit();

 private:
  void BuildLabels(const ControlWindowLayout& layout, QWidget* panel);
  void BuildGrid(const ControlWindowLayout& layout, QWidget* panel);
  bool InGrid(const QWidget* widget) const;
  void FocusChanged(QWidget* old, QWidget* now);
  void FollowModelRow(int row);
  void SizeColumns(const std::vector<GridColumn>& columns);

  std::unique_ptr<tables::Table> table_;
  TableGridModel* model_ = nullptr;
  FrozenColumnGrid* grid_ = nullptr;
  TableNavigator* navigator_ = nullptr;
  QPushButton* close_button_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* incidence_ = nullptr;
  QLabel* explanation_ = nullptr;
};

}  // namespace importing_gui
