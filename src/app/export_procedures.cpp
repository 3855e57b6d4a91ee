// The window's export procedures: one run per format, over whichever contact source main chose.

#include <utility>

#include "app/form1.h"
#include "export/export_run.h"

namespace fernkartei::app {

ExportProcedures ExportProceduresOver(exporting::ContactSourceFactory sources,
                                      exporting::PassedOverTally* passed_over) {
  ExportProcedures procedures;
  for (const auto& traits : exporting::kExportFormats) {
    procedures[static_cast<std::size_t>(traits.format)] = [sources, passed_over, format = traits.format](
                                                              Form1& window, std::string& participants,
                                                              std::string& number_template) {
      exporting::RunOptions options;
      options.passed_over = passed_over;
      const auto outcome =
          exporting::RunExport(format, window, sources, participants, number_template, options);
      // The run tells the user how it went; what it passed over would otherwise go unseen.
      if (outcome == exporting::RunOutcome::Written && passed_over != nullptr && !passed_over->Empty()) {
        window.ShowMessage(passed_over->Summary(), exporting::MessageIcon::None);
      }
    };
  }
  return procedures;
}

}  // namespace fernkartei::app
