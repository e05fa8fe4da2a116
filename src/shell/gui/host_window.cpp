#include "shell/gui/host_window.h"

namespace shell_gui {

HostWindowError HostWindowError::NotFound(const std::string& hex) {
  return HostWindowError("No existe la ventana '$" + hex +
                         "'; la utilidad se abre sola");
}

}  // namespace shell_gui
