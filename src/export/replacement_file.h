#pragma once
// The new export file is written beside the old one under a temporary name and takes the old one's
// place only once it is complete. A run that ends early (a cancelled folder choice, Outlook failing, a
// full disk) leaves the previous phonebook file exactly as it was, and leaves no half-written file.

#include <memory>
#include <string>

#include "support/utf8_output.h"

namespace fernkartei::exporting {

class ReplacementFile {
 public:
  explicit ReplacementFile(std::string target);
  // Removes the temporary file unless Commit succeeded.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // True when a file can be created in the target's folder and an existing target may be overwritten
  // (not write-protected, not a folder). Leaves nothing behind.
  static bool CanReplace(const std::string& target);

  // Creates the temporary file. Throws support::Failure.
  support::Utf8File& Open();
  // Closes the temporary file and renames it over the target. Throws support::Failure; the temporary
  // file is gone then and the target untouched.
  void Commit();
  // Drops the temporary file, if any.
  void Discard();

  const std::string& temporary_path() const { return temporary_path_; }

 private:
  std::string target_;
  std::string temporary_path_;
  std::unique_ptr<support::Utf8File> file_;
};

}  // namespace fernkartei::exporting
