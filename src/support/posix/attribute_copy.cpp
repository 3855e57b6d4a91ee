// The old file's owner, group, rights, ACL and extended attributes for the file that replaces it. Read
// from the old file by name without following links, set only through the new file's descriptor. The
// extended attributes (the ACL among them) are copied by libattr, which knows from /etc/xattr.conf which
// ones must not be copied.

#include <attr/libattr.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <vector>

#include "support/failure.h"
#include "support/posix/posix_files.h"

namespace fernkartei::support::posix {
namespace {

// The process's umask without changing it, where the system tells it; else read by setting it back.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// The rights a file created with mode 0666 gets in `folder`: those of the folder's default ACL where it
// has one (the umask does not apply then), else 0666 less the umask. The ACL is read in the kernel's own
// format, which is fixed: a 4-byte version, then 8 bytes per entry (tag, permissions, id).
mode_t NewFileMode(const std::string& folder) {
  std::vector<unsigned char> acl(static_cast<std::size_t>(
      std::max<ssize_t>(0, ::getxattr(folder.c_str(), "system.posix_acl_default", nullptr, 0))));
  const ssize_t size =
      acl.empty() ? -1 : ::getxattr(folder.c_str(), "system.posix_acl_default", acl.data(), acl.size());
  if (size < 4) return 0666 & ~CurrentUmask();
  mode_t owner = 0, group = 0, other = 0, mask = 8;  // 8: no mask entry
  for (ssize_t at = 4; at + 8 <= size; at += 8) {
    const mode_t permissions = acl[at + 2] & 07;
    switch (acl[at] | acl[at + 1] << 8) {
      case 0x01:
        owner = permissions;
        break;
      case 0x04:
        group = permissions;
        break;
      case 0x10:
        mask = permissions;
        break;
      case 0x20:
        other = permissions;
        break;
      default:
        break;
    }
  }
  return ((owner << 6) | ((mask < 8 ? mask : group) << 3) | other) & 0666;
}

// Everything the old file carries, ACLs included; only what xattr.conf says to skip stays behind.
int CopiedAttribute(const char* name, struct error_context* context) {
  return attr_copy_action(name, context) != ATTR_ACTION_SKIP ? 1 : 0;
}

void CopyExtendedAttributes(const std::string& model, const struct stat& seen, int fd) {
  Descriptor source(::open(model.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat opened {};
  if (!source || ::fstat(source.get(), &opened) != 0 || !SameFile(seen, opened)) return;
  // Attributes this process may not set (trusted.*, security.* for a user) stay behind, as they would
  // for a copy.
  attr_copy_fd(model.c_str(), source.get(), "", fd, CopiedAttribute, nullptr);
}

}  // namespace

void CopyAttributes(const std::string& model, int fd) {
  struct stat old {};
  if (::lstat(model.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
    if (::fchmod(fd, NewFileMode(FolderAndName(model).first)) != 0) ThrowFileFailure(errno);
    return;
  }
  // Owner and group where this process may give them; a user keeps at least a group of their own.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Neither may be given: the new file stays the user's own.
  }
  CopyExtendedAttributes(model, old, fd);
  // Last, as changing the owner clears set-ID bits; the ACL's mask follows the group bits.
  if (::fchmod(fd, (old.st_mode & 07777) | S_IWUSR) != 0) ThrowFileFailure(errno);
}

}  // namespace fernkartei::support::posix
