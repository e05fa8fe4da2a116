#pragma once

// The help system's interfaces, as the application framework defines them: a
// help manager (the help system seen from a viewer), help viewers, the
// selector that chooses between viewers, and the WinHelp tester that the
// WinHelp viewer asks before it handles anything.

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

class IHelpManager {
 public:
  virtual ~IHelpManager() = default;
  // The window that owns help windows (0 when there is none).
  virtual std::uintptr_t GetHandle() = 0;
  // The help file of the request being handled; may be empty.
  virtual std::string GetHelpFile() = 0;
  // Forgets the viewer with this ID; the viewer is not called again.
  virtual void Release(int viewer_id) = 0;
};

class ICustomHelpViewer {
 public:
  virtual ~ICustomHelpViewer() = default;
  virtual std::string GetViewerName() = 0;
  // The number of help strings the viewer has for the keyword.
  virtual int UnderstandsKeyword(const std::string& keyword) = 0;
  virtual std::vector<std::string> GetHelpStrings(
      const std::string& keyword) = 0;
  virtual bool CanShowTableOfContents() = 0;
  virtual void ShowTableOfContents() = 0;
  virtual void ShowHelp(const std::string& keyword) = 0;
  virtual void NotifyID(int viewer_id) = 0;
  // Closes the viewer's windows.
  virtual void SoftShutDown() = 0;
  // The help system is going away: close windows and drop the manager.
  virtual void ShutDown() = 0;
};

class IExtendedHelpViewer {
 public:
  virtual ~IExtendedHelpViewer() = default;
  virtual bool UnderstandsTopic(const std::string& topic) = 0;
  virtual void DisplayTopic(const std::string& topic) = 0;
  virtual bool UnderstandsContext(int context,
                                  const std::string& help_file) = 0;
  virtual void DisplayHelpContext(int context,
                                  const std::string& help_file) = 0;
};

class IHelpSelector {
 public:
  virtual ~IHelpSelector() = default;
  // Chooses one of the help strings offered for a keyword; its index.
  virtual int SelectKeyword(const std::vector<std::string>& help_strings) = 0;
  // Chooses the viewer that shows the contents; an index, -1 for none.
  virtual int TableOfContents(const std::vector<std::string>& viewer_names) = 0;
};

class IWinHelpTester {
 public:
  virtual ~IWinHelpTester() = default;
  virtual bool CanShowALink(const std::string& alink,
                            const std::string& help_file) = 0;
  virtual bool CanShowTopic(const std::string& topic,
                            const std::string& help_file) = 0;
  virtual bool CanShowContext(int context, const std::string& help_file) = 0;
  virtual std::vector<std::string> GetHelpStrings(const std::string& alink) = 0;
  virtual std::string GetHelpPath() = 0;
  virtual std::string GetDefaultHelpFile(const std::string& name) = 0;
};

}  // namespace shell
