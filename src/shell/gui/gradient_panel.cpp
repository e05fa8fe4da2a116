#include "shell/gui/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace shell_gui {

GradientPanel::GradientPanel(QColor start, QColor middle, QColor end,
                             QWidget* parent)
    : QWidget(parent), start_(start), middle_(middle), end_(end) {}

void GradientPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0.0, start_);
  gradient.setColorAt(0.5, middle_);
  gradient.setColorAt(1.0, end_);
  painter.fillRect(rect(), gradient);
}

}  // namespace shell_gui
