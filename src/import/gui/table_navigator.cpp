#include "import/gui/table_navigator.h"

#include <QHBoxLayout>

#include "import/gui/table_grid_model.h"

namespace importing_gui {
namespace {

struct ButtonLook {
  const char* glyph;
  const char* hint;
};

constexpr ButtonLook kLooks[TableNavigator::kButtonCount] = {
    {"|◀", "Primer registro"},      {"◀◀", "Retroceder 10 registros"},
    {"◀", "Registro anterior"},     {"▶", "Registro siguiente"},
    {"▶▶", "Avanzar 10 registros"}, {"▶|", "Último registro"},
    {"✎", "Editar registro"},       {"✔", "Grabar cambios"},
    {"✖", "Cancelar cambios"},      {"↻", "Refrescar datos"},
};

}  // namespace

TableNavigator::TableNavigator(TableGridModel* model, QWidget* parent)
    : QWidget(parent), model_(model) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int i = 0; i < kButtonCount; ++i) {
    auto* button = new QPushButton(QString::fromUtf8(kLooks[i].glyph), this);
    button->setToolTip(QString::fromUtf8(kLooks[i].hint));
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    connect(button, &QPushButton::clicked, this,
            [this, i] { Press(static_cast<Button>(i)); });
    layout->addWidget(button);
    buttons_[i] = button;
  }
  connect(model_, &TableGridModel::currentRowChanged, this,
          &TableNavigator::UpdateButtons);
  connect(model_, &TableGridModel::stateChanged, this,
          &TableNavigator::UpdateButtons);
  connect(model_, &QAbstractItemModel::modelReset, this,
          &TableNavigator::UpdateButtons);
  UpdateButtons();
}

void TableNavigator::Press(Button which) {
  const int row = model_->CurrentRow();
  switch (which) {
    case kFirst:
      model_->SetCurrentRow(0);
      break;
    case kPriorPage:
      model_->SetCurrentRow(row - kPageRows);
      break;
    case kPrior:
      model_->SetCurrentRow(row - 1);
      break;
    case kNext:
      model_->SetCurrentRow(row + 1);
      break;
    case kNextPage:
      model_->SetCurrentRow(row + kPageRows);
      break;
    case kLast:
      model_->SetCurrentRow(model_->rowCount() - 1);
      break;
    case kEdit:
      model_->Edit();
      break;
    case kPost:
      model_->Post();
      break;
    case kCancel:
      model_->Cancel();
      break;
    case kRefresh:
      model_->Refresh();
      break;
    case kButtonCount:
      break;
  }
  UpdateButtons();
}

void TableNavigator::UpdateButtons() {
  const int row = model_->CurrentRow();
  const int last = model_->rowCount() - 1;
  const bool editing = model_->Editing();
  for (Button b : {kFirst, kPriorPage, kPrior}) {
    buttons_[b]->setEnabled(row > 0);
  }
  for (Button b : {kNext, kNextPage, kLast}) {
    buttons_[b]->setEnabled(row < last);
  }
  buttons_[kEdit]->setEnabled(!editing && last >= 0);
  buttons_[kPost]->setEnabled(editing);
  buttons_[kCancel]->setEnabled(editing);
  buttons_[kRefresh]->setEnabled(true);
}

}  // namespace importing_gui
