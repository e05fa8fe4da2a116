#include <windows.h>

#include <QTimer>
#include <QWindow>

#include "platform/native_window.h"
#include "shell/gui/host_window.h"

namespace shell_gui {
namespace {

bool Exists(quintptr handle) { return platform::NativeWindowExists(handle); }

void Embed(QWidget* window, quintptr handle) {
  // Qt's own parenting calls SetParent and makes the window WS_CHILD; doing
  // it through Qt keeps mapToGlobal and the drop-down lists right.
  QWindow* host = QWindow::fromWinId(static_cast<WId>(handle));
  window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  window->winId();
  window->windowHandle()->setParent(host);
  window->move(2, 2);
}

void Watch(quintptr handle, std::function<void()> gone) {
  // Windows sends no notice of another process's window ending; IsWindow
  // is asked twice a second.
  auto* timer = new QTimer();
  timer->setInterval(500);
  QObject::connect(timer, &QTimer::timeout, [timer, handle, gone] {
    if (platform::NativeWindowExists(handle)) return;
    timer->stop();
    gone();
  });
  timer->start();
}

}  // namespace

HostWindowOps NativeHostWindowOps() { return {Exists, Embed, Watch}; }

}  // namespace shell_gui
