#pragma once
// Keeps a text box to one line, as a single-line box of Windows does: pasted or dropped text keeps its
// first line, text set by the program ends before its first line break. A line break in the template
// or the participants would otherwise reach the settings file and every line of the phonebook.

#include <QValidator>

namespace fernkartei::app {

class SingleLineValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  // Drops each line break with what was inserted after it up to the cursor (the end of the insertion);
  // text behind the cursor stays.
  State validate(QString& input, int& pos) const override;
};

}  // namespace fernkartei::app
