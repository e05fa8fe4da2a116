#pragma once

// The memo file beside a table: .DBT in the dBase III layout (512-byte
// blocks, text ended by 0x1A), .DBT in the dBase IV/7 layout (block size in
// the header, each entry led by FF FF 08 00 and its length) and .FPT
// (FoxPro: block size and entry lengths big-endian). Layouts are described
// in docs/dbf_format.md.

#include <cstdint>
#include <memory>
#include <string>

#include "tables/dbf_header.h"
#include "tables/table_file.h"

namespace tables {

class MemoFile {
 public:
  // The memo file at `path`. It is opened when first needed, so a table
  // whose memo file is missing opens and reads everything but its memos;
  // the first memo read or write fails with MemoNotFound, and with
  // CorruptMemo when its header is not valid.
  MemoFile(platform::FileSystem& files, MemoKind kind, std::string path,
           std::string display, bool writable);

  // The content of the entry starting at `block`; "" for block 0. Fails with
  // CorruptMemo when the block lies past the end of the file or its length
  // runs past it.
  std::string Read(uint32_t block);
  // Stores `data` as a new entry at the end of the file and returns its
  // first block. REQUIRES: writable.
  uint32_t Append(const std::string& data);

 private:
  TableFile& file();

  platform::FileSystem& files_;
  MemoKind kind_;
  std::string path_;
  bool writable_;
  std::string display_;
  std::unique_ptr<TableFile> file_;
  uint32_t block_size_ = 512;
};

}  // namespace tables
