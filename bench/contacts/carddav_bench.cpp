// The CardDAV source against Radicale from Debian with 5,000 invented contacts: the whole run of
// fernkartei-export (start, area codes, finding the address book, the REPORT, reading, sorting, writing)
// against one plain curl of the same REPORT. Targets: within 1.5 times the time of curl, peak memory of
// the run under 100 MB.

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>

#include "contacts/carddav/card_download.h"
#include "contacts/carddav/dav_servers.h"
#include "invented_cards.h"

namespace fernkartei::contacts {
namespace {

constexpr int kContacts = 5'000;

struct Measured {
  double seconds;
  double peak_megabytes;
};

// Runs a program to its end, its output thrown away (Radicale turns some 2.1 types into plain numbers,
// which the run then reports as passed over).
Measured Run(const std::vector<std::string>& arguments) {
  const auto start = std::chrono::steady_clock::now();
  testing::ChildProcess program(arguments, "/dev/null");
  rusage usage{};
  if (!program.Wait(usage)) std::abort();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return {took.count(), static_cast<double>(usage.ru_maxrss) / 1024.0};  // Linux counts kilobytes
}

// Started and filled once per process: one PUT of the whole address book.
const testing::Radicale& Server() {
  static const testing::TempFolder folder;
  static const testing::Radicale server(false);
  static const bool filled = [] {
    std::ofstream cards(folder / "cards.vcf", std::ios::binary);
    std::mt19937 random(7);
    for (int i = 0; i < kContacts; ++i) cards << InventCard(random, i);
    cards.close();
    return server.Curl("anna", "PUT", "/anna/bench/", folder / "cards.vcf", "/dev/null",
                       "-H 'Content-Type: text/vcard'") == 201;
  }();
  if (!filled) std::abort();
  return server;
}

void Measure(benchmark::State& state, const std::vector<std::string>& arguments) {
  Run(arguments);  // the server reads its cards into its cache once
  double peak = 0;
  for (auto _ : state) {
    const Measured m = Run(arguments);
    state.SetIterationTime(m.seconds);
    peak = std::max(peak, m.peak_megabytes);
  }
  state.counters["contacts"] = kContacts;
  state.counters["peak_RSS_MB"] = peak;
}

void PlainCurlReport(benchmark::State& state) {
  static const testing::TempFolder folder;
  const std::string body = folder.Write("query.xml", carddav::AddressBookQuery());
  Measure(state, {"curl", "-sS", "-u", std::string("anna:") + testing::kDavPassword, "-X", "REPORT", "-H",
                  "Depth: 1", "-H", "Content-Type: application/xml; charset=utf-8", "--compressed",
                  "--data-binary", "@" + body, Server().Url("", "/anna/bench/")});
}
BENCHMARK(PlainCurlReport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void WholeExportRun(benchmark::State& state) {
  static const testing::TempFolder folder;
  setenv("FERNKARTEI_CARDDAV_PASSWORD", testing::kDavPassword, 1);
  Measure(state, {std::string(FERNKARTEI_BIN_DIR) + "/fernkartei-export", "--settings", folder / "system.ini",
                  "--format", "nfon", "--contacts", Server().Url("anna", "/anna/bench/"), "--output",
                  folder / "nfon.csv"});
}
BENCHMARK(WholeExportRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace fernkartei::contacts

BENCHMARK_MAIN();
