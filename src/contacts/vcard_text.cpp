#include "contacts/vcard_text.h"

#include <array>
#include <cstdint>

#include "support/text.h"

namespace fernkartei::contacts {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Upper-cased, with "_" read as "-", so that "iso_8859-15", "ISO-8859-15" and "Iso-8859-15" agree.
std::string CanonicalCharset(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '"' || c == ' ') continue;
    out += c == '_' ? '-' : support::AsciiUpper(c);
  }
  return out;
}

// ISO-8859-15 replaces eight Latin-1 characters, among them the euro sign.
char32_t Latin9CodePoint(unsigned char b) {
  switch (b) {
    case 0xA4:
      return 0x20AC;
    case 0xA6:
      return 0x0160;
    case 0xA8:
      return 0x0161;
    case 0xB4:
      return 0x017D;
    case 0xB8:
      return 0x017E;
    case 0xBC:
      return 0x0152;
    case 0xBD:
      return 0x0153;
    case 0xBE:
      return 0x0178;
    default:
      return b;
  }
}

// Latin-1 and Latin-9 text that reaches us with bytes 0x80..0x9F was written on Windows: those bytes
// are Windows-1252 characters (€, „, “), never the C1 controls a strict reading would give.
std::string LatinToUtf8(std::string_view bytes, bool latin9) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (b < 0xA0) {
      out += support::Windows1252ToUtf8(bytes.substr(i, 1));
    } else {
      support::AppendUtf8(out, latin9 ? Latin9CodePoint(b) : b);
    }
  }
  return out;
}

}  // namespace

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '=') {
      out += c;
      continue;
    }
    const int hi = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    const int lo = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
    if (hi >= 0 && lo >= 0) {
      out += static_cast<char>((hi << 4) | lo);
      i += 2;
      continue;
    }
    if (i + 1 == text.size()) break;  // a soft break whose next line never came
    out += '=';
  }
  return out;
}

std::string DecodeCharset(std::string_view bytes, std::string_view charset) {
  if (support::IsAscii(bytes)) return std::string(bytes);
  const std::string name = CanonicalCharset(charset);
  if (name == "WINDOWS-1252" || name == "CP1252" || name == "X-CP1252" || name == "ANSI") {
    return support::Windows1252ToUtf8(bytes);
  }
  if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "LATIN1" || name == "LATIN-1" || name == "L1") {
    return LatinToUtf8(bytes, false);
  }
  if (name == "ISO-8859-15" || name == "ISO8859-15" || name == "LATIN9" || name == "LATIN-9") {
    return LatinToUtf8(bytes, true);
  }
  if (name == "UTF-8" || name == "UTF8") return support::SanitizeUtf8(bytes);
  if (support::IsValidUtf8(bytes)) return std::string(bytes);
  return support::Windows1252ToUtf8(bytes);
}

std::string Utf16ToUtf8(std::string_view bytes, bool little_endian) {
  std::string out;
  out.reserve(bytes.size() / 2 + 16);
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return little_endian ? static_cast<char32_t>(a | (b << 8)) : static_cast<char32_t>((a << 8) | b);
  };
  std::size_t i = 0;
  while (i + 1 < bytes.size()) {
    const char32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < bytes.size()) {
        const char32_t low = unit(i);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          i += 2;
          support::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
          continue;
        }
      }
      support::AppendUtf8(out, 0xFFFD);
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      support::AppendUtf8(out, 0xFFFD);
    } else {
      support::AppendUtf8(out, u);
    }
  }
  if (i < bytes.size()) support::AppendUtf8(out, 0xFFFD);
  return out;
}

std::string NormalizeFileBytes(std::string bytes) {
  const auto starts = [&](std::string_view prefix) { return std::string_view(bytes).starts_with(prefix); };
  if (starts("\xEF\xBB\xBF")) return bytes.substr(3);
  if (starts("\xFF\xFE")) return Utf16ToUtf8(std::string_view(bytes).substr(2), true);
  if (starts("\xFE\xFF")) return Utf16ToUtf8(std::string_view(bytes).substr(2), false);
  // UTF-16 without a byte-order mark still shows itself by the zero bytes around "BEGIN".
  if (starts(std::string_view("B\0E\0G\0", 6))) return Utf16ToUtf8(bytes, true);
  if (starts(std::string_view("\0B\0E\0G", 6))) return Utf16ToUtf8(bytes, false);
  return bytes;
}

std::string UnescapeText(std::string_view text, bool version21) {
  if (text.find('\\') == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    const char next = text[i + 1];
    if (version21) {
      if (next == ';') {
        out += ';';
        ++i;
      } else {
        out += c;
      }
      continue;
    }
    ++i;
    out += (next == 'n' || next == 'N') ? '\n' : next;
  }
  return out;
}

std::vector<std::string> SplitComponents(std::string_view text, bool version21) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;  // whatever follows a backslash never separates
    } else if (text[i] == ';') {
      parts.push_back(UnescapeText(text.substr(start, i - start), version21));
      start = i + 1;
    }
  }
  parts.push_back(UnescapeText(text.substr(std::min(start, text.size())), version21));
  return parts;
}

}  // namespace fernkartei::contacts
