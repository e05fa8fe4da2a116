#include "shell/gui/folder_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/drive_mapping.h"
#include "shell/io_error.h"

namespace shell_gui {
namespace {

namespace fs = std::filesystem;

constexpr int kPathRole = Qt::UserRole;

// The native folder of a program path, with its real spelling.
std::string NativeFolder(const std::string& folder) {
  const std::string mapped = platform::MapFixedPath(folder);
  std::error_code ec;
  const fs::path canonical = fs::canonical(mapped, ec);
  if (ec || !fs::is_directory(canonical, ec)) {
    // As the classic folder list's change of folder fails: path not found.
    throw shell::IoError::FromCode(3);
  }
  return canonical.string();
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
      });
}

std::vector<std::string> SubFolders(const std::string& native) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(native, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code type_ec;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    if (it->is_directory(type_ec)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), LessNoCase);
  return names;
}

// The native folder of a drive root.
std::string RootFolder(const std::string& root) {
#ifdef _WIN32
  return root;
#else
  if (root == "/") return root;
  std::error_code ec;
  return fs::weakly_canonical(platform::DriveCFolder(), ec).string();
#endif
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setIndentation(8);
  setUniformRowHeights(true);
  // Opened after the activation returns: rebuilding the tree deletes the
  // item that is being activated.
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item, int) {
            const QString path = item->data(0, kPathRole).toString();
            QMetaObject::invokeMethod(
                this, [this, path] { OpenPath(path.toStdString()); },
                Qt::QueuedConnection);
          });
  std::error_code ec;
  const std::string start = fs::current_path(ec).string();
  directory_ = platform::ProgramPath(start);
  if (!ec) Rebuild(start);
}

std::string FolderList::DriveRoot() const {
  // "X:\..." lies on drive X (drive C is mapped off Windows); anything else
  // is a native POSIX path.
  if (directory_.size() >= 3 && directory_[1] == ':' && directory_[2] == '\\') {
    return std::string(1, static_cast<char>(std::toupper(
                              static_cast<unsigned char>(directory_[0])))) +
           ":\\";
  }
  return "/";
}

void FolderList::SetDirectory(const std::string& folder) {
  const std::string native = NativeFolder(folder);
  std::error_code ec;
  fs::current_path(native, ec);
  if (ec) throw shell::IoError::FromCode(5);
  const std::string program = platform::ProgramPath(native);
  if (program == directory_) return;
  directory_ = program;
  Rebuild(native);
  emit directoryChanged();
}

void FolderList::Rebuild(const std::string& native) {
  clear();
  const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  // The chain from the drive root down to the folder.
  const std::string root_native = RootFolder(DriveRoot());
  std::vector<std::string> chain{root_native};
  const std::string rest =
      native.substr(std::min(native.size(), root_native.size()));
  fs::path walk(root_native);
  for (const auto& part : fs::path(rest).relative_path()) {
    walk /= part;
    chain.push_back(walk.string());
  }
  QTreeWidgetItem* parent = nullptr;
  for (const std::string& folder : chain) {
    const std::string shown = parent == nullptr
                                  ? platform::ProgramPath(folder)
                                  : fs::path(folder).filename().string();
    auto* item = parent == nullptr ? new QTreeWidgetItem(this)
                                   : new QTreeWidgetItem(parent);
    item->setText(0, QString::fromStdString(shown));
    item->setIcon(0, open_icon);
    item->setData(0, kPathRole, QString::fromStdString(folder));
    item->setExpanded(true);
    parent = item;
  }
  for (const std::string& name : SubFolders(native)) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, QString::fromStdString(name));
    item->setIcon(0, closed_icon);
    item->setData(0, kPathRole,
                  QString::fromStdString((fs::path(native) / name).string()));
  }
  setCurrentItem(parent);
  scrollToItem(parent);
}

void FolderList::OpenPath(const std::string& native) {
  try {
    SetDirectory(native);
  } catch (const std::exception& e) {
    emit openFailed(QString::fromStdString(e.what()));
  }
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  // Enter opens the selected folder, as a double click does.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (currentItem() != nullptr) {
      OpenPath(currentItem()->data(0, kPathRole).toString().toStdString());
    }
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace shell_gui
