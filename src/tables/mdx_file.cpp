#include "tables/mdx_file.h"

#include "tables/mdx_error.h"

namespace tables {

std::string ReadMdxFile(platform::FileSystem& files, const std::string& path) {
  std::string bytes;
  if (!files.ReadWhole(path, &bytes)) throw MdxReadFailed(path);
  return bytes;
}

void ReplaceMdxFile(platform::FileSystem& files, const std::string& path,
                    std::string_view bytes) {
  if (!files.ReplaceWhole(path, bytes)) throw MdxWriteFailed(path);
}

}  // namespace tables
