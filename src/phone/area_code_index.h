#pragma once
// The stored area codes, held in memory as a tree of characters so that the longest-prefix question costs
// one step per character of the key instead of one database query per prefix.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fernkartei::phone {

class AreaCodeIndex {
 public:
  AreaCodeIndex();
  explicit AreaCodeIndex(const std::vector<std::string>& codes);

  void Add(std::string_view code);
  // The longest beginning of key that is also the beginning of at least one stored code.
  std::string_view LongestCodePrefix(std::string_view key) const;

 private:
  // Keys are made of "+" and digits, so a node needs only eleven branches. A stored code is kept up to
  // its first other character: no key can ever match that character, so the rest could never count.
  static constexpr int kBranches = 11;
  static int BranchOf(char c);
  struct Node {
    std::array<std::uint32_t, kBranches> child{};
  };
  std::vector<Node> nodes_;
};

}  // namespace fernkartei::phone
