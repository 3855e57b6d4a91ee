#pragma once
// fernkartei-export as a whole, behind its main: the arguments, the parts main chose and the two streams
// it writes to go in, the exit status comes out. Tests run it the same way, inside their own process.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "export/contact_source.h"
#include "export/source_notes.h"

namespace fernkartei::cli {

struct Console {
  std::ostream& out;
  std::ostream& err;
  // A running count of the contacts read goes to err only when a person watches it.
  bool err_is_terminal = false;
};

// The contact sources main chose, made once the options are read: certificate_file is --ca-file, and
// every note of theirs goes to `notes`.
using SourcesFor = std::function<exporting::ContactSourceFactory(
    const std::optional<std::string>& certificate_file, exporting::NoteSink notes)>;

// arguments: without the program's name. program_folder: where system.ini and the area-code database
// are looked for when no option names them.
int RunCommandLine(const std::vector<std::string>& arguments, const std::string& program_folder,
                   const SourcesFor& sources, const Console& console);

}  // namespace fernkartei::cli
