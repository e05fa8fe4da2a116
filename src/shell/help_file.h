#pragma once

// The rules the HTML help viewer applies to names: which help file a request
// shows, what counts as an HTML help file, the index keyword and the topic
// page.

#include <string>
#include <string_view>

namespace shell {

// The extension of a file name, from its last "." on ("ZELMAR.chm" gives
// ".chm"); empty when the last component has no ".". Dots in folder names
// do not count.
std::string_view FileExtension(std::string_view name);

// True when the extension is ".chm", whatever its letter case.
bool IsHtmlHelpFile(std::string_view name);

// True when the name carries a folder or drive ("help\\a.chm", "C:a.chm",
// "/opt/a.chm").
bool HasFolderPart(std::string_view name);

// The help file of a request: the manager's, else the application's; a
// non-empty name without a folder part gets `program_folder` (which ends in
// its separator) in front.
std::string ResolveHelpFile(const std::string& manager_help_file,
                            const std::string& application_help_file,
                            const std::string& program_folder);

// The text the index opens at: everything after the first ":" (the whole
// keyword when it has none), blanks trimmed at both ends.
std::string IndexKeyword(std::string_view keyword);

// The topic's page: ".htm" appended unless the extension, lower-cased, is
// ".htm" or ".html".
std::string TopicPage(std::string_view topic);

}  // namespace shell
