// The window's export procedures: one run per format, over whichever contact source main chose.

#include <utility>

#include "app/form1.h"
#include "export/export_run.h"

namespace fernkartei::app {

ExportProcedures ExportProceduresOver(exporting::ContactSourceFactory sources) {
  ExportProcedures procedures;
  for (const auto& traits : exporting::kExportFormats) {
    procedures[static_cast<std::size_t>(traits.format)] = [sources, format = traits.format](
                                                              Form1& window, std::string& participants,
                                                              std::string& number_template) {
      // The run tells the user how it went; the window has nothing to add.
      exporting::RunExport(format, window, sources, participants, number_template);
    };
  }
  return procedures;
}

}  // namespace fernkartei::app
