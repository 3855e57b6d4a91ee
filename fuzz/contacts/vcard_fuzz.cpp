// Any bytes at all as a .vcf file: the reader must neither crash nor hang nor hand out text that is
// not well-formed UTF-8, and reading the file in small pieces must give what reading it whole gives.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "contacts/contact_record.h"
#include "contacts/vcard_bytes.h"
#include "contacts/vcard_parser.h"
#include "contacts/vcard_text.h"
#include "support/text.h"

namespace {

void Check(const fernkartei::contacts::ContactRecord& record) {
  for (std::size_t i = 0; i < fernkartei::contacts::kContactFieldCount; ++i) {
    if (!fernkartei::support::IsValidUtf8(record.Field(i))) std::abort();
  }
}

// Every field of every record, then the problems, reading the raw bytes in pieces of `piece`.
std::vector<std::string> ReadInPieces(std::string_view raw_bytes, std::size_t piece) {
  using namespace fernkartei::contacts;
  TextBytes raw(raw_bytes, piece);
  NormalizedBytes bytes(raw);
  std::vector<std::string> read;
  auto problems = ParseVCards(bytes, &IsContactProperty, [&](VCard& card) {
    const ContactRecord record = ToContactRecord(card);
    for (std::size_t i = 0; i < kContactFieldCount; ++i) read.emplace_back(record.Field(i));
  });
  read.insert(read.end(), problems.begin(), problems.end());
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fernkartei::contacts;
  const std::string bytes = NormalizeFileBytes(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::string> dropped;
  // Once as the folder reads (only what a contact needs), once keeping every property.
  for (const PropertyFilter keep : {&IsContactProperty, static_cast<PropertyFilter>(nullptr)}) {
    const auto problems = ParseVCards(bytes, keep, [&](VCard& card) {
      for (const auto& p : card.properties) {
        if (!fernkartei::support::IsValidUtf8(p.value)) std::abort();
      }
      Check(ToContactRecord(card, &dropped));
    });
    for (const auto& p : problems) {
      if (!fernkartei::support::IsValidUtf8(p)) std::abort();
    }
  }
  for (const auto& d : dropped) {
    if (!fernkartei::support::IsValidUtf8(d)) std::abort();
  }
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  if (ReadInPieces(raw, 1 + size % 7) != ReadInPieces(raw, size + 1)) std::abort();
  return 0;
}
