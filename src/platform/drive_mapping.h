#pragma once

// The system's fixed folders are Windows paths ("C:\GC", "C:\QTEMP"). On
// Windows they are used as they are. Elsewhere drive C: maps to a folder:
// the override given with --drive-c, else $TQV_DRIVE_C, else the Wine
// prefix's drive C ($WINEPREFIX, by default ~/.wine) when it exists, else
// ~/.local/share/TransQuendraValencia/drive_c (created when first needed).
// Every path is resolved without regard to letter case, as the Windows
// programs that share these files expect.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Sets the folder that drive C: maps to, ahead of every other source. An
// empty text removes the override. On Windows it is the only source (the
// real C: otherwise).
void SetDriveCOverride(std::string folder);

// The native folder that drive C: maps to ("C:\" on Windows). Elsewhere the
// folder is created when missing (a failure shows later, when it is used).
std::string DriveCFolder();

// A path as the program writes it ("C:\QTEMP\Valencia\asignat.dbf", a
// relative "horgrup.dbf", or a native "/home/ana/gc") to a native path. Off
// Windows: "C:" is replaced by DriveCFolder(), backslashes become slashes,
// repeated separators collapse, and every component that exists under
// another letter case takes the existing spelling; components that do not
// exist keep the case given. On Windows only "C:" is replaced, and only
// when an override is set.
std::string MapFixedPath(std::string_view path);

// The inverse for display: a native path inside drive C's folder as
// "C:\..." (other paths unchanged). On Windows, the same for the override.
std::string ProgramPath(std::string_view native_path);

// The drives offered by the window's drive list, as roots the folder list
// can open: on Windows the real drives ("A:\", "C:\", ...); elsewhere the
// mapped drive "C:\" and the native root "/".
std::vector<std::string> DriveRoots();

}  // namespace platform
