// Reading and sorting a large address book: 100,000 invented contacts (about 30 MB of vCards of all
// three versions, German names, several numbers each), the size of a big company's shared folder.
// Targets: read plus sort under one second on one core, peak memory under 200 MB.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "contacts/vcard_folder.h"
#include "contacts/vcard_source.h"
#include "invented_cards.h"

namespace fernkartei::contacts {
namespace {

constexpr int kContacts = 100'000;
constexpr int kFiles = 10;

// Written once per process, file by file, so that generating costs no memory worth counting.
const std::filesystem::path& AddressBook() {
  static const std::filesystem::path folder = [] {
    const auto path =
        std::filesystem::temp_directory_path() / ("fernkartei-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    std::mt19937 random(7);
    int index = 0;
    for (int f = 0; f < kFiles; ++f) {
      std::ofstream out(path / ("adressen-" + std::to_string(f) + ".vcf"), std::ios::binary);
      for (int i = 0; i < kContacts / kFiles; ++i) out << InventCard(random, index++);
    }
    return path;
  }();
  return folder;
}

void RemoveAddressBook() {
  std::error_code ec;
  std::filesystem::remove_all(AddressBook(), ec);
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports kilobytes
}

void ReadAndSortAddressBook(benchmark::State& state) {
  const std::string folder = Utf8FromPath(AddressBook());
  std::uintmax_t bytes = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) bytes += e.file_size();
  std::size_t items_seen = 0;
  for (auto _ : state) {
    VCardSource source("/", {});
    auto items = source.CreateApplication()->GetNamespace("MAPI")->GetDefaultFolder(folder)->Items();
    items->Sort("[LastName]", false);
    items_seen = 0;
    while (auto item = items->Next()) ++items_seen;
    benchmark::DoNotOptimize(items_seen);
  }
  state.counters["contacts"] = static_cast<double>(items_seen);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["peak_RSS_MB"] = PeakMegabytes();
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}
BENCHMARK(ReadAndSortAddressBook)->Unit(benchmark::kMillisecond)->Iterations(3);

// The reader alone, without building the items and sorting them.
void ReadOnly(benchmark::State& state) {
  const auto folder = AddressBook();
  for (auto _ : state) {
    auto records = ReadContacts(folder, {});
    benchmark::DoNotOptimize(records.data());
  }
}
BENCHMARK(ReadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace fernkartei::contacts

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // FERNKARTEI_BENCH_KEEP leaves the address book behind, for profiling the reader on its own.
  if (!std::getenv("FERNKARTEI_BENCH_KEEP")) fernkartei::contacts::RemoveAddressBook();
  return 0;
}
