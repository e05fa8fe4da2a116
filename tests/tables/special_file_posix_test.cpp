// A table whose file is not a regular file (a FIFO, a link to a device, a
// folder, a socket) fails to open at once with the message for a damaged
// table, however it is opened; nothing waits for a FIFO's writer or reads a
// device without end.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "support/table_error_text.h"
#include "support/temp_dir.h"
#include "tables/table.h"

namespace tables {
namespace {

namespace fs = std::filesystem;

// Binds a Unix socket at `path`, leaving the node behind.
void MakeSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address),
            0);
  ::close(fd);
}

TEST(SpecialFileTest, AnythingButARegularFileIsRefusedAtOnce) {
  testing_support::TempDir dir("tqv-special");
  const struct {
    const char* kind;
    std::function<void(const std::string&)> make;
  } kinds[] = {
      {"FIFO",
       [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
      {"link to /dev/zero",
       [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
      {"link to /dev/null",
       [](const std::string& p) { fs::create_symlink("/dev/null", p); }},
      {"folder", [](const std::string& p) { fs::create_directory(p); }},
      {"socket", MakeSocket},
  };
  const struct {
    const char* how;
    bool exclusive;
    bool read_only;
  } opens[] = {{"shared", false, false},
               {"exclusive", true, false},
               {"read-only", false, true}};
  // A regression blocks: the alarm then ends the test program with a
  // failure instead of letting it hang.
  ::alarm(20);
  for (const auto& kind : kinds) {
    const std::string path = (dir.path() / "PROFT.DBF").string();
    kind.make(path);
    for (const auto& open : opens) {
      Table table;
      table.SetTableName(path);
      table.SetExclusive(open.exclusive);
      table.SetReadOnly(open.read_only);
      EXPECT_EQ(testing_support::ErrorOf([&] { table.Open(); }),
                "La tabla '" + path + "' está dañada: no es un archivo normal")
          << kind.kind << ", " << open.how;
    }
    fs::remove(path);
  }
  ::alarm(0);
}

}  // namespace
}  // namespace tables
