#include "tables/mdx_reader.h"

#include <utility>

#include "tables/mdx_error.h"
#include "tables/mdx_layout.h"

namespace tables {

namespace {

using namespace mdx;

// Text up to the first zero byte, without trailing blanks.
std::string Text(std::string_view bytes) {
  std::string text(bytes.substr(0, bytes.find('\0')));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

MdxReader::MdxReader(std::string path, std::string bytes)
    : path_(std::move(path)), bytes_(std::move(bytes)) {
  ReadHeader();
}

void MdxReader::Fail(const std::string& reason) const {
  throw MdxCorrupt(path_, reason);
}

void MdxReader::ReadHeader() {
  if (bytes_.size() < static_cast<size_t>(kHeaderPages) * kPageSize) {
    Fail("el archivo es demasiado corto");
  }
  pages_per_block_ = GetU16(bytes_, kPagesPerBlockAt);
  block_size_ = GetU16(bytes_, kBlockBytesAt);
  if (pages_per_block_ < 1 || pages_per_block_ > 32 ||
      block_size_ != pages_per_block_ * kPageSize) {
    Fail("tamaño de bloque no válido");
  }
  if (GetU8(bytes_, kTagEntryLengthAt) != kTagEntryLength) {
    Fail("tabla de etiquetas no válida");
  }
  const uint32_t tag_count = GetU16(bytes_, kTagsInUseAt);
  if (tag_count > kMaxTags) Fail("demasiadas etiquetas");
  for (uint32_t slot = 0; slot < tag_count; ++slot) {
    tags_.push_back(ReadTag(static_cast<int>(slot)));
  }
}

MdxTagInfo MdxReader::ReadTag(int slot) const {
  const size_t entry =
      kTagTableOffset + static_cast<size_t>(slot) * kTagEntryLength;
  MdxTagInfo tag;
  tag.name = Text(
      std::string_view(bytes_).substr(entry + kEntryNameAt, kEntryNameLength));
  const uint32_t page = GetU32(bytes_, entry + kEntryHeaderPageAt);
  if (page < kHeaderPages || page >= bytes_.size() / kPageSize) {
    Fail(JoinText("la etiqueta ", Quoted(tag.name),
                  " apunta fuera del archivo"));
  }
  const size_t at = static_cast<size_t>(page) * kPageSize;
  const uint8_t format = static_cast<uint8_t>(bytes_[at + kTagKeyFormatAt]);
  tag.key_type = bytes_[at + kTagKeyTypeAt];
  tag.key_length = static_cast<int>(GetU16(bytes_, at + kTagKeyLengthAt));
  tag.item_length = static_cast<int>(GetU16(bytes_, at + kTagItemLengthAt));
  tag.root_page = GetU32(bytes_, at + kTagRootPageAt);
  tag.descending = (format & kKeyFormatDescending) != 0;
  tag.unique = (format & kKeyFormatUnique) != 0 || bytes_[at + kTagUniqueAt];
  tag.filtered = bytes_[at + kTagHasFilterAt] != 0;
  tag.expression = Text(std::string_view(bytes_).substr(at + kTagExpressionAt,
                                                        kTagExpressionLength));
  if (tag.key_length < 1 || tag.item_length < tag.key_length + 4 ||
      static_cast<uint32_t>(kNodeItemsAt + tag.item_length + 4) > block_size_) {
    Fail(JoinText("la etiqueta ", Quoted(tag.name),
                  " tiene una clave no válida"));
  }
  return tag;
}

bool MdxReader::IsNodePage(uint32_t page) const {
  return page >= kHeaderPages &&
         (static_cast<uint64_t>(page) + pages_per_block_) * kPageSize <=
             bytes_.size();
}

void MdxReader::Walk(const MdxTagInfo& tag, const Visitor& visit) const {
  struct Frame {
    size_t at;          // byte offset of the node
    uint32_t count;     // keys in the node
    uint32_t next = 0;  // the next child to descend into
  };
  const std::string where = JoinText(" en la etiqueta ", Quoted(tag.name));
  std::vector<bool> seen(bytes_.size() / kPageSize, false);
  std::vector<Frame> path;
  auto enter = [&](uint32_t page) {
    if (!IsNodePage(page)) Fail(JoinText("bloque fuera del archivo", where));
    if (seen[page]) Fail(JoinText("ciclo en el árbol", where));
    seen[page] = true;
    const size_t at = static_cast<size_t>(page) * kPageSize;
    const uint32_t count = GetU32(bytes_, at + kNodeCountAt);
    const uint64_t used =
        kNodeItemsAt + static_cast<uint64_t>(count) * tag.item_length + 4;
    if (used > block_size_)
      Fail(JoinText("bloque con demasiadas claves", where));
    path.push_back({at, count});
  };
  enter(tag.root_page);
  while (!path.empty()) {
    Frame& node = path.back();
    const size_t items = node.at + kNodeItemsAt;
    const size_t tail =
        items + static_cast<size_t>(node.count) * tag.item_length;
    const uint32_t last_child = GetU32(bytes_, tail);
    if (last_child == 0) {  // a leaf: no pointer after its last item
      for (uint32_t i = 0; i < node.count; ++i) {
        const size_t item = items + static_cast<size_t>(i) * tag.item_length;
        visit(GetU32(bytes_, item),
              std::string_view(bytes_).substr(item + 4, tag.key_length));
      }
      path.pop_back();
    } else if (node.next <= node.count) {
      const size_t item =
          items + static_cast<size_t>(node.next) * tag.item_length;
      ++node.next;
      enter(GetU32(bytes_, item));  // may reallocate `path`
    } else {
      path.pop_back();
    }
  }
}

}  // namespace tables
