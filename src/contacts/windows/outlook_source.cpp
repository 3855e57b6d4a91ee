#include "contacts/outlook_source.h"

#include <filesystem>

#include "contacts/outlook/outlook_source.h"
#include "support/file_helpers.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         support::EqualsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

bool IsOutlookFolderSetting(const std::string& setting) {
  if (setting.empty()) return true;
  if (setting.find_first_not_of("0123456789") == std::string::npos) return true;  // a folder number
  if (setting.find_first_of("\\/:") != std::string::npos) return false;
  if (EndsWithIgnoringCase(setting, ".vcf") || EndsWithIgnoringCase(setting, ".vcard")) return false;
  std::error_code error;
  return !std::filesystem::exists(support::PathFromUtf8(setting), error);
}

std::unique_ptr<exporting::ContactSource> MakeOutlookSource(const std::string&, const DiagnosticSink&) {
  return std::make_unique<OutlookSource>();
}

}  // namespace fernkartei::contacts
