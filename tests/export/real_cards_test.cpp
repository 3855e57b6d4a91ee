// vCard files written by real programs (Outlook, Apple, Google, Android, KDE, Evolution, Thunderbird),
// through every format: whatever the cards hold, every file must keep its layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "contacts/contact_sources.h"
#include "export/export_run.h"
#include "export/line_builders.h"
#include "fakes/fake_surroundings.h"
#include "fakes/shipped_area_codes.h"
#include "phone/area_code_database.h"
#include "support/process_state.h"
#include "support/temp_folder.h"
#include "support/text.h"

namespace fernkartei::exporting {
namespace {

namespace fs = std::filesystem;

struct Export {
  std::string bytes;
  std::string message;
};

class RealCards : public fakes::ShippedAreaCodesTest {
 protected:
  Export Run(ExportFormat format, const std::string& cards) {
    fakes::FakeSurroundings surroundings;
    const auto sources = contacts::MakeContactSourceFactory(folder.path().string());
    RunOptions options;
    options.contacts_folder = cards;
    options.output_path = folder / TraitsOf(format).file_name;
    std::string participants = "11,12,15";
    std::string number_template = "I (V) N";
    EXPECT_EQ(RunExport(format, surroundings, sources, participants, number_template, options),
              RunOutcome::Written)
        << cards;
    return {folder.Read(TraitsOf(format).file_name),
            surroundings.messages.empty() ? "" : surroundings.messages[0].text};
  }
};

// The lines of a file that must end every line with CR LF and hold no other line break.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string Column(const std::string& line, int index) {
  std::stringstream in(line);
  std::string cell;
  for (int i = 0; i <= index; ++i) std::getline(in, cell, ';');
  return cell;
}

std::vector<std::string> CardSources() {
  std::vector<std::string> sources;
  const fs::path real_cards = fs::path(FERNKARTEI_TEST_DATA) / "vcard";
  for (const auto& entry : fs::directory_iterator(real_cards)) {
    if (entry.path().extension() == ".vcf") sources.push_back(entry.path().string());
  }
  sources.push_back(real_cards.string());
  sources.push_back(std::string(FERNKARTEI_SOURCE_DIR) + "/examples");
  return sources;
}

TEST_F(RealCards, EveryFormatKeepsItsLayout) {
  const auto sources = CardSources();
  ASSERT_GT(sources.size(), 5U);
  for (const auto& cards : sources) {
    std::vector<std::vector<std::string>> formatted;  // label;number of nfon, siemens, outlook
    std::size_t items = 0;
    for (const auto format :
         {ExportFormat::Nfon, ExportFormat::Siemens, ExportFormat::Outlook, ExportFormat::Simple}) {
      const FormatTraits& traits = TraitsOf(format);
      const Export result = Run(format, cards);
      EXPECT_TRUE(support::IsValidUtf8(result.bytes)) << cards;
      EXPECT_NE(result.bytes.substr(0, 3), "\xEF\xBB\xBF");
      auto lines = Lines(result.bytes);
      ASSERT_FALSE(lines.empty()) << cards;
      EXPECT_EQ(lines.front(), traits.header);
      lines.erase(lines.begin());
      const std::string header = traits.header;
      const auto separators = std::count(header.begin(), header.end(), ';');
      std::vector<std::string> label_and_number;
      for (const auto& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), ';'), separators) << cards << ": " << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        EXPECT_EQ(Column(line, 0), support::Trim(Column(line, 0))) << line;
        if (format == ExportFormat::Nfon || format == ExportFormat::Siemens) {
          EXPECT_EQ(Column(line, 2), "11,12,15");
        }
        if (format != ExportFormat::Simple) {
          EXPECT_EQ(Column(line, 1).rfind("+", 0), 0U) << line;
          label_and_number.push_back(Column(line, 0) + ";" + Column(line, 1));
        }
      }
      std::sscanf(result.message.c_str(), "Fertig, %zu Adressen", &items);
      EXPECT_LE(lines.size(), 8 * items) << cards;
      if (format == ExportFormat::Simple) {
        // Every number that could be formatted is also a raw line; some raw ones cannot be formatted.
        EXPECT_GE(lines.size(), formatted.front().size()) << cards;
      } else {
        formatted.push_back(label_and_number);
      }
    }
    EXPECT_EQ(formatted[0], formatted[1]) << cards;
    EXPECT_EQ(formatted[0], formatted[2]) << cards;
  }
}

}  // namespace
}  // namespace fernkartei::exporting
