// Reading a 600 MB vCard file whose cards carry photos, the way phones and Apple, Google and Outlook
// export them (3.0 folded base64, 2.1 base64 blocks, 4.0 data URIs). Target: a peak under 300 MB;
// the reader holds a few lines at a time and steps over the photos without keeping them. A process of
// its own, so that the peak is this file's alone.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "contacts/vcard_source.h"

namespace fernkartei::contacts {
namespace {

constexpr std::uintmax_t kFileBytes = 600'000'000;
constexpr double kPeakTargetMegabytes = 300;

std::string Photo() {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::mt19937 random(11);
  std::string photo(80'000, 'A');
  for (char& c : photo) c = kAlphabet[random() % 64];
  return photo;
}

std::string Folded(const std::string& photo, std::size_t width, const std::string& indent) {
  std::string out;
  for (std::size_t at = 0; at < photo.size(); at += width) out += indent + photo.substr(at, width) + "\r\n";
  return out;
}

std::string Card(int index, const std::string& photo) {
  const std::string n = std::to_string(index);
  switch (index % 3) {
    case 0:
      return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster" + n +
             ";Erika;;;\r\nFN:Erika Muster\r\nTEL;TYPE=WORK:030 " + n +
             "\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + Folded(photo, 74, " ").substr(1) + "END:VCARD\r\n";
    case 1:
      return "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Muster" + n + ";Hans\r\nTEL;WORK;VOICE:030 " + n +
             "\r\nPHOTO;TYPE=JPEG;ENCODING=BASE64:\r\n" + Folded(photo, 72, "  ") + "\r\nEND:VCARD\r\n";
    default:
      return "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Muster" + n + ";Eva;;;\r\nTEL;TYPE=cell:0151 " + n +
             "\r\nPHOTO:data:image/jpeg;base64," + photo + "\r\nEND:VCARD\r\n";
  }
}

// Written card by card, so that making it costs no memory worth counting.
std::filesystem::path AddressBookWithPhotos(int& cards) {
  const auto path =
      std::filesystem::temp_directory_path() / ("fernkartei-photos-" + std::to_string(::getpid()) + ".vcf");
  const std::string photo = Photo();
  std::ofstream out(path, std::ios::binary);
  std::uintmax_t written = 0;
  for (cards = 0; written < kFileBytes; ++cards) {
    const std::string card = Card(cards, photo);
    out << card;
    written += card.size();
  }
  return path;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports kilobytes
}

void ReadAddressBookWithPhotos(benchmark::State& state) {
  int cards = 0;
  const auto file = AddressBookWithPhotos(cards);
  std::size_t items_seen = 0;
  for (auto _ : state) {
    VCardSource source("/", {});
    auto items = source.CreateApplication()->GetNamespace("MAPI")->GetDefaultFolder(file.string())->Items();
    items->Sort("[LastName]", false);
    items_seen = 0;
    while (auto item = items->Next()) ++items_seen;
  }
  const double peak = PeakMegabytes();
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  state.counters["contacts"] = static_cast<double>(items_seen);
  state.counters["peak_RSS_MB"] = peak;
  state.SetBytesProcessed(static_cast<std::int64_t>(std::filesystem::file_size(file)) * state.iterations());
  std::filesystem::remove(file);
  if (items_seen != static_cast<std::size_t>(cards)) state.SkipWithError("not every card was read");
  if (peak >= kPeakTargetMegabytes) state.SkipWithError("peak memory above 300 MB");
}
BENCHMARK(ReadAddressBookWithPhotos)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace fernkartei::contacts

BENCHMARK_MAIN();
