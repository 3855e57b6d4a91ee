#include "phone/area_code_index.h"

namespace fernkartei::phone {

AreaCodeIndex::AreaCodeIndex() : nodes_(1) {}

AreaCodeIndex::AreaCodeIndex(const std::vector<std::string>& codes) : AreaCodeIndex() {
  for (const auto& code : codes) Add(code);
}

int AreaCodeIndex::BranchOf(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c == '+') return 10;
  return -1;
}

void AreaCodeIndex::Add(std::string_view code) {
  std::uint32_t node = 0;
  for (char c : code) {
    const int branch = BranchOf(c);
    if (branch < 0) break;
    std::uint32_t next = nodes_[node].child[branch];
    if (next == 0) {
      next = static_cast<std::uint32_t>(nodes_.size());
      nodes_[node].child[branch] = next;  // before emplace_back: the reference would dangle after it
      nodes_.emplace_back();
    }
    node = next;
  }
}

std::string_view AreaCodeIndex::LongestCodePrefix(std::string_view key) const {
  std::uint32_t node = 0;
  std::size_t matched = 0;
  for (char c : key) {
    const int branch = BranchOf(c);
    if (branch < 0) break;
    node = nodes_[node].child[branch];
    if (node == 0) break;
    ++matched;
  }
  return key.substr(0, matched);
}

}  // namespace fernkartei::phone
