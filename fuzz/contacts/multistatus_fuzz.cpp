// Any bytes at all as a CardDAV server's answer, arriving in two pieces: the WebDAV reader must neither
// crash nor hang; it either hands out resources or throws its one failure type.

#include <cstdint>
#include <string_view>

#include "contacts/carddav/multistatus.h"
#include "support/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fernkartei::contacts::carddav;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = size == 0 ? 0 : data[0] % size;
  std::size_t seen = 0;
  try {
    const auto reader = MakeMultistatusReader([&](DavResource& r) { seen += r.href.size(); }, "REPORT /");
    reader->Feed(bytes.substr(0, cut));
    reader->Feed(bytes.substr(cut));
    reader->Finish();
  } catch (const fernkartei::support::Failure&) {
  }
  static_cast<void>(seen);
  return 0;
}
