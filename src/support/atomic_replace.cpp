#include "support/atomic_replace.h"

#include "support/failure.h"
#include "support/replacement_file.h"

namespace fernkartei::support {
namespace {

bool Refused(const Failure& failure) {
  return failure.number() == static_cast<int>(ErrorNumber::PermissionDenied);
}

// For a folder that takes no new files around a file that may be written, as programs are often
// installed: the file is written over, which a crash midway can leave half-written, but the setting
// is not lost.
ReplaceResult RewriteInPlace(const std::string& path, std::string_view bytes, FileSystem& files) {
  std::unique_ptr<WritableFile> file;
  try {
    file = files.OpenForRewrite(path);
  } catch (const Failure&) {
    return ReplaceResult::NotWritable;
  }
  try {
    file->Write(bytes);
    file->Flush();
    file->Sync();
    file->Close();
    return ReplaceResult::Replaced;
  } catch (const Failure&) {
    return ReplaceResult::Failed;
  }
}

}  // namespace

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes, FileSystem& files) {
  std::string target;
  try {
    // A link of another user and anything but a regular file stay as they are.
    target = files.ResolveTarget(path);
  } catch (const Failure&) {
    return ReplaceResult::NotWritable;
  }
  // A write-protected file stays as it is.
  if (files.IsWriteProtected(target)) return ReplaceResult::NotWritable;
  ReplacementFile replacement(target, files);
  WritableFile* file = nullptr;
  try {
    file = &replacement.Open();
  } catch (const Failure& failure) {
    if (!Refused(failure)) return ReplaceResult::Failed;
    replacement.Discard();
    return RewriteInPlace(target, bytes, files);
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
