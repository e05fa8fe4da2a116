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
  position_of_recno_.clear();
  pending_.clear();
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
  if (recno == 0 || recno > position_of_recno_.size()) return std::nullopt;
  const uint32_t slot = position_of_recno_[recno - 1];
  if (slot == 0) return std::nullopt;
  return slot - 1;
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

const IndexKey* IndexOrder::KeyOf(uint32_t recno) const {
  if (recno == 0 || recno > present_.size() || !present_[recno - 1]) {
    return nullptr;
  }
  return &keys_[recno - 1];
}

bool IndexOrder::Less(uint32_t a, uint32_t b) const {
  const int c = Compare(keys_[a - 1], keys_[b - 1]);
  return c != 0 ? c < 0 : a < b;
}

void IndexOrder::Sort() const {
  if (pending_.empty()) return;
  std::sort(pending_.begin(), pending_.end());
  pending_.erase(std::unique(pending_.begin(), pending_.end()), pending_.end());
  // Many changes at once (a table filled or a file read): one full sort is
  // cheaper than a merge.
  if (pending_.size() * 8 > order_.size()) {
    RebuildAll();
  } else {
    MergePending();
  }
  pending_.clear();
}

void IndexOrder::RebuildAll() const {
  order_.clear();
  order_.reserve(count_);
  for (uint32_t i = 0; i < present_.size(); ++i) {
    if (present_[i]) order_.push_back(i + 1);
  }
  std::sort(order_.begin(), order_.end(),
            [this](uint32_t a, uint32_t b) { return Less(a, b); });
  position_of_recno_.assign(keys_.size(), 0);
  RenumberFrom(0);
}

void IndexOrder::MergePending() const {
  position_of_recno_.resize(keys_.size(), 0);
  // Take the changed records out of the order, remembering the first
  // position that moves.
  size_t first_changed = order_.size();
  bool any_old = false;
  for (uint32_t recno : pending_) {
    const uint32_t slot = position_of_recno_[recno - 1];
    if (slot != 0) {
      first_changed = std::min<size_t>(first_changed, slot - 1);
      position_of_recno_[recno - 1] = 0;
      any_old = true;
    }
  }
  if (any_old) {
    std::erase_if(order_, [this](uint32_t recno) {
      return position_of_recno_[recno - 1] == 0;
    });
  }
  std::vector<uint32_t> added;
  for (uint32_t recno : pending_) {
    if (present_[recno - 1]) added.push_back(recno);
  }
  auto less = [this](uint32_t a, uint32_t b) { return Less(a, b); };
  std::sort(added.begin(), added.end(), less);
  if (!added.empty()) {
    // Rows appended in key order only extend the end.
    const size_t insert_at = static_cast<size_t>(
        std::upper_bound(order_.begin(), order_.end(), added.front(), less) -
        order_.begin());
    first_changed = std::min(first_changed, insert_at);
    const size_t middle = order_.size();
    order_.insert(order_.end(), added.begin(), added.end());
    std::inplace_merge(order_.begin() + static_cast<ptrdiff_t>(insert_at),
                       order_.begin() + static_cast<ptrdiff_t>(middle),
                       order_.end(), less);
  }
  RenumberFrom(first_changed);
}

void IndexOrder::RenumberFrom(size_t position) const {
  for (size_t i = position; i < order_.size(); ++i) {
    position_of_recno_[order_[i] - 1] = static_cast<uint32_t>(i + 1);
  }
}

}  // namespace tables
