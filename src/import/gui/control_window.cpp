#include "import/gui/control_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <algorithm>

#include "shell/transfer_context.h"
#include "shell/user_interface.h"

namespace importing_gui {
namespace {

std::function<void(int)>& HelpHook() {
  static std::function<void(int)> hook;
  return hook;
}

const QColor kPanelTop(0xF0, 0xFB, 0xFF);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kHotLight(0x00, 0x66, 0xCC);
const QColor kCellColour(0xF0, 0xFB, 0xFF);
const QColor kAlternateColour(0xCF, 0xD9, 0xFE);
const QColor kIncidenceBackground(0xF0, 0xCA, 0xA6);
constexpr char kHeaderStyle[] =
    "QHeaderView::section { background-color: #FEE4A9; font-weight: bold;"
    " border: 1px solid #A0A0A0; padding: 1px; }";

// The window's gradient panel: pale blue at the top, where the blue title
// stands, to aqua at the bottom.
class GradientPanel : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, kPanelTop);
    gradient.setColorAt(1, kAqua);
    painter.fillRect(rect(), gradient);
  }
};

// The window's design font at the size it has on a 96-dpi screen. MS Sans
// Serif is missing on most free systems; Liberation Sans has its metrics
// close enough for the layout's fixed boxes.
QFont DesignFont(int points, bool bold) {
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  QFont font("MS Sans Serif");
  font.setPixelSize((points * 96 + 36) / 72);
  font.setBold(bold);
  return font;
}

QLabel* MakeLabel(const QString& text, const QRect& rect, QWidget* panel) {
  auto* label = new QLabel(text, panel);
  label->setGeometry(rect);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

// The width `title` needs on at most two lines: its own lines when it has
// them, else the best place to break it between words.
int TitleWidth(const QFontMetrics& metrics, const QString& title) {
  if (title.contains('\n')) {
    int widest = 0;
    for (const QString& line : title.split('\n'))
      widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
  }
  int best = metrics.horizontalAdvance(title);
  for (int blank = title.indexOf(' '); blank >= 0;
       blank = title.indexOf(' ', blank + 1)) {
    best = std::min(best,
                    std::max(metrics.horizontalAdvance(title.left(blank)),
                             metrics.horizontalAdvance(title.mid(blank + 1))));
  }
  return best;
}

}  // namespace

void SetControlWindowHelp(std::function<void(int context)> show_help) {
  HelpHook() = std::move(show_help);
}

ControlWindow::ControlWindow(const ControlWindowLayout& layout,
                             std::unique_ptr<tables::Table> table,
                             QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      table_(std::move(table)) {
  table_->SetExclusive(false);
  table_->Open();
  setWindowTitle(layout.caption);
  setFont(DesignFont(8, false));
  setFixedSize(layout.client_size);
  move(24, 25);
  setModal(true);

  auto* panel = new GradientPanel(this);
  panel->setGeometry(layout.panel);
  BuildLabels(layout, panel);
  BuildGrid(layout, panel);

  close_button_ = new QPushButton("Salir", panel);
  close_button_->setGeometry(layout.close_rect);
  close_button_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  QFont bold = close_button_->font();
  bold.setBold(true);
  close_button_->setFont(bold);
  close_button_->setAutoDefault(false);
  connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);
  setTabOrder(grid_, close_button_);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [] {
    if (HelpHook()) HelpHook()(kHelpContext);
  });
  connect(qApp, &QApplication::focusChanged, this,
          &ControlWindow::FocusChanged);
  SetErrorReporter([this](const std::string& text) {
    QMessageBox box(QMessageBox::Critical, shell::kApplicationTitle,
                    QString::fromStdString(shell::ErrorBoxText(text)),
                    QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    box.exec();
  });
  grid_->setFocus();
}

ControlWindow::~ControlWindow() {
  // The views go after this body; their last signals must not reach a
  // closed table.
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(grid_->selectionModel(), nullptr, this, nullptr);
  model_->Detach();
  table_->Close();
}

void ControlWindow::BuildLabels(const ControlWindowLayout& layout,
                                QWidget* panel) {
  title_ = MakeLabel(layout.title, layout.title_rect, panel);
  title_->setFont(DesignFont(10, true));
  SetTextColour(title_, kHotLight);

  incidence_ = MakeLabel(layout.incidence, layout.incidence_rect, panel);
  incidence_->setWordWrap(false);
  incidence_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont incidence_font = font();
  incidence_font.setBold(true);
  incidence_font.setUnderline(true);
  incidence_->setFont(incidence_font);
  incidence_->setAutoFillBackground(true);
  QPalette palette = incidence_->palette();
  palette.setColor(QPalette::Window, kIncidenceBackground);
  palette.setColor(QPalette::WindowText, Qt::red);
  incidence_->setPalette(palette);

  explanation_ = MakeLabel(layout.explanation, layout.explanation_rect, panel);
  QFont explanation_font = font();
  explanation_font.setBold(true);
  explanation_->setFont(explanation_font);
  SetTextColour(explanation_, QColor(0x00, 0x00, 0x80));
}

void ControlWindow::BuildGrid(const ControlWindowLayout& layout,
                              QWidget* panel) {
  model_ = new TableGridModel(*table_, layout.columns, this);
  std::vector<int> max_lengths;
  for (const GridColumn& column : layout.columns) {
    tables::Field field = table_->FieldByName(column.field);
    max_lengths.push_back(field.TypeLetter() == 'C' ? field.Size() : 0);
  }
  grid_ = new FrozenColumnGrid(layout.frozen_columns, panel);
  grid_->setGeometry(layout.grid_rect);
  QPalette palette = grid_->palette();
  palette.setColor(QPalette::Base, kCellColour);
  palette.setColor(QPalette::AlternateBase, kAlternateColour);
  grid_->setPalette(palette);
  grid_->frozen_view()->setPalette(palette);
  grid_->setModel(model_);
  grid_->SetMaxLengths(max_lengths);
  for (QHeaderView* header :
       {grid_->horizontalHeader(), grid_->frozen_view()->horizontalHeader()}) {
    header->setStyleSheet(kHeaderStyle);
    header->setDefaultAlignment(
        static_cast<Qt::Alignment>(Qt::AlignCenter | Qt::TextWordWrap));
    header->setFixedHeight(2 * header->fontMetrics().lineSpacing() + 8);
  }
  const int row_height = grid_->fontMetrics().height() + 6;
  grid_->verticalHeader()->setDefaultSectionSize(row_height);
  grid_->frozen_view()->verticalHeader()->setDefaultSectionSize(row_height);
  SizeColumns(layout.columns);
  if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));

  navigator_ = new TableNavigator(model_, panel);
  navigator_->setGeometry(layout.navigator_rect);

  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged,
          this, [this](const QModelIndex& current) {
            if (current.isValid() && !model_->SetCurrentRow(current.row())) {
              FollowModelRow(model_->CurrentRow());  // the store failed
            }
          });
  connect(model_, &TableGridModel::currentRowChanged, this,
          &ControlWindow::FollowModelRow);
}

void ControlWindow::SizeColumns(const std::vector<GridColumn>& columns) {
  // Text is measured with the fonts it is drawn in, so that no title or
  // cell is cut: each column is as wide as designed (its width in
  // characters), as its title (bold, on at most the header's two lines) and
  // as its widest cell, whichever is widest.
  grid_->ensurePolished();
  QFont title_font = grid_->horizontalHeader()->font();
  title_font.setBold(true);
  const QFontMetrics title_metrics(title_font);
  const QFontMetrics cell_metrics(grid_->font());
  QStyle* style = grid_->style();
  // The delegate's text margins; the header's margins, padding and border.
  const int cell_margins =
      2 *
      (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 1);
  const int title_margins =
      2 * (style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid_) + 2);
  const int digit = cell_metrics.horizontalAdvance('0');
  for (size_t i = 0; i < columns.size(); ++i) {
    const int column = static_cast<int>(i);
    const int designed = columns[i].width_chars * digit + 8;
    int text = 0;
    for (int row = 0; row < model_->rowCount(); ++row) {
      text = std::max(
          text, cell_metrics.horizontalAdvance(model_->Text(row, column)));
    }
    const int title = TitleWidth(title_metrics, columns[i].title);
    // One more pixel for the grid line.
    // Qt's own measure of the cells in view as well.
    grid_->SetColumnWidth(
        column,
        std::max({designed, text + cell_margins + 1, title + title_margins,
                  static_cast<QAbstractItemView*>(grid_)->sizeHintForColumn(
                      column)}));
  }
}

void ControlWindow::FollowModelRow(int row) {
  const QModelIndex current = grid_->currentIndex();
  if (current.isValid() && current.row() == row) return;
  const int column = current.isValid() ? current.column() : 0;
  grid_->setCurrentIndex(model_->index(row, column));
}

void ControlWindow::SetErrorReporter(TableGridModel::ErrorReporter reporter) {
  model_->SetErrorReporter(std::move(reporter));
}

bool ControlWindow::InGrid(const QWidget* widget) const {
  return widget != nullptr && (widget == grid_ || grid_->isAncestorOf(widget));
}

void ControlWindow::FocusChanged(QWidget* old, QWidget* now) {
  // Only moves between controls of this window count: a message box taking
  // the focus for a moment is no exit from the grid.
  if (now == nullptr || now->window() != this) return;
  if (InGrid(now) && !InGrid(old)) GridEnter();
  if (InGrid(old) && !InGrid(now)) GridExit();
}

void ControlWindow::GridEnter() {
  if (!model_->Editing()) model_->Edit();
}

void ControlWindow::GridExit() {
  if (model_->Editing()) model_->Post();
}

void ControlWindow::done(int result) {
  // Closing by the title bar must not lose what was typed: an open editor
  // hands its text over when the focus leaves it, then the row is stored.
  if (InGrid(QApplication::focusWidget())) close_button_->setFocus();
  GridExit();
  QDialog::done(result);
}

}  // namespace importing_gui
