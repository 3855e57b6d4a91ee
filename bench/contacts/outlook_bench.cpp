// Exporting a large Outlook folder: 10,000 contacts from the registered Outlook double, each call into it
// made to take 50 µs, about what a call into Outlook's own process costs. Reports how many member calls
// one contact costs and how long the whole export takes. Windows only; runs under Wine.
//   outlook_bench [contacts [microseconds per call]]

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "contacts/outlook/outlook_source.h"
#include "export/export_run.h"
#include "fakes/fake_surroundings.h"

namespace {

namespace fs = std::filesystem;
using namespace fernkartei;

// A folder of invented contacts, each with a name and three numbers, as most address books hold them.
void WriteFolder(const fs::path& scenario, int contacts, long delay) {
  std::ofstream out(scenario, std::ios::binary);
  out << "delay " << delay << "\nfolder 10 2 Kontakte\n";
  for (int i = 0; i < contacts; ++i) {
    const std::string last = "Muster" + std::to_string(i % 997);
    out << "contact\nLastNameAndFirstName=" << last << ", Erika\nFirstName=Erika\nLastName=" << last
        << "\nBusinessTelephoneNumber=030 " << 1000000 + i << "\nMobileTelephoneNumber=0151 " << 2000000 + i
        << "\nHomeTelephoneNumber=06221 " << 3000000 + i << "\n";
  }
}

double ExportSeconds(const fs::path& folder) {
  _putenv(("FERNKARTEI_OUTLOOK_DOUBLE=" + (folder / "folders.txt").string()).c_str());
  fakes::FakeSurroundings surroundings;
  exporting::RunOptions options;
  options.output_path = (folder / "simple.csv").string();
  options.contacts_folder = "10";
  std::string participants = "11,12,15";
  std::string number_template = "I (V) N";
  const exporting::ContactSourceFactory outlook = [](const std::string&, const exporting::FolderPicker&) {
    return std::make_unique<contacts::OutlookSource>();
  };
  const auto start = std::chrono::steady_clock::now();
  const auto outcome = exporting::RunExport(exporting::ExportFormat::Simple, surroundings, outlook,
                                            participants, number_template, options);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (outcome != exporting::RunOutcome::Written) std::fprintf(stderr, "Export fehlgeschlagen\n");
  return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
  const int contacts = argc > 1 ? std::atoi(argv[1]) : 10'000;
  const long delay = argc > 2 ? std::atol(argv[2]) : 50;
  const fs::path folder = fs::temp_directory_path() / "fernkartei-outlook-bench";
  fs::create_directories(folder);

  // The calls of one contact, counted in the journal of a small folder: from the first item on.
  constexpr int kCounted = 100;
  WriteFolder(folder / "folders.txt", kCounted, 0);
  fs::remove(folder / "folders.txt.log");
  ExportSeconds(folder);
  long calls = 0;
  {
    std::ifstream journal(folder / "folders.txt.log");
    std::string line;
    bool in_items = false;
    while (std::getline(journal, line)) {
      if (in_items && line.rfind("release", 0) != 0) ++calls;
      in_items = in_items || line == "Items._NewEnum()";
    }
  }

  WriteFolder(folder / "folders.txt", contacts, delay);
  const double seconds = ExportSeconds(folder);
  std::printf("%.1f Aufrufe je Kontakt; %d Kontakte bei %ld µs je Aufruf: %.2f s (%.0f µs je Kontakt)\n",
              static_cast<double>(calls) / kCounted, contacts, delay, seconds, seconds * 1e6 / contacts);
  fs::remove_all(folder);
  return 0;
}
