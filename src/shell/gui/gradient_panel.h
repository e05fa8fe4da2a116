#pragma once

#include <QColor>
#include <QWidget>

namespace shell_gui {

// A panel filled with a three-colour gradient from top to bottom (start,
// middle, end), the background of the transfer window's three areas.
class GradientPanel : public QWidget {
 public:
  GradientPanel(QColor start, QColor middle, QColor end, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor start_, middle_, end_;
};

}  // namespace shell_gui
