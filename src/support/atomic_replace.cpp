#include "support/atomic_replace.h"

#include "support/failure.h"
#include "support/replacement_file.h"

namespace fernkartei::support {

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes, FileSystem& files) {
  // A write-protected file stays as it is.
  if (files.IsWriteProtected(path)) return ReplaceResult::NotWritable;
  ReplacementFile replacement(path, files);
  WritableFile* file = nullptr;
  try {
    file = &replacement.Open();
  } catch (const Failure& failure) {
    const bool refused = failure.number() == static_cast<int>(ErrorNumber::PermissionDenied);
    return refused ? ReplaceResult::NotWritable : ReplaceResult::Failed;
  }
  try {
    file->Write(bytes);
    replacement.Commit();
    return ReplaceResult::Replaced;
  } catch (const Failure&) {
    return ReplaceResult::Failed;
  }
}

}  // namespace fernkartei::support
