// The German collation of the system (LCMapStringEx with the locale "de-DE").
#include "contacts/collation.h"

#include <windows.h>

#include "support/windows/wide_text.h"

namespace fernkartei::contacts {
namespace {

class WindowsCollation : public Collation {
 public:
  std::string SortKey(std::string_view utf8) const override {
    const std::wstring text = support::WideFromUtf8(utf8);
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    // String sort: a hyphen or an apostrophe counts as a sign that sorts before the letters, as in ICU,
    // instead of being passed over as in a word sort.
    constexpr DWORD kFlags = LCMAP_SORTKEY | SORT_STRINGSORT;
    const int needed = LCMapStringEx(L"de-DE", kFlags, text.c_str(), length, nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0) return std::string(utf8);
    std::string key(static_cast<std::size_t>(needed), '\0');
    // For LCMAP_SORTKEY the destination is bytes, its size counted in bytes.
    const int written = LCMapStringEx(L"de-DE", kFlags, text.c_str(), length,
                                      reinterpret_cast<LPWSTR>(key.data()), needed, nullptr, nullptr, 0);
    if (written <= 0) return std::string(utf8);
    // The key ends with a zero byte that adds nothing to the order.
    key.resize(static_cast<std::size_t>(written - 1));
    return key;
  }
};

}  // namespace

std::unique_ptr<Collation> MakeGermanCollation() {
  return std::make_unique<WindowsCollation>();
}

}  // namespace fernkartei::contacts
