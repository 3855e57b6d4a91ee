#include "app/single_line_validator.h"

namespace fernkartei::app {
namespace {

// CR and LF, and what Qt and Unicode also take for the end of a line.
qsizetype FirstLineBreak(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c == u'\r' || c == u'\n' || c == u'\u0085' || c == u'\u2028' || c == u'\u2029') return i;
  }
  return -1;
}

}  // namespace

QValidator::State SingleLineValidator::validate(QString& input, int& pos) const {
  for (qsizetype at = FirstLineBreak(input); at >= 0; at = FirstLineBreak(input)) {
    if (pos > at) {
      input.remove(at, pos - at);
      pos = static_cast<int>(at);
    } else {
      input.truncate(at);
    }
  }
  return Acceptable;
}

}  // namespace fernkartei::app
