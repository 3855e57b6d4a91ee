#include "support/profile_text.h"

#include <vector>

#include "support/text.h"

namespace fernkartei::support {
namespace {

struct Line {
  std::size_t begin;    // first byte of the line
  std::size_t content;  // one past the last byte before the line end
  std::size_t end;      // one past the line end (CR LF, LF or nothing)
};

std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < file.size()) {
    const auto lf = file.find('\n', pos);
    const std::size_t stop = lf == std::string_view::npos ? file.size() : lf;
    std::size_t content = stop;
    if (content > pos && file[content - 1] == '\r') --content;
    lines.push_back({pos, content, lf == std::string_view::npos ? file.size() : lf + 1});
    pos = lines.back().end;
  }
  return lines;
}

// The section name of a header line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line, std::string_view key, std::string_view* value) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  if (!EqualsIgnoringAsciiCase(TrimBlanks(line.substr(0, equals)), key)) return false;
  if (value != nullptr) *value = line.substr(equals + 1);
  return true;
}

// Where a section's lines lie: [first, last) as line indexes, first being the header's index + 1.
struct SectionRange {
  std::size_t first;
  std::size_t last;
};

std::optional<SectionRange> FindSection(std::string_view file, const std::vector<Line>& lines,
                                        std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(file.substr(lines[i].begin, lines[i].content - lines[i].begin));
    if (!name || !EqualsIgnoringAsciiCase(*name, section)) continue;
    std::size_t j = i + 1;
    while (j < lines.size() && !SectionName(file.substr(lines[j].begin, lines[j].content - lines[j].begin))) {
      ++j;
    }
    return SectionRange{i + 1, j};
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view file, std::string_view section,
                                            std::string_view key) {
  const auto lines = SplitLines(file);
  const auto range = FindSection(file, lines, section);
  if (!range) return std::nullopt;
  for (std::size_t i = range->first; i < range->last; ++i) {
    std::string_view value;
    if (!IsKeyLine(file.substr(lines[i].begin, lines[i].content - lines[i].begin), key, &value)) continue;
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

std::string SetProfileValue(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value) {
  const std::string new_line = std::string(key) + "=" + std::string(value) + "\r\n";
  const auto lines = SplitLines(file);
  const auto range = FindSection(file, lines, section);

  // A file whose last line has no line end gets one before anything is added after it.
  auto append_after = [&](std::size_t offset, const std::string& text) {
    std::string out(file.substr(0, offset));
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += text;
    out += file.substr(offset);
    return out;
  };

  if (!range) return append_after(file.size(), "[" + std::string(section) + "]\r\n" + new_line);

  std::size_t last_content = range->first - 1;  // the header when the section has no key lines yet
  for (std::size_t i = range->first; i < range->last; ++i) {
    const std::string_view text = file.substr(lines[i].begin, lines[i].content - lines[i].begin);
    if (IsKeyLine(text, key, nullptr)) {
      std::string out(file.substr(0, lines[i].begin));
      out += new_line;
      out += file.substr(lines[i].end);
      return out;
    }
    if (!TrimBlanks(text).empty()) last_content = i;
  }
  return append_after(lines[last_content].end, new_line);
}

}  // namespace fernkartei::support
