#include "export/source_notes.h"

#include <utility>

namespace fernkartei::exporting {
namespace {

std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void PassedOverTally::Add(const SourceNote& note) {
  if (note.what == PassedOver::Nothing) return;
  ++counts_[static_cast<std::size_t>(note.what) - 1];
  if (reasons_.size() < kReasonsKept) reasons_.push_back(note.text);
}

void PassedOverTally::Clear() {
  counts_ = {};
  reasons_.clear();
}

bool PassedOverTally::Empty() const {
  return counts_ == std::array<int, 3>{};
}

std::string PassedOverTally::Counts() const {
  return Counted(counts_[0], "Datei", "Dateien") + ", " + Counted(counts_[1], "Karte", "Karten") + ", " +
         Counted(counts_[2], "Rufnummer", "Rufnummern");
}

std::string PassedOverTally::Summary() const {
  std::string text = "Beim Lesen der Kontakte übergangen: " + Counts() + ".";
  for (const auto& reason : reasons_) text += "\r\n" + reason;
  const int total = counts_[0] + counts_[1] + counts_[2];
  if (static_cast<std::size_t>(total) > reasons_.size()) {
    text += "\r\n… und " + std::to_string(total - static_cast<int>(reasons_.size())) + " weitere";
  }
  return text;
}

NoteSink PassedOverTally::Counting(NoteSink next) {
  return [this, next = std::move(next)](const SourceNote& note) {
    Add(note);
    if (next) next(note);
  };
}

}  // namespace fernkartei::exporting
