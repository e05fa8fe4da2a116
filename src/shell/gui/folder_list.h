#pragma once

// The folder list ListaDirectorios: a tree of the current drive's folders
// from the root down to the current folder, with the current folder's
// subfolders below it. Opening a folder (double click or Enter) makes it
// current; every change of the current folder emits directoryChanged, and
// setting the folder that is already current emits nothing.

#include <QTreeWidget>
#include <string>

namespace shell_gui {

class FolderList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent);

  // The current folder as the program writes it ("C:\GC" for a folder of
  // the mapped drive C, a native path otherwise; a drive root ends in a
  // separator, other folders do not).
  const std::string& Directory() const { return directory_; }

  // Makes `folder` current (and the process's current folder, as the
  // classic folder list does). Throws shell::IoError when the folder cannot
  // be reached; the list then stays where it was. Emits directoryChanged
  // when the folder differs from the current one.
  void SetDirectory(const std::string& folder);

  // The root of the drive that holds the current folder ("C:\" or "/").
  std::string DriveRoot() const;

 signals:
  void directoryChanged();
  // An error of a folder opened by the user (the caller shows it).
  void openFailed(QString text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Rebuild(const std::string& native);
  void OpenPath(const std::string& native);

  std::string directory_;
};

}  // namespace shell_gui
