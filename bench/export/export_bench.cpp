// 100,000 invented contacts with all eight telephone entries (800,000 numbers) from one vCard file to
// nfon.csv with the shipped area-code database, end to end; and the writing part alone next to a plain
// write loop of the same bytes. Targets: the whole run under 2 s on one core, peak memory under 300 MB.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "contacts/contact_sources.h"
#include "export/export_run.h"
#include "export/quiet_surroundings.h"
#include "phone/area_code_database.h"
#include "support/process_state.h"
#include "support/utf8_output.h"

namespace fernkartei {
namespace {

namespace fs = std::filesystem;

constexpr int kContacts = 100000;

const char* const kFirstNames[] = {"Jürgen", "Erika",     "Ännchen", "Hans-Peter",
                                   "Ayşe",   "Friedrich", "Zoë",     "Max"};
const char* const kLastNames[] = {"Müller", "Schmidt", "Weiß",    "Groß",
                                  "Bäcker", "Özdemir", "Schäfer", "Koch"};
const char* const kAreaCodes[] = {"030", "089", "0221", "06221", "07071", "0351", "0711", "040"};

std::string Number(std::mt19937& random, int style) {
  const std::string area = kAreaCodes[random() % 8];
  const std::string subscriber = std::to_string(100000 + random() % 9000000);
  switch (style % 4) {
    case 0:
      return area + " " + subscriber;
    case 1:
      return "+49 (0) " + area.substr(1) + " " + subscriber.substr(0, 3) + "-" + subscriber.substr(3);
    case 2:
      return "0049 " + area.substr(1) + "/" + subscriber;
    default:
      return "(" + area + ") " + subscriber;
  }
}

struct Workspace {
  Workspace() {
    folder = fs::temp_directory_path() / ("fernkartei-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    std::mt19937 random(42);
    std::ofstream out(folder / "kontakte.vcf", std::ios::binary);
    for (int i = 0; i < kContacts; ++i) {
      const std::string first = kFirstNames[random() % 8];
      const std::string last = std::string(kLastNames[random() % 8]) + std::to_string(i % 977);
      out << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" << last << ";" << first << ";;;\r\nFN:" << first << " "
          << last << "\r\nTEL;TYPE=PREF:" << Number(random, i)
          << "\r\nTEL;TYPE=WORK:" << Number(random, i + 1) << "\r\nTEL;TYPE=WORK:" << Number(random, i + 2)
          << "\r\nTEL;TYPE=HOME:" << Number(random, i + 3) << "\r\nTEL;TYPE=HOME:" << Number(random, i + 4)
          << "\r\nTEL;TYPE=CELL:01" << (51 + i % 30) << " " << 1000000 + i
          << "\r\nX-MS-TEL;TYPE=COMPANY:" << Number(random, i + 5) << "\r\nTEL:" << Number(random, i + 6)
          << "\r\nEND:VCARD\r\n";
    }
    support::App_Title = "Fernkartei";
    support::INI_Path = (folder / "system.ini").string();
    phone::DB_Connection =
        phone::OpenAreaCodeDatabase(phone::Jet4(std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb"));
    phone::Area_Table_Exists = phone::ExistTabel(phone::DB_Connection.get(), "sVorwahlen");
  }
  ~Workspace() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  fs::path folder;
};

Workspace& Shared() {
  static Workspace workspace;
  return workspace;
}

void ReportMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_VCardToNfonEndToEnd(benchmark::State& state) {
  Workspace& w = Shared();
  const std::string output = (w.folder / "nfon.csv").string();
  for (auto _ : state) {
    exporting::QuietSurroundings surroundings;
    const auto sources = contacts::MakeContactSourceFactory(w.folder.string());
    exporting::RunOptions options;
    options.contacts_folder = (w.folder / "kontakte.vcf").string();
    options.output_path = output;
    std::string participants = "11,12,15";
    std::string number_template = "I (V) N";
    const auto outcome = exporting::RunExport(exporting::ExportFormat::Nfon, surroundings, sources,
                                              participants, number_template, options);
    if (outcome != exporting::RunOutcome::Written)
      state.SkipWithError(surroundings.messages().back().c_str());
  }
  state.counters["lines"] = 0;
  std::ifstream in(output, std::ios::binary);
  state.counters["lines"] = static_cast<double>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
  ReportMemory(state);
}
BENCHMARK(BM_VCardToNfonEndToEnd)->Unit(benchmark::kMillisecond)->Iterations(3);

// The lines of the file the end-to-end run wrote, without their line ends.
std::vector<std::string> ExportedLines() {
  Workspace& w = Shared();
  std::ifstream in(w.folder / "nfon.csv", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void BM_WritingPart(benchmark::State& state) {
  const auto lines = ExportedLines();
  const std::string path = (Shared().folder / "write.csv").string();
  for (auto _ : state) {
    std::remove(path.c_str());
    auto file = support::Open_UTF8_File(path);
    for (const auto& line : lines) support::Write_UTF8_Text(*file, line, true);
    file->Close();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_WritingPart)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor: the same bytes, one fwrite per line into a buffered stream, no checks, no sync.
void BM_PlainWriteLoop(benchmark::State& state) {
  const auto lines = ExportedLines();
  const std::string path = (Shared().folder / "plain.csv").string();
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    for (const auto& line : lines) {
      std::fwrite(line.data(), 1, line.size(), file);
      std::fwrite("\r\n", 1, 2, file);
    }
    std::fclose(file);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_PlainWriteLoop)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace fernkartei

BENCHMARK_MAIN();
