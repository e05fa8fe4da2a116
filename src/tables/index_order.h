#pragma once

// The order of one index tag, kept in memory while a table is open. The
// production index file (.MDX) is read into these and written from them.
//
// Keys: a character key is the field's raw bytes in the table's code page,
// padded with blanks to the field width, compared as unsigned bytes. A
// numeric key (N, F, I and the other number columns) compares by value.
// Equal keys stand in the order of their record numbers, which is the order
// in which rows were appended.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

enum class KeyKind { kCharacter, kNumeric };

struct IndexKey {
  std::string text;     // kCharacter: padded bytes in the table's code page
  double number = 0.0;  // kNumeric
};

class IndexOrder {
 public:
  IndexOrder(std::string tag, std::string field, KeyKind kind, int width);

  const std::string& tag() const { return tag_; }
  const std::string& field() const { return field_; }
  KeyKind kind() const { return kind_; }
  int width() const { return width_; }

  void Clear();
  // Adds or replaces the key of a record. Cheap: the order is brought up to
  // date lazily, before the next read of it. A character key is padded with
  // blanks (or cut) to the width. REQUIRES: recno >= 1.
  void Set(uint32_t recno, IndexKey key);
  // Takes a record out of the order; an unknown record is ignored.
  void Remove(uint32_t recno);

  // The number of entries, and the record number at a position in key order.
  size_t size() const;
  // REQUIRES: position < size().
  uint32_t RecnoAt(size_t position) const;
  // REQUIRES: position < size(). The reference stays valid until the next
  // Set, Remove or Clear.
  const IndexKey& KeyAt(size_t position) const;
  // The position of a record in key order, if indexed.
  std::optional<size_t> PositionOf(uint32_t recno) const;
  // The first position whose key is not less than `key`.
  size_t LowerBound(const IndexKey& key) const;
  // Compares two keys of this tag: <0, 0, >0. Character keys of different
  // lengths compare as if the shorter one were padded with blanks, so a
  // search text may be given without its fill. A numeric NaN sorts first.
  int Compare(const IndexKey& a, const IndexKey& b) const;

 private:
  void Sort() const;
  bool Less(uint32_t a, uint32_t b) const;
  void MergePending() const;
  void InsertAdded(std::vector<uint32_t>& added, size_t& first_changed) const;
  void RebuildAll() const;
  uint64_t SortPrefix(const IndexKey& key) const;

  std::string tag_;
  std::string field_;
  KeyKind kind_;
  int width_;
  std::vector<IndexKey> keys_;    // recno-1 -> key
  std::vector<uint8_t> present_;  // recno-1 -> 1 when indexed
  size_t count_ = 0;
  mutable std::vector<uint32_t> order_;    // record numbers in key order
  mutable std::vector<uint8_t> in_order_;  // recno-1 -> 1 when in order_
  mutable std::vector<uint32_t> pending_;  // set or removed since last sort
  // recno-1 -> position+1. Positions from renumber_from_ on may be stale;
  // an entry is trusted only when order_ confirms it, and the rest are
  // renumbered when a position is asked for.
  mutable std::vector<uint32_t> position_of_recno_;
  mutable size_t renumber_from_ = 0;
};

}  // namespace tables
