#include "tables/memo_file.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "tables/little_endian.h"
#include "tables/table_error.h"

namespace tables {
namespace {

// A memo entry longer than this is taken as damage, not as data.
constexpr uint32_t kMaxEntry = 64u << 20;

}  // namespace

MemoFile::MemoFile(platform::FileSystem& files, MemoKind kind, std::string path,
                   std::string display, bool writable)
    : files_(files),
      kind_(kind),
      path_(std::move(path)),
      writable_(writable),
      display_(std::move(display)) {}

TableFile& MemoFile::file() {
  if (file_ != nullptr) return *file_;
  if (!files_.Exists(path_)) throw TableError::MemoNotFound(display_);
  auto file = TableFile::Open(files_, path_, display_, writable_,
                              platform::FileLock::kNone);
  char header[32] = {};
  if (file->ReadAt(0, header, sizeof header) < 8)
    throw TableError::CorruptMemo(display_, "la cabecera está incompleta");
  if (kind_ == MemoKind::kFpt) {
    block_size_ = static_cast<uint32_t>(LoadBe({header, sizeof header}, 6, 2));
  } else if (kind_ == MemoKind::kDbt4) {
    block_size_ = GetU16({header, sizeof header}, 20);
  }
  if (block_size_ == 0) block_size_ = 512;
  file_ = std::move(file);
  return *file_;
}

std::string MemoFile::Read(uint32_t block) {
  if (block == 0) return "";
  file();
  const uint64_t size = file_->Size();
  const uint64_t start = static_cast<uint64_t>(block) * block_size_;
  if (start >= size)
    throw TableError::CorruptMemo(display_, "referencia fuera del archivo");
  char lead[8] = {};
  size_t got = file_->ReadAt(start, lead, sizeof lead);
  uint64_t data_start = start;
  uint64_t length = 0;
  bool terminated = false;
  if (kind_ == MemoKind::kFpt) {
    if (got < 8) throw TableError::CorruptMemo(display_, "entrada incompleta");
    length = LoadBe({lead, sizeof lead}, 4, 4);
    data_start = start + 8;
  } else if (got == 8 && static_cast<unsigned char>(lead[0]) == 0xFF &&
             static_cast<unsigned char>(lead[1]) == 0xFF && lead[2] == '\x08' &&
             lead[3] == '\0') {
    length = GetU32({lead, sizeof lead}, 4);  // includes the 8 leading bytes
    if (length < 8) throw TableError::CorruptMemo(display_, "entrada dañada");
    length -= 8;
    data_start = start + 8;
  } else {
    // dBase III: the text runs to the first 0x1A (or to the end).
    length = std::min<uint64_t>(size - start, kMaxEntry);
    terminated = true;
  }
  if (length > kMaxEntry || data_start + length > size)
    throw TableError::CorruptMemo(display_, "la entrada pasa del final");
  std::string data(static_cast<size_t>(length), '\0');
  data.resize(file_->ReadAt(data_start, data.data(), data.size()));
  if (terminated) {
    size_t end = data.find('\x1A');
    if (end != std::string::npos) data.resize(end);
  }
  return data;
}

uint32_t MemoFile::Append(const std::string& data) {
  char header[8] = {};
  file().ReadAt(0, header, sizeof header);
  const std::string_view stored(header, sizeof header);
  auto next = static_cast<uint32_t>(
      kind_ == MemoKind::kFpt ? LoadBe(stored, 0, 4) : LoadLe(stored, 0, 4));
  const uint64_t size = file_->Size();
  const uint64_t end_block = (size + block_size_ - 1) / block_size_;
  if (next == 0 || next < end_block) next = static_cast<uint32_t>(end_block);
  if (next == 0) next = 1;
  std::string entry;
  if (kind_ == MemoKind::kFpt) {
    entry.assign(8, '\0');
    StoreBe(entry.data(), 1, 4);  // type 1: text
    StoreBe(entry.data() + 4, data.size(), 4);
    entry += data;
  } else if (kind_ == MemoKind::kDbt4) {
    entry = std::string("\xFF\xFF\x08\x00", 4) + std::string(4, '\0');
    PutU32(entry, 4, static_cast<uint32_t>(data.size() + 8));
    entry += data;
  } else {
    entry = data + "\x1A\x1A";
  }
  const uint32_t blocks =
      static_cast<uint32_t>((entry.size() + block_size_ - 1) / block_size_);
  entry.resize(static_cast<size_t>(blocks) * block_size_, '\0');
  file_->WriteAt(static_cast<uint64_t>(next) * block_size_, entry.data(),
                 entry.size());
  char new_next[4];
  if (kind_ == MemoKind::kFpt) {
    StoreBe(new_next, next + blocks, 4);
  } else {
    StoreLe(new_next, next + blocks, 4);
  }
  file_->WriteAt(0, new_next, 4);
  return next;
}

}  // namespace tables
