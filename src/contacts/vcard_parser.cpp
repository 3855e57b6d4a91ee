#include "contacts/vcard_parser.h"

#include <algorithm>
#include <optional>

#include "contacts/vcard_lines.h"
#include "contacts/vcard_text.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

constexpr std::size_t kLongestHeader = 16 * 1024;
constexpr std::size_t kMostParameters = 64;

using support::AsciiUpper;
using support::EqualsIgnoringAsciiCase;
using support::TrimBlanks;

std::string_view Unquote(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  if (!text.empty() && text.front() == '"') return text.substr(1);
  return text;
}

bool IsCardDelimiter(std::string_view line) {
  line = TrimBlanks(line);
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  const auto name = TrimBlanks(line.substr(0, colon));
  return (EqualsIgnoringAsciiCase(name, "BEGIN") || EqualsIgnoringAsciiCase(name, "END")) &&
         EqualsIgnoringAsciiCase(TrimBlanks(line.substr(colon + 1)), "VCARD");
}

bool IsBase64Line(std::string_view line) {
  for (const char c : line) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                    c == '/' || c == '=' || c == ' ' || c == '\t';
    if (!ok) return false;
  }
  return !line.empty();
}

// Where the value starts: the first ":" outside double quotes; a line whose quotes never close falls
// back to its first ":" so that one stray quote does not cost the property.
std::optional<std::size_t> FindValueColon(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == ':' && !quoted) {
      return i;
    }
  }
  const auto first = line.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  return first;
}

// The pieces of "group.NAME;PARAM=a,b;BARE" split at ";" outside quotes.
std::vector<std::string_view> SplitHeader(std::string_view header) {
  std::vector<std::string_view> pieces;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (header[i] == '"') {
      quoted = !quoted;
    } else if (header[i] == ';' && !quoted) {
      pieces.push_back(header.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(header.substr(start));
  return pieces;
}

bool IsEncodingWord(std::string_view upper) {
  return upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "B" || upper == "8BIT" ||
         upper == "7BIT";
}

void AddParameter(std::vector<VCardParameter>& parameters, std::string_view piece) {
  piece = TrimBlanks(piece);
  if (piece.empty() || parameters.size() >= kMostParameters) return;
  const auto eq = piece.find('=');
  std::string name;
  std::string_view raw;
  if (eq == std::string_view::npos) {
    // 2.1 lets the parameter name go unsaid: "TEL;WORK;VOICE", "NOTE;QUOTED-PRINTABLE".
    const std::string upper = AsciiUpper(Unquote(piece));
    name = IsEncodingWord(upper) ? "ENCODING" : "TYPE";
    raw = piece;
  } else {
    name = AsciiUpper(TrimBlanks(piece.substr(0, eq)));
    raw = piece.substr(eq + 1);
  }
  VCardParameter* target = nullptr;
  for (auto& p : parameters) {
    if (p.name == name) target = &p;
  }
  if (!target) {
    parameters.push_back(VCardParameter{name, {}});
    target = &parameters.back();
  }
  if (name != "TYPE") {
    target->values.emplace_back(Unquote(raw));
    return;
  }
  // TYPE=a,b  TYPE="a,b"  TYPE="a","b": every comma separates, quoted or not.
  std::size_t start = 0;
  for (std::size_t i = 0; i <= raw.size(); ++i) {
    if (i == raw.size() || raw[i] == ',') {
      std::string value = AsciiUpper(Unquote(raw.substr(start, i - start)));
      if (!value.empty() && value.back() == '"') value.pop_back();
      if (!value.empty()) target->values.push_back(std::move(value));
      start = i + 1;
    }
  }
}

struct Header {
  std::string group;
  std::string name;
  std::vector<VCardParameter> parameters;
};

Header ParseHeader(std::string_view header) {
  Header h;
  const auto pieces = SplitHeader(header);
  std::string_view full_name = TrimBlanks(pieces.front());
  const auto dot = full_name.rfind('.');
  if (dot != std::string_view::npos) {
    h.group = std::string(full_name.substr(0, dot));
    full_name = full_name.substr(dot + 1);
  }
  h.name = AsciiUpper(full_name);
  for (std::size_t i = 1; i < pieces.size(); ++i) AddParameter(h.parameters, pieces[i]);
  return h;
}

const VCardParameter* FindParameter(const std::vector<VCardParameter>& parameters, std::string_view name) {
  for (const auto& p : parameters) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

bool HasEncoding(const std::vector<VCardParameter>& parameters, std::string_view upper) {
  const auto* p = FindParameter(parameters, "ENCODING");
  if (!p) return false;
  for (const auto& v : p->values) {
    if (EqualsIgnoringAsciiCase(v, upper)) return true;
  }
  return false;
}

bool IsBase64(const std::vector<VCardParameter>& parameters) {
  return HasEncoding(parameters, "BASE64") || HasEncoding(parameters, "B");
}

// Cheap look at the header before it is parsed: only then is it worth the work of a full parse.
bool MentionsQuotedPrintable(std::string_view header) {
  static constexpr std::string_view kWord = "QUOTED-PRINTABLE";
  if (header.size() < kWord.size()) return false;
  for (std::size_t i = 0; i + kWord.size() <= header.size(); ++i) {
    if (AsciiUpper(header[i]) == 'Q' && EqualsIgnoringAsciiCase(header.substr(i, kWord.size()), kWord))
      return true;
  }
  return false;
}

class Parser {
 public:
  Parser(ByteSource& bytes, PropertyFilter keep, const CardSink& on_card)
      : reader_(bytes), keep_(keep), on_card_(on_card) {}

  std::vector<std::string> Run() {
    while (!reader_.AtEnd()) {
      const std::size_t line_number = reader_.NextLineNumber();
      std::string_view line = TakeLine();
      if (TrimBlanks(line).empty()) continue;
      HandleLogicalLine(line, line_number);
    }
    FinishAtEnd();
    return std::move(problems_);
  }

 private:
  void HandleLogicalLine(std::string_view first, std::size_t line_number) {
    // Quoted-printable ends a line with "=" to say that the value goes on at the very start of the
    // next line; any other line goes on in lines that start with a space or a tab (a fold, which takes
    // exactly that one blank). The header of a quoted-printable property is on its first line.
    const bool quoted_printable =
        MentionsQuotedPrintable(first.substr(0, std::min(first.find(':'), kLongestHeader)));
    // What the export does not use (a photo, a sound, a key) is stepped over line by line and never
    // joined: such values are what makes an address book large.
    const auto first_colon = FindValueColon(first);
    if (first_colon && *first_colon <= kLongestHeader && !Joined(first.substr(0, *first_colon))) {
      StepOver(first, first.substr(0, *first_colon), quoted_printable);
      return;
    }
    std::string_view line = first;
    bool owned = false;
    bool cut = last_cut_;  // of the first line
    const auto own = [&] {
      if (!owned) {
        buffer_.assign(line);
        owned = true;
      }
    };
    while (!reader_.AtEnd()) {
      if (owned && buffer_.size() > LineReader::kLongestLine) {
        // Longer than any name or number: the rest is stepped over.
        cut = true;
        StepOverContinuation(quoted_printable && line.back() == '=', quoted_printable);
        break;
      }
      const std::string_view next = reader_.Peek();
      if (quoted_printable && !line.empty() && line.back() == '=') {
        if (IsCardDelimiter(next)) break;  // the soft break of a value cut off: the card still ends
        own();
        buffer_.pop_back();
        buffer_.append(next);
      } else if (!next.empty() && (next.front() == ' ' || next.front() == '\t')) {
        own();
        buffer_.append(next.substr(1));
      } else {
        break;
      }
      cut = cut || reader_.PeekCut();
      line = buffer_;
      TakeLine();
    }

    const auto colon = FindValueColon(line);
    // No program writes headers anywhere near this long; a longer one is damage, and taking it apart
    // would only cost time and memory.
    if (!colon || *colon > kLongestHeader) {
      if (!open_.empty()) ++garbage_lines_;
      return;
    }
    if (cut) {
      problems_.push_back("Zeile " + std::to_string(line_number) + ": Wert länger als " +
                          std::to_string(LineReader::kLongestLine >> 20) + " MB, gekürzt");
    }
    const std::string_view header_text = line.substr(0, *colon);
    const std::string_view value = line.substr(*colon + 1);
    HandleProperty(header_text, value, line_number);
  }

  // Takes the next physical line, noting whether it was cut.
  std::string_view TakeLine() {
    last_cut_ = reader_.PeekCut();
    return reader_.Next();
  }

  // Whether a property is worth joining into one line: the card delimiters and the properties that shape
  // a card always; otherwise what the caller keeps inside a card, binary data never.
  bool Joined(std::string_view header_text) const {
    const std::string_view name_part = TrimBlanks(header_text.substr(0, header_text.find(';')));
    const std::string_view bare_name = name_part.substr(name_part.rfind('.') + 1);
    for (const std::string_view structural : {"BEGIN", "END", "VERSION", "AGENT"}) {
      if (EqualsIgnoringAsciiCase(bare_name, structural)) return true;
    }
    const bool wanted = !open_.empty() && !agent_[open_.back()];
    return wanted && (!keep_ || keep_(AsciiUpper(bare_name))) && !IsBinary(header_text);
  }

  static bool IsBinary(std::string_view header_text) {
    return header_text.find_first_of("bB") != std::string_view::npos &&
           IsBase64(ParseHeader(header_text).parameters);
  }

  // Reads past a property that is not kept: its folded or soft-broken lines, and the unfolded lines of a
  // 2.1 binary block after it.
  void StepOver(std::string_view first, std::string_view header_text, bool quoted_printable) {
    agent_pending_ = false;  // only a BEGIN right after the AGENT line belongs to it
    const bool binary = IsBinary(header_text);
    StepOverContinuation(quoted_printable && first.ends_with('='), quoted_printable);
    if (binary) SkipBase64Lines();
  }

  // The lines that continue a value without being joined to it: after a soft break (a quoted-printable
  // line that ends in "="), the next line; otherwise a line that starts with a blank.
  void StepOverContinuation(bool soft_break, bool quoted_printable) {
    while (!reader_.AtEnd()) {
      const std::string_view next = reader_.Peek();
      if (soft_break) {
        if (IsCardDelimiter(next)) break;
        soft_break = next.ends_with('=');
      } else if (!next.empty() && (next.front() == ' ' || next.front() == '\t')) {
        soft_break = quoted_printable && next.size() > 1 && next.ends_with('=');
      } else {
        break;
      }
      TakeLine();
    }
  }

  void SkipBase64Lines() {
    while (!reader_.AtEnd() && IsBase64Line(reader_.Peek())) TakeLine();
  }

  void HandleProperty(std::string_view header_text, std::string_view value, std::size_t line_number) {
    const std::string_view name_part = TrimBlanks(header_text.substr(0, header_text.find(';')));
    const std::string_view bare_name = name_part.substr(name_part.rfind('.') + 1);

    if (EqualsIgnoringAsciiCase(bare_name, "BEGIN") && EqualsIgnoringAsciiCase(TrimBlanks(value), "VCARD")) {
      Begin(line_number);
      return;
    }
    if (EqualsIgnoringAsciiCase(bare_name, "END") && EqualsIgnoringAsciiCase(TrimBlanks(value), "VCARD")) {
      End(line_number);
      return;
    }
    agent_pending_ = false;  // only a BEGIN right after the AGENT line belongs to it
    const bool wanted = !open_.empty() && !agent_[open_.back()];
    const bool structural =
        EqualsIgnoringAsciiCase(bare_name, "VERSION") || EqualsIgnoringAsciiCase(bare_name, "AGENT");
    const std::string upper_name = AsciiUpper(bare_name);
    const bool kept = wanted && (structural || !keep_ || keep_(upper_name));

    // Binary blocks of 2.1 may go on in lines without the leading blank of a fold; their alphabet has no
    // ":", so they end at a blank line or at the next property.
    const bool maybe_binary = header_text.find_first_of("bB") != std::string_view::npos;
    std::optional<Header> header;
    if (kept || maybe_binary) header = ParseHeader(header_text);
    // The lines after a binary block's header follow; the value must be taken before they are read.
    const std::string owned_value = kept ? std::string(value) : std::string();
    if (header && IsBase64(header->parameters)) {
      SkipBase64Lines();
      if (kept && !structural) return;  // binary data is never text a contact is made of
    }
    if (!kept) return;

    if (upper_name == "AGENT") {
      HandleAgent(owned_value, line_number);
    } else if (upper_name == "VERSION") {
      pending_[open_.back()].version = std::string(TrimBlanks(owned_value));
    } else {
      AddProperty(std::move(*header), upper_name, owned_value);
    }
  }

  // 2.1 may embed the agent's own card right after the AGENT line or start it in the value.
  void HandleAgent(std::string_view value, std::size_t line_number) {
    const std::string_view agent = TrimBlanks(value);
    if (agent.empty()) {
      agent_pending_ = true;
    } else if (agent.size() >= 11 && EqualsIgnoringAsciiCase(agent.substr(0, 11), "BEGIN:VCARD") &&
               AsciiUpper(agent).find("END:VCARD") == std::string::npos) {
      // 3.0 writes the whole agent card into the value, escaped; only a card begun there and not
      // ended goes on in the following lines.
      agent_pending_ = true;
      Begin(line_number);
    }
  }

  // The value with its transfer encoding and character set undone.
  void AddProperty(Header header, const std::string& upper_name, std::string_view value) {
    VCard& card = pending_[open_.back()];
    VCardProperty property;
    property.group = std::move(header.group);
    property.name = upper_name;
    property.parameters = std::move(header.parameters);
    std::string bytes = HasEncoding(property.parameters, "QUOTED-PRINTABLE") ? DecodeQuotedPrintable(value)
                                                                             : std::string(value);
    const auto* charset = FindParameter(property.parameters, "CHARSET");
    property.value =
        DecodeCharset(bytes, charset && !charset->values.empty() ? std::string_view(charset->values.front())
                                                                 : std::string_view());
    card.properties.push_back(std::move(property));
  }

  // Every BEGIN opens a card and every END closes the innermost open one. Whether an inner card was
  // nested in the outer one (an agent, skipped) or was the next card of a file whose END lines went
  // missing shows only at the end: if the outermost card closes, its inner cards were nested.
  void Begin(std::size_t line_number) {
    const bool agent = agent_pending_ || (!open_.empty() && agent_[open_.back()]);
    agent_pending_ = false;
    pending_.emplace_back();
    pending_.back().first_line = line_number;
    agent_.push_back(agent);
    open_.push_back(pending_.size() - 1);
  }

  void End(std::size_t line_number) {
    if (open_.empty()) {
      problems_.push_back("Zeile " + std::to_string(line_number) + ": END:VCARD ohne BEGIN:VCARD übergangen");
      return;
    }
    open_.pop_back();
    if (!open_.empty()) return;
    Emit(pending_.front());
    pending_.clear();
    agent_.clear();
  }

  void FinishAtEnd() {
    if (open_.empty()) return;
    problems_.push_back("Karte ab Zeile " + std::to_string(pending_[open_.front()].first_line) +
                        ": END:VCARD fehlt, gelesen bis zum Ende der Datei");
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      // Cards with nothing in them are left-overs of the damage, not contacts.
      if (!agent_[i] && !pending_[i].properties.empty()) Emit(pending_[i]);
    }
    if (garbage_lines_ > 0 && !pending_.empty()) {
      VCard none;
      Emit(none, false);
    }
    pending_.clear();
    agent_.clear();
    open_.clear();
  }

  void Emit(VCard& card, bool keep = true) {
    if (garbage_lines_ > 0) {
      problems_.push_back("Karte ab Zeile " + std::to_string(pending_.front().first_line) + ": " +
                          std::to_string(garbage_lines_) + " unlesbare Zeile(n) übergangen");
      garbage_lines_ = 0;
    }
    if (keep) on_card_(card);
  }

  LineReader reader_;
  bool last_cut_ = false;  // the physical line taken last was longer than the reader keeps
  PropertyFilter keep_;
  const CardSink& on_card_;
  std::vector<std::string> problems_;
  std::string buffer_;
  std::vector<VCard> pending_;     // the cards of the current outermost card, in BEGIN order
  std::vector<bool> agent_;        // per pending card: part of an agent's card
  std::vector<std::size_t> open_;  // indexes into pending_ of the cards not yet closed
  bool agent_pending_ = false;
  std::size_t garbage_lines_ = 0;
};

}  // namespace

const VCardParameter* VCardProperty::Parameter(std::string_view upper_name) const {
  return FindParameter(parameters, upper_name);
}

bool VCardProperty::HasType(std::string_view upper_type) const {
  const auto* p = Parameter("TYPE");
  if (!p) return false;
  for (const auto& v : p->values) {
    if (v == upper_type) return true;
  }
  return false;
}

std::vector<std::string> ParseVCards(ByteSource& bytes, PropertyFilter keep, const CardSink& on_card) {
  return Parser(bytes, keep, on_card).Run();
}

std::vector<std::string> ParseVCards(std::string_view bytes, PropertyFilter keep, const CardSink& on_card) {
  TextBytes source(bytes);
  return ParseVCards(source, keep, on_card);
}

VCardFile ParseVCards(std::string_view bytes, PropertyFilter keep) {
  VCardFile file;
  file.problems = ParseVCards(bytes, keep, [&](VCard& card) { file.cards.push_back(std::move(card)); });
  return file;
}

}  // namespace fernkartei::contacts
