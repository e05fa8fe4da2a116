#include "tables/index_order.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace tables {

namespace {

// Compares two byte strings as unsigned bytes, the shorter one taken as if
// padded with blanks.
int ComparePadded(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  if (common > 0) {
    const int c = std::memcmp(a.data(), b.data(), common);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  const bool a_longer = a.size() > b.size();
  std::string_view rest = a_longer ? a.substr(common) : b.substr(common);
  for (unsigned char ch : rest) {
    if (ch != ' ') {
      const int sign = ch > ' ' ? 1 : -1;
      return a_longer ? sign : -sign;
    }
  }
  return 0;
}

int CompareNumbers(double a, double b) {
  // NaN never reaches a comparison unordered: it sorts before every number.
  const bool a_nan = std::isnan(a);
  const bool b_nan = std::isnan(b);
  if (a_nan || b_nan) return a_nan == b_nan ? 0 : (a_nan ? -1 : 1);
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

IndexOrder::IndexOrder(std::string tag, std::string field, KeyKind kind,
                       int width)
    : tag_(std::move(tag)),
      field_(std::move(field)),
      kind_(kind),
      width_(width) {}

void IndexOrder::Clear() {
  keys_.clear();
  present_.clear();
  count_ = 0;
  order_.clear();
  in_order_.clear();
  pending_.clear();
  position_of_recno_.clear();
  renumber_from_ = 0;
}

void IndexOrder::Set(uint32_t recno, IndexKey key) {
  if (recno == 0) throw std::out_of_range("IndexOrder::Set: record 0");
  if (kind_ == KeyKind::kCharacter && width_ > 0) {
    key.text.resize(static_cast<size_t>(width_), ' ');
  }
  if (recno > keys_.size()) {
    keys_.resize(recno);
    present_.resize(recno, 0);
  }
  keys_[recno - 1] = std::move(key);
  if (!present_[recno - 1]) {
    present_[recno - 1] = 1;
    ++count_;
  }
  pending_.push_back(recno);
}

void IndexOrder::Remove(uint32_t recno) {
  if (recno == 0 || recno > present_.size() || !present_[recno - 1]) return;
  present_[recno - 1] = 0;
  keys_[recno - 1] = IndexKey{};
  --count_;
  pending_.push_back(recno);
}

size_t IndexOrder::size() const { return count_; }

uint32_t IndexOrder::RecnoAt(size_t position) const {
  Sort();
  return order_.at(position);
}

const IndexKey& IndexOrder::KeyAt(size_t position) const {
  return keys_[RecnoAt(position) - 1];
}

std::optional<size_t> IndexOrder::PositionOf(uint32_t recno) const {
  Sort();
  if (recno == 0 || recno > present_.size() || !present_[recno - 1]) {
    return std::nullopt;
  }
  position_of_recno_.resize(keys_.size(), 0);
  const uint32_t slot = position_of_recno_[recno - 1];
  // Each record stands once in the order, so a confirmed entry is right.
  if (slot != 0 && slot <= order_.size() && order_[slot - 1] == recno) {
    return slot - 1;
  }
  for (size_t i = renumber_from_; i < order_.size(); ++i) {
    position_of_recno_[order_[i] - 1] = static_cast<uint32_t>(i + 1);
  }
  renumber_from_ = order_.size();
  return position_of_recno_[recno - 1] - 1;
}

size_t IndexOrder::LowerBound(const IndexKey& key) const {
  Sort();
  auto it = std::partition_point(
      order_.begin(), order_.end(),
      [&](uint32_t recno) { return Compare(keys_[recno - 1], key) < 0; });
  return static_cast<size_t>(it - order_.begin());
}

int IndexOrder::Compare(const IndexKey& a, const IndexKey& b) const {
  if (kind_ == KeyKind::kNumeric) return CompareNumbers(a.number, b.number);
  return ComparePadded(a.text, b.text);
}

bool IndexOrder::Less(uint32_t a, uint32_t b) const {
  const int c = Compare(keys_[a - 1], keys_[b - 1]);
  return c != 0 ? c < 0 : a < b;
}

void IndexOrder::Sort() const {
  if (pending_.empty()) return;
  std::sort(pending_.begin(), pending_.end());
  pending_.erase(std::unique(pending_.begin(), pending_.end()), pending_.end());
  in_order_.resize(keys_.size(), 0);
  // Many changes at once (a table filled or a file read): one full sort is
  // cheaper than a merge.
  if (pending_.size() * 8 > order_.size()) {
    RebuildAll();
  } else {
    MergePending();
  }
  for (uint32_t recno : pending_) in_order_[recno - 1] = present_[recno - 1];
  pending_.clear();
}

// Sorting on an 8-byte prefix kept beside the record number keeps most
// comparisons in one cache line; the whole keys decide only between equal
// prefixes.
uint64_t IndexOrder::SortPrefix(const IndexKey& key) const {
  if (kind_ == KeyKind::kNumeric) {
    double number = key.number;
    if (std::isnan(number)) return 0;  // NaN sorts first
    if (number == 0) number = 0;       // -0 equals 0
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof(bits));
    // Order-preserving map of a double onto unsigned integers, above 0.
    bits = (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
    return bits == 0 ? 1 : bits;
  }
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i) {
    const unsigned char c =
        i < key.text.size() ? static_cast<unsigned char>(key.text[i]) : ' ';
    prefix = (prefix << 8) | c;
  }
  return prefix;
}

void IndexOrder::RebuildAll() const {
  struct Item {
    uint64_t prefix;
    uint32_t recno;
  };
  std::vector<Item> items;
  items.reserve(count_);
  for (uint32_t i = 0; i < present_.size(); ++i) {
    if (present_[i]) items.push_back({SortPrefix(keys_[i]), i + 1});
  }
  // A numeric prefix is the whole key; so is a text prefix of width <= 8.
  const bool prefix_decides =
      kind_ == KeyKind::kNumeric || (width_ > 0 && width_ <= 8);
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (!prefix_decides) {
      const int c = Compare(keys_[a.recno - 1], keys_[b.recno - 1]);
      if (c != 0) return c < 0;
    }
    return a.recno < b.recno;
  });
  order_.clear();
  order_.reserve(items.size());
  for (const Item& item : items) order_.push_back(item.recno);
  renumber_from_ = 0;
}

void IndexOrder::MergePending() const {
  // Take the changed records out of the order, noting the first position
  // that moves.
  size_t first_changed = order_.size();
  bool any_old = false;
  for (uint32_t recno : pending_) {
    if (in_order_[recno - 1]) {
      in_order_[recno - 1] = 2;  // to be taken out
      any_old = true;
    }
  }
  if (any_old) {
    size_t kept = 0;
    for (size_t i = 0; i < order_.size(); ++i) {
      if (in_order_[order_[i] - 1] == 2) {
        first_changed = std::min(first_changed, i);
      } else {
        order_[kept++] = order_[i];
      }
    }
    order_.resize(kept);
  }
  std::vector<uint32_t> added;
  for (uint32_t recno : pending_) {
    if (present_[recno - 1]) added.push_back(recno);
  }
  InsertAdded(added, first_changed);
  renumber_from_ = std::min(renumber_from_, first_changed);
}

void IndexOrder::InsertAdded(std::vector<uint32_t>& added,
                             size_t& first_changed) const {
  if (added.empty()) return;
  auto less = [this](uint32_t a, uint32_t b) { return Less(a, b); };
  std::sort(added.begin(), added.end(), less);
  const size_t insert_at = static_cast<size_t>(
      std::upper_bound(order_.begin(), order_.end(), added.front(), less) -
      order_.begin());
  first_changed = std::min(first_changed, insert_at);
  if (added.size() <= 16) {
    // A few rows (an edit, an append between two searches): one shift each.
    for (uint32_t recno : added) {
      auto at = std::upper_bound(order_.begin(), order_.end(), recno, less);
      order_.insert(at, recno);
    }
    return;
  }
  const size_t middle = order_.size();
  order_.insert(order_.end(), added.begin(), added.end());
  std::inplace_merge(order_.begin() + static_cast<ptrdiff_t>(insert_at),
                     order_.begin() + static_cast<ptrdiff_t>(middle),
                     order_.end(), less);
}

}  // namespace tables
