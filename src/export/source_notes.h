#pragma once
// What a contact source passed over while reading, told as it happens: a file it could not read, a card
// it could not read whole, a number it found no telephone property for. Every source that reads cards
// (files, a server) tells the same kinds through the same sink, so a run can count them whatever the
// source, fail on them (fernkartei-export --strict), and the window can name them after the final message.

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace fernkartei::exporting {

enum class PassedOver { Nothing, File, Card, Number };

struct SourceNote {
  // A note that passed nothing over: a remark, or why a source failed as a whole. Implicit, so that a
  // sentence can be told as it stands.
  SourceNote(std::string sentence) : text(std::move(sentence)) {}  // NOLINT(google-explicit-constructor)
  SourceNote(std::string sentence, PassedOver passed_over) : text(std::move(sentence)), what(passed_over) {}

  // A note reads as its sentence, so that whoever only prints or keeps notes can take them as text.
  operator const std::string&() const { return text; }  // NOLINT(google-explicit-constructor)

  std::string text;  // one German sentence, naming file, line and card where it can
  PassedOver what = PassedOver::Nothing;
};

using NoteSink = std::function<void(const SourceNote&)>;

// What one run passed over: the count of each kind and the first few reasons.
class PassedOverTally {
 public:
  static constexpr std::size_t kReasonsKept = 5;

  void Add(const SourceNote& note);
  void Clear();
  bool Empty() const;
  // "1 Datei, 0 Karten, 2 Rufnummern"
  std::string Counts() const;
  // The window's message after the final one: the counts, then the first reasons, one per line.
  std::string Summary() const;
  // A sink that counts into this tally, then hands each note on to `next` (if any).
  NoteSink Counting(NoteSink next = {});

 private:
  std::array<int, 3> counts_{};  // files, cards, numbers
  std::vector<std::string> reasons_;
};

}  // namespace fernkartei::exporting
