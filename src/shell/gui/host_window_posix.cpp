#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>

#include "shell/gui/host_window.h"

namespace shell_gui {
namespace {

xcb_connection_t* Connection() {
  auto* x11 =
      qGuiApp != nullptr
          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
          : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

bool Exists(quintptr handle) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || handle == 0 || handle > 0xFFFFFFFFu) {
    return false;
  }
  const auto window = static_cast<xcb_window_t>(handle);
  xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, window), nullptr);
  const bool found = reply != nullptr;
  std::free(reply);
  return found;
}

void Embed(QWidget* window, quintptr handle) {
  // Qt must know the parent so that pop-ups and mapToGlobal work: a raw
  // reparent behind its back puts drop-down lists in the wrong place. The
  // foreign QWindow lives as long as the program.
  QWindow* host = QWindow::fromWinId(static_cast<WId>(handle));
  window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  window->winId();
  window->windowHandle()->setParent(host);
  window->move(2, 2);
}

// Ends the program's wait on the host: DestroyNotify for the host window.
class DestroyFilter : public QAbstractNativeEventFilter {
 public:
  DestroyFilter(xcb_window_t host, std::function<void()> gone)
      : host_(host), gone_(std::move(gone)) {}
  bool nativeEventFilter(const QByteArray& type, void* message,
                         qintptr*) override {
    if (type != "xcb_generic_event_t" || !gone_) return false;
    const auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
    const auto* destroy =
        reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
    if (destroy->window != host_) return false;
    std::function<void()> gone = std::move(gone_);
    gone_ = nullptr;
    gone();
    return false;
  }

 private:
  xcb_window_t host_;
  std::function<void()> gone_;
};

void Watch(quintptr handle, std::function<void()> gone) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return;
  const auto host = static_cast<xcb_window_t>(handle);
  // Add structure events to whatever this client already selected there.
  uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, host), nullptr);
  if (reply != nullptr) {
    mask |= reply->your_event_mask;
    std::free(reply);
  }
  xcb_change_window_attributes(connection, host, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
  // Lives as long as the program, like the application's event loop.
  QCoreApplication::instance()->installNativeEventFilter(
      new DestroyFilter(host, std::move(gone)));
}

}  // namespace

HostWindowOps NativeHostWindowOps() { return {Exists, Embed, Watch}; }

}  // namespace shell_gui
