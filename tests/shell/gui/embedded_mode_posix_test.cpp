// Embedded mode on a real X server: a host window made here, the program
// started with "<panel> <host id>", its window found as the host's child,
// closed three ways, and Quendrix.ini checked afterwards.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>

#include "support/dbf_bytes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts a program with extra environment; returns its process id.
pid_t Spawn(const std::vector<std::string>& argv,
            const std::vector<std::string>& env, int keep_fd = -1) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
  (void)keep_fd;
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

// Waits for the process to end; false on timeout.
bool WaitExit(pid_t pid, int seconds) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  do {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (Clock::now() < end);
  return false;
}

class EmbeddedModeTest : public testing::Test {
 protected:
  void SetUp() override {
    app_ = std::string(TQV_BINARY_DIR) + "/src/TransQuendraValencia";
    if (!fs::exists(app_) || !fs::exists("/usr/bin/Xvfb")) {
      GTEST_SKIP() << "needs the window program and Xvfb";
    }
    StartServer();
    ASSERT_NE(connection_, nullptr);
    // The program beside its own Quendrix.ini in a folder of the test.
    fs::copy_file(app_, dir_.File("TransQuendraValencia"));
    fs::create_directories(dir_.path() / "c" / "GC");
    dir_.Write("c/GC/centro.dbf",
               testing_support::DbfBytes({{"CODCEN", 'C', 8}}, {{"46000001"}}));
  }
  void TearDown() override {
    if (program_ > 0 && !WaitExit(program_, 0)) {
      kill(program_, SIGKILL);
      WaitExit(program_, 5);
    }
    if (connection_ != nullptr) xcb_disconnect(connection_);
    if (server_ > 0) {
      kill(server_, SIGTERM);
      WaitExit(server_, 5);
    }
  }

  void StartServer() {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    server_ = fork();
    if (server_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0",
            "1024x768x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    ASSERT_FALSE(number.empty());
    display_ = ":" + number;
    connection_ = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(connection_)) {
      xcb_disconnect(connection_);
      connection_ = nullptr;
    }
  }

  xcb_window_t MakeHost() {
    const xcb_screen_t* screen =
        xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const xcb_window_t host = xcb_generate_id(connection_);
    const uint32_t values[] = {screen->white_pixel};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, host, screen->root, 10,
                      10, 700, 400, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_map_window(connection_, host);
    xcb_flush(connection_);
    return host;
  }

  pid_t StartProgram(const std::string& panel, xcb_window_t host) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", host);
    program_ = Spawn({dir_.File("TransQuendraValencia"), panel, hex},
                     {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb",
                      "TQV_DRIVE_C=" + dir_.File("c")});
    return program_;
  }

  // The first child of the host, once the program has put its window there.
  xcb_window_t WaitChild(xcb_window_t host) {
    const auto end = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < end) {
      xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
          connection_, xcb_query_tree(connection_, host), nullptr);
      xcb_window_t child = 0;
      if (tree != nullptr) {
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
          xcb_get_window_attributes_reply_t* attributes =
              xcb_get_window_attributes_reply(
                  connection_,
                  xcb_get_window_attributes(connection_,
                                            xcb_query_tree_children(tree)[i]),
                  nullptr);
          if (attributes != nullptr &&
              attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
            child = xcb_query_tree_children(tree)[i];
          }
          std::free(attributes);
        }
        std::free(tree);
      }
      if (child != 0) return child;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
  }

  void ExpectPlacedInHost(xcb_window_t child) {
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(
        connection_, xcb_get_geometry(connection_, child), nullptr);
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->x, 2);
    EXPECT_EQ(geometry->y, 2);
    EXPECT_EQ(geometry->width, 599);
    EXPECT_EQ(geometry->height, 267);
    std::free(geometry);
  }

  // The screen position of a point of `window`.
  std::pair<int, int> OnScreen(xcb_window_t window, int x, int y) {
    const xcb_screen_t* screen =
        xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        connection_,
        xcb_translate_coordinates(connection_, window, screen->root,
                                  static_cast<int16_t>(x),
                                  static_cast<int16_t>(y)),
        nullptr);
    std::pair<int, int> point{at->dst_x, at->dst_y};
    std::free(at);
    return point;
  }

  // A click at x, y of `window` (xdotool takes screen positions for
  // windows that no window manager handles).
  void Click(xcb_window_t window, int x, int y) {
    const auto [sx, sy] = OnScreen(window, x, y);
    Xdotool("mousemove " + std::to_string(sx) + " " + std::to_string(sy) +
            " click 1");
  }

  // Clicks at x, y of `window` until `done` holds, and says whether it came
  // to hold. A click that arrives before the program takes input is lost,
  // so it is repeated, but only after `done` has had two seconds to hold.
  bool ClickUntil(xcb_window_t window, int x, int y,
                  const std::function<bool()>& done) {
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
      Click(window, x, y);
      const auto retry = Clock::now() + std::chrono::seconds(2);
      while (Clock::now() < retry) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    return false;
  }

  // Waits until the program in `child` takes input: its centre list (at
  // 304,17 in the lower panel) drops down on a click and closes on Escape.
  bool WaitTakingInput(xcb_window_t child) {
    if (!ClickUntil(child, 376, 144,
                    [&] { return PopupPosition().first >= 0; })) {
      return false;
    }
    Xdotool("key Escape");
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (PopupPosition().first >= 0) {
      if (Clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // The first mapped override-redirect window on the root (a pop-up).
  std::pair<int, int> PopupPosition() {
    const xcb_screen_t* screen =
        xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
        connection_, xcb_query_tree(connection_, screen->root), nullptr);
    std::pair<int, int> found{-1, -1};
    for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree);
         ++i) {
      const xcb_window_t w = xcb_query_tree_children(tree)[i];
      xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
          connection_, xcb_get_window_attributes(connection_, w), nullptr);
      if (a != nullptr && a->override_redirect &&
          a->map_state == XCB_MAP_STATE_VIEWABLE) {
        found = OnScreen(w, 0, 0);
      }
      std::free(a);
    }
    std::free(tree);
    return found;
  }

  int Xdotool(const std::string& args) {
    return std::system(
        ("DISPLAY=" + display_ + " xdotool " + args + " >/dev/null 2>&1")
            .c_str());
  }

  std::string app_;
  std::string display_;
  pid_t server_ = -1;
  pid_t program_ = -1;
  xcb_connection_t* connection_ = nullptr;
  testing_support::TempDir dir_{"tqv-embed"};
};

constexpr char kFlagZero[] = "[Transformadores]\r\nTransformado=0\r\n";

TEST_F(EmbeddedModeTest, ExportPanelClosedWithItsButton) {
  const xcb_window_t host = MakeHost();
  const pid_t program = StartProgram("exportar", host);
  const xcb_window_t child = WaitChild(host);
  ASSERT_NE(child, 0u);
  ExpectPlacedInHost(child);
  // BClose sits at 304,51 (89 by 25) in the lower panel, which starts at 117.
  EXPECT_TRUE(
      ClickUntil(child, 348, 180, [&] { return WaitExit(program, 0); }));
  EXPECT_EQ(dir_.Read("Quendrix.ini"), kFlagZero);
}

TEST_F(EmbeddedModeTest, ImportPanelEndsWhenTheHostIsDestroyed) {
  dir_.Write("Quendrix.ini",
             "; Quendrix\r\n[Transformadores]\r\nTransformado=1\r\n");
  const xcb_window_t host = MakeHost();
  const pid_t program = StartProgram("IMPORTAR", host);
  const xcb_window_t child = WaitChild(host);
  ASSERT_NE(child, 0u);
  // The centre list drops down where it is: Qt knows the window's parent.
  // CBCentro sits at 304,17 (145 by 21) in the lower panel.
  ASSERT_TRUE(
      ClickUntil(child, 376, 144, [&] { return PopupPosition().first >= 0; }));
  const auto combo = OnScreen(child, 304, 134);
  const auto popup = PopupPosition();
  EXPECT_NEAR(popup.first, combo.first, 4);
  EXPECT_NEAR(popup.second, combo.second, 30);
  xcb_destroy_window(connection_, host);
  xcb_flush(connection_);
  EXPECT_TRUE(WaitExit(program, 10));
  EXPECT_EQ(dir_.Read("Quendrix.ini"),
            "; Quendrix\r\n[Transformadores]\r\nTransformado=0\r\n");
}

TEST_F(EmbeddedModeTest, OtherWordTakesTheKeyboardInsideTheHost) {
  const xcb_window_t host = MakeHost();
  const pid_t program = StartProgram("ambos", host);
  const xcb_window_t child = WaitChild(host);
  ASSERT_NE(child, 0u);
  ExpectPlacedInHost(child);
  // A click on the folder box (EdNuevoDir) gives the window the focus;
  // Tab then walks EdNuevoDir, ListaDirectorios, ListaUnidades, CBCentro to
  // BClose, and the space bar presses it. The program handles the click
  // before the keys that follow it.
  ASSERT_TRUE(WaitTakingInput(child));
  Click(child, 100, 145);
  Xdotool("key --delay 100 Tab Tab Tab Tab space");
  EXPECT_TRUE(WaitExit(program, 10));
  EXPECT_EQ(dir_.Read("Quendrix.ini"), kFlagZero);
}

}  // namespace
