#include "export/export_format.h"

namespace fernkartei::exporting {

const FormatTraits& TraitsOf(ExportFormat format) {
  const auto index = static_cast<std::size_t>(format);
  return kExportFormats.at(index < kExportFormats.size() ? index : 0);
}

std::optional<ExportFormat> FormatAt(int index) {
  if (index < 0 || index >= kFormatCount) return std::nullopt;
  return kExportFormats[static_cast<std::size_t>(index)].format;
}

std::optional<ExportFormat> FormatFromTyp(std::string_view typ) {
  for (const auto& traits : kExportFormats) {
    if (typ == TypOf(traits.format)) return traits.format;
  }
  return std::nullopt;
}

std::string TypOf(ExportFormat format) {
  return std::to_string(static_cast<int>(format));
}

std::optional<ExportFormat> FormatFromOptionName(std::string_view name) {
  for (const auto& traits : kExportFormats) {
    if (name == traits.option_name) return traits.format;
  }
  return std::nullopt;
}

}  // namespace fernkartei::exporting
