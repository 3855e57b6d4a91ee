// How fast numbers are split and formatted with the full shipped area-code table, by the index loaded
// at open against the route of one table query per prefix, with libphonenumber's parse + format on the
// same numbers as the yardstick. Targets: at least 2 million formatted numbers per second on one core,
// at least 50 times the query route, and faster than libphonenumber.

#include <benchmark/benchmark.h>
#include <phonenumbers/phonenumberutil.h>

#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "phone/area_code_database.h"
#include "phone/area_code_file_writer.h"
#include "phone/phone_number.h"

namespace {

using namespace fernkartei::phone;

const std::string kDatabase = std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb";

std::vector<std::string> ShippedCodes() {
  std::ifstream in(std::string(FERNKARTEI_SOURCE_DIR) + "/data/ortsnetzkennzahlen.csv", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<std::string> codes;
  for (const auto& row : ParseAreaCodeList(text.str())) codes.push_back(row.code);
  return codes;
}

// Numbers as people type them into address books: every way of writing the prefix, blanks, slashes,
// hyphens, the redundant "(0)", mobile numbers and the odd extension.
const std::vector<std::string>& Numbers() {
  static const std::vector<std::string> numbers = [] {
    const auto codes = ShippedCodes();
    std::mt19937 random(42);
    auto digits = [&](int count) {
      std::string out;
      for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('0' + random() % 10));
      return out;
    };
    std::vector<std::string> out;
    for (int i = 0; i < 4096; ++i) {
      const auto& code = codes[random() % codes.size()];
      const auto subscriber = std::to_string(1 + random() % 9) + digits(static_cast<int>(3 + random() % 5));
      switch (i % 8) {
        case 0:
          out.push_back("+49 " + code + " " + subscriber);
          break;
        case 1:
          out.push_back("0" + code + " / " + subscriber);
          break;
        case 2:
          out.push_back("+49 (0) " + code + " " + subscriber.substr(0, 3) + "-" + subscriber.substr(3));
          break;
        case 3:
          out.push_back("(0" + code + ") " + subscriber);
          break;
        case 4:
          out.push_back("0049 " + code + " " + subscriber);
          break;
        case 5:
          out.push_back("017" + std::to_string(random() % 10) + " " + digits(7));
          break;
        case 6:
          out.push_back("0" + code + "-" + subscriber + "-12");
          break;
        default:
          out.push_back("+49" + code + subscriber);
          break;
      }
    }
    return out;
  }();
  return numbers;
}

std::vector<std::string> Keys() {
  std::vector<std::string> keys;
  for (const auto& number : Numbers()) {
    const auto parts = SplitPhoneNumber(number, false, &Find_Area_Code);
    keys.push_back(parts ? parts->area_code + parts->subscriber_number : Clean_Phone_Number(number));
  }
  return keys;
}

// Sends every lookup down the query route, so Format_Phone_Number can be timed on it unchanged.
class QueryRoute final : public AreaCodeDatabase {
 public:
  explicit QueryRoute(std::unique_ptr<AreaCodeDatabase> inner) : inner_(std::move(inner)) {}
  bool CanQueryTable(const std::string& table) override { return inner_->CanQueryTable(table); }
  std::string LongestCodePrefix(std::string_view key) const override {
    return FindAreaCodeByQueries(*inner_, key);
  }
  bool AnyCodeBeginsWith(std::string_view prefix) override { return inner_->AnyCodeBeginsWith(prefix); }

 private:
  std::unique_ptr<AreaCodeDatabase> inner_;
};

void BM_FindAreaCode_Index(benchmark::State& state) {
  DB_Connection = OpenAreaCodeDatabase(Jet4(kDatabase));
  const auto keys = Keys();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Find_Area_Code(keys[i++ % keys.size()]));
  }
  state.SetItemsProcessed(state.iterations());
  DB_Connection.reset();
}
BENCHMARK(BM_FindAreaCode_Index);

void BM_FindAreaCode_PrefixQueries(benchmark::State& state) {
  const auto db = OpenAreaCodeDatabase(Jet4(kDatabase));
  const auto keys = Keys();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindAreaCodeByQueries(*db, keys[i++ % keys.size()]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindAreaCode_PrefixQueries);

// Database-mode formatting of the same numbers over whichever lookup route the connection takes.
void FormatOver(benchmark::State& state, std::unique_ptr<AreaCodeDatabase> connection) {
  DB_Connection = std::move(connection);
  const auto& numbers = Numbers();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Format_Phone_Number(numbers[i++ % numbers.size()], true, "I (V) N"));
  }
  state.SetItemsProcessed(state.iterations());
  DB_Connection.reset();
}

void BM_FormatPhoneNumber_Index(benchmark::State& state) {
  FormatOver(state, OpenAreaCodeDatabase(Jet4(kDatabase)));
}
BENCHMARK(BM_FormatPhoneNumber_Index);

void BM_FormatPhoneNumber_PrefixQueries(benchmark::State& state) {
  FormatOver(state, std::make_unique<QueryRoute>(OpenAreaCodeDatabase(Jet4(kDatabase))));
}
BENCHMARK(BM_FormatPhoneNumber_PrefixQueries);

void BM_FormatPhoneNumber_FixedLengths(benchmark::State& state) {
  const auto& numbers = Numbers();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Format_Phone_Number(numbers[i++ % numbers.size()], false, "I (V) N"));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatPhoneNumber_FixedLengths);

void BM_Libphonenumber_ParseAndFormat(benchmark::State& state) {
  using i18n::phonenumbers::PhoneNumber;
  using i18n::phonenumbers::PhoneNumberUtil;
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  const auto& numbers = Numbers();
  std::size_t i = 0;
  std::string formatted;
  for (auto _ : state) {
    PhoneNumber parsed;
    if (util.Parse(numbers[i++ % numbers.size()], "DE", &parsed) == PhoneNumberUtil::NO_PARSING_ERROR)
      util.Format(parsed, PhoneNumberUtil::INTERNATIONAL, &formatted);
    benchmark::DoNotOptimize(formatted);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Libphonenumber_ParseAndFormat);

}  // namespace

BENCHMARK_MAIN();
