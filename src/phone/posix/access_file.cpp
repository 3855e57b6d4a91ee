#include "phone/posix/access_file.h"

// mdbtools.h includes glib.h inside its own extern "C", which g++ rejects unless glib came first.
#include <glib.h>
// clang-format off
#include <mdbtools.h>
// clang-format on

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "phone/database_file.h"
#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using support::Failure;

constexpr std::size_t kVersionOffset = 0x14;
constexpr std::uint64_t kCatalogPage = 2;  // MSysObjects, where every table is listed

[[noreturn]] void Damaged(const std::string& path, const std::string& why) {
  ThrowDamaged("Die Access-Datei " + path, "beschädigt oder unvollständig", why);
}

std::string ReadFirstBytes(const std::string& path, std::size_t count, std::uint64_t offset = 0) {
  return ReadFileBytes(path, "Die Datei " + path, count, offset);
}

// --- what the child process sends back: tagged, length-prefixed texts -------------------------------

constexpr char kTableTag = 'T';
constexpr char kColumnTag = 'C';
constexpr char kValueTag = 'V';

void Put(std::string& out, char tag, std::string_view text) {
  out.push_back(tag);
  const auto size = static_cast<std::uint32_t>(text.size());
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((size >> shift) & 0xFF));
  out.append(text);
}

AccessContents Unpack(const std::string& path, std::string_view in) {
  AccessContents contents;
  while (!in.empty()) {
    if (in.size() < 5) Damaged(path, "unvollständige Antwort des Lesers");
    const char tag = in[0];
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
      size |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[1 + i])) << (8 * i);
    in.remove_prefix(5);
    if (in.size() < size) Damaged(path, "unvollständige Antwort des Lesers");
    std::string text(in.substr(0, size));
    in.remove_prefix(size);
    if (tag == kTableTag) {
      contents.tables.push_back(std::move(text));
    } else if (tag == kColumnTag) {
      contents.column.emplace();
    } else if (tag == kValueTag && contents.column) {
      contents.column->push_back(std::move(text));
    } else {
      Damaged(path, "unverständliche Antwort des Lesers");
    }
  }
  return contents;
}

// --- the libmdb part; runs in the child -------------------------------------------------------------

// The column's number as mdb_bind_column counts (from 1), or 0 when the table has no such column.
int FindColumn(MdbTableDef* table, const std::string& name) {
  for (unsigned i = 0; i < table->num_cols && i < table->columns->len; ++i) {
    auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    if (support::EqualsIgnoringAsciiCase(column->name, name)) return static_cast<int>(i) + 1;
  }
  return 0;
}

// Returns the packed contents, or nothing when libmdb gives up on the file.
std::optional<std::string> ReadWithLibmdb(const std::string& path, const std::string& wanted_table,
                                          const std::string& wanted_column) {
  MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (mdb == nullptr) return std::nullopt;
  if (mdb_read_catalog(mdb, MDB_TABLE) == nullptr) {
    mdb_close(mdb);
    return std::nullopt;
  }
  std::string out;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
    MdbTableDef* table = mdb_read_table(entry);
    if (table == nullptr) continue;
    if (mdb_read_columns(table) != nullptr) {
      Put(out, kTableTag, entry->object_name);
      int column = 0;
      if (support::EqualsIgnoringAsciiCase(entry->object_name, wanted_table) && !wanted_column.empty())
        column = FindColumn(table, wanted_column);
      if (column != 0) {
        Put(out, kColumnTag, "");
        // libmdb writes up to MDB_BIND_SIZE bytes into a bound buffer, whatever the column's size.
        std::vector<char> buffer(MDB_BIND_SIZE + 1, '\0');
        int length = 0;
        mdb_rewind_table(table);
        mdb_bind_column(table, column, buffer.data(), &length);
        while (mdb_fetch_row(table)) {
          const auto size = static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(MDB_BIND_SIZE)));
          Put(out, kValueTag, std::string_view(buffer.data(), size));
        }
      }
    }
    mdb_free_tabledef(table);
  }
  mdb_close(mdb);
  return out;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Some damaged files send libmdb round a cycle of pages for ever, allocating as it goes.
void LimitThisProcess(const DatabaseReadLimits& limits) {
  const rlim_t cpu = static_cast<rlim_t>(std::max(1, limits.seconds));
  rlimit cpu_limit{cpu, cpu + 1};
  setrlimit(RLIMIT_CPU, &cpu_limit);
  // On top of what the (forked) program already maps; AddressSanitizer's reservations would not fit.
  if (kAddressSanitizer) return;
  long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  if (pages > 0) {
    const auto mapped = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    rlimit memory{mapped + limits.extra_memory, mapped + limits.extra_memory};
    setrlimit(RLIMIT_AS, &memory);
  }
}

// The answer goes down the pipe behind its length, so that the parent can tell a whole answer from one
// cut short by a crash without asking for the child's exit status: with SIGCHLD ignored, as some service
// managers start programs, the system reaps the child and its status is lost.
constexpr std::size_t kLengthBytes = 8;

bool WriteAll(int fd, std::string_view rest) {
  while (!rest.empty()) {
    const ssize_t written = write(fd, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The child's side: does the work within the limits and sends the answer down the pipe.
[[noreturn]] void AnswerAsChild(const std::function<std::optional<std::string>()>& work, int answer_fd,
                                const DatabaseReadLimits& limits) {
  // The limits must end the child whatever signal state the program inherited.
  signal(SIGXCPU, SIG_DFL);
  sigset_t all;
  sigfillset(&all);
  sigprocmask(SIG_UNBLOCK, &all, nullptr);
  LimitThisProcess(limits);
  // libmdb takes its text encoding from the environment; the core speaks UTF-8 whatever the user set.
  setenv("MDBICONV", "UTF-8", 1);
  // libmdb complains on stderr about what it cannot read; the parent reports it in German instead.
  const int null_fd = open("/dev/null", O_WRONLY);
  if (null_fd >= 0) dup2(null_fd, STDERR_FILENO);
  int status = 3;
  try {
    if (auto answer = work()) {
      std::string length(kLengthBytes, '\0');
      for (std::size_t i = 0; i < kLengthBytes; ++i)
        length[i] = static_cast<char>((static_cast<std::uint64_t>(answer->size()) >> (8 * i)) & 0xFF);
      status = WriteAll(answer_fd, length) && WriteAll(answer_fd, *answer) ? 0 : 4;
    }
  } catch (...) {
    status = 5;
  }
  close(answer_fd);
  _exit(status);  // no exit handlers: they belong to the parent
}

// The parent's side: reads the answer until the child closes the pipe or the wall-clock limit ends it,
// then collects the child. Nothing unless the whole answer arrived.
std::optional<std::string> CollectChild(pid_t pid, int answer_fd, const DatabaseReadLimits& limits) {
  std::string answer;
  char chunk[65536];
  bool timed_out = false;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(2 * std::max(1, limits.seconds));
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd wait_for{answer_fd, POLLIN, 0};
    const int ready = left.count() > 0 ? poll(&wait_for, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timed_out = true;  // a child asleep rather than busy: the CPU limit would never end it
      kill(pid, SIGKILL);
      break;
    }
    const ssize_t got = read(answer_fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    answer.append(chunk, static_cast<std::size_t>(got));
  }
  close(answer_fd);
  int status = 0;
  // Fails at once (ECHILD) when the system has reaped the child already; the answer tells enough.
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timed_out || answer.size() < kLengthBytes) return std::nullopt;
  std::uint64_t length = 0;
  for (std::size_t i = 0; i < kLengthBytes; ++i)
    length |= static_cast<std::uint64_t>(static_cast<unsigned char>(answer[i])) << (8 * i);
  if (length != answer.size() - kLengthBytes) return std::nullopt;
  answer.erase(0, kLengthBytes);
  return answer;
}
// Runs work in a child process so that a crash inside it cannot take the program down. The child
// answers through a pipe; a child that dies or fails gives nothing.
std::optional<std::string> RunIsolated(const std::function<std::optional<std::string>()>& work,
                                       const DatabaseReadLimits& limits) {
  int fds[2];
  // Close-on-exec: a program started meanwhile by another thread must not hold the pipe open.
  if (pipe2(fds, O_CLOEXEC) != 0) return work();
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return work();
  }
  if (pid == 0) {
    close(fds[0]);
    AnswerAsChild(work, fds[1], limits);
  }
  close(fds[1]);
  return CollectChild(pid, fds[0], limits);
}

}  // namespace

void CheckAccessFileLayout(const std::string& path) {
  const std::string head = ReadFirstBytes(path, kVersionOffset + 1);
  if (!HasAccessSignature(head) || head.size() <= kVersionOffset) Damaged(path, "keine Jet-Kennung");
  const auto version = static_cast<unsigned char>(head[kVersionOffset]);
  // 0 is Jet 3 with 2 KiB pages; Jet 4 and every ACE version since use 4 KiB pages.
  if (version > 0x10) Damaged(path, "unbekannte Version " + std::to_string(version));
  const std::uint64_t page_size = version == 0 ? 2048 : 4096;
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) ThrowUnreadable("Die Datei " + path);
  if (size % page_size != 0) Damaged(path, "Größe ist kein Vielfaches der Seitengröße");
  if (size < (kCatalogPage + 1) * page_size) Damaged(path, "Katalogseite fehlt");
  const std::string catalog = ReadFirstBytes(path, 2, kCatalogPage * page_size);
  // A table-definition page starts with type 2 and the byte 1.
  if (catalog != std::string_view("\x02\x01", 2)) Damaged(path, "Katalogseite ungültig");
}

AccessContents ReadAccessFile(const std::string& path, const std::string& table, const std::string& column,
                              const DatabaseReadLimits& limits) {
  CheckAccessFileLayout(path);
  const auto answer = RunIsolated([&] { return ReadWithLibmdb(path, table, column); }, limits);
  if (!answer) Damaged(path, "Tabellen nicht lesbar");
  return Unpack(path, *answer);
}

}  // namespace fernkartei::phone
