#include "app/qt_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/form1_layout.h"
#include "app/single_line_validator.h"
#include "app/vcard_location_dialog.h"
#include "support/process_state.h"

namespace fernkartei::app {
namespace {

// The old program's 8-point dialog font; smaller than 7 points is hard to read, so below that the
// controls widen instead.
constexpr qreal kPreferredPointSize = 8.0;
constexpr qreal kSmallestPointSize = 7.0;
// Steps of the progress bar's display; Min, Max and Value themselves stay single-precision numbers.
constexpr int kProgressResolution = 1000;

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Qt::CursorShape CursorFor(PointerShape shape) {
  switch (shape) {
    case PointerShape::Cross:
      return Qt::CrossCursor;
    case PointerShape::IBeam:
      return Qt::IBeamCursor;
    case PointerShape::Hourglass:
      return Qt::WaitCursor;
    case PointerShape::NoDrop:
      return Qt::ForbiddenCursor;
    case PointerShape::ArrowHourglass:
      return Qt::BusyCursor;
    case PointerShape::SizeAll:
      return Qt::SizeAllCursor;
    case PointerShape::Hand:
      return Qt::PointingHandCursor;
    case PointerShape::Default:
    case PointerShape::Arrow:
      break;
  }
  return Qt::ArrowCursor;
}

// How wide a control must be to show its caption whole.
int NeededWidth(const QWidget* widget) {
  const QFontMetrics metrics(widget->font());
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    return metrics.horizontalAdvance(label->text()) + 2 * label->margin();
  }
  if (const auto* option = qobject_cast<const QRadioButton*>(widget)) return option->sizeHint().width();
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    return metrics.horizontalAdvance(button->text()) + 2 * (margin + frame);
  }
  return 0;
}

}  // namespace

QtForm::QtForm(QtFormOptions options) : FormWindow(std::move(options)) {
  UseDotsPerInch(static_cast<float>(logicalDpiX()), static_cast<float>(logicalDpiY()));
  setObjectName(QStringLiteral("Form1"));
  CreateControls();
  resize(TwipsToPixels(kClientWidthTwips, DotsPerInchX()), TwipsToPixels(kClientHeightTwips, DotsPerInchY()));
  FitFont();
}

QtForm::~QtForm() {
  if (override_cursor_set_) QGuiApplication::restoreOverrideCursor();
}

void QtForm::CreateControls() {
  const float dpi_x = DotsPerInchX();
  const float dpi_y = DotsPerInchY();
  options_group_ = new QButtonGroup(this);
  options_group_->setExclusive(true);

  std::vector<std::pair<int, QWidget*>> tab_chain;
  for (const ControlLayout& control : kForm1Controls) {
    QWidget* widget = CreateControl(control);
    widget->setObjectName(ToQString(control.object_name));
    widget->setGeometry(TwipsToPixels(static_cast<float>(control.left), dpi_x),
                        TwipsToPixels(static_cast<float>(control.top), dpi_y),
                        TwipsToPixels(static_cast<float>(control.width), dpi_x),
                        TwipsToPixels(static_cast<float>(control.height), dpi_y));
    if (widget->focusPolicy() != Qt::NoFocus) tab_chain.emplace_back(control.tab_index, widget);
  }
  std::sort(tab_chain.begin(), tab_chain.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < tab_chain.size(); ++i)
    setTabOrder(tab_chain[i - 1].second, tab_chain[i].second);
}

QWidget* QtForm::CreateControl(const ControlLayout& control) {
  const QString caption = ToQString(control.caption);
  switch (control.kind) {
    case ControlKind::Label:
      return new QLabel(caption, this);
    case ControlKind::TextBox: {
      auto* box = new QLineEdit(caption, this);
      box->setValidator(new SingleLineValidator(box));
      return (control.object_name == "Text1" ? text1_ : text2_) = box;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, this);
      connect(button, &QPushButton::clicked, this, [this] { StartClicked(); });
      return button;
    }
    case ControlKind::ProgressBar:
      progress_bar_ = new QProgressBar(this);
      progress_bar_->setTextVisible(false);
      progress_bar_->setRange(0, kProgressResolution);
      progress_bar_->setValue(0);
      return progress_bar_;
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(caption, this);
      options_group_->addButton(option, control.index);
      option1_[static_cast<std::size_t>(control.index)] = option;
      option->setChecked(control.index == 0);
      return option;
    }
  }
  return nullptr;
}

// One font for the whole window, so that it looks of a piece: the old program's 8 points, a half point
// smaller at a time while any caption would be cut off by its control or by the window's right edge at
// its first size (the last option reaches beyond it), down to 7 points. A caption that still does not fit
// widens its control to the right; nothing moves.
void QtForm::FitFont() {
  QFont font = QApplication::font(this);
  QStringList families{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")};
  families << font.families();
  font.setFamilies(families);

  const QList<QWidget*> captioned = [this] {
    QList<QWidget*> widgets;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (qobject_cast<QLabel*>(child) || qobject_cast<QRadioButton*>(child) ||
          qobject_cast<QPushButton*>(child))
        widgets << child;
    }
    return widgets;
  }();
  const int client_width = width();
  auto all_fit = [&captioned, client_width] {
    return std::all_of(captioned.begin(), captioned.end(), [client_width](const QWidget* w) {
      return NeededWidth(w) <= std::min(w->width(), client_width - w->x());
    });
  };
  for (qreal size = kPreferredPointSize; size >= kSmallestPointSize; size -= 0.5) {
    font.setPointSizeF(size);
    setFont(font);
    if (all_fit()) break;
  }
  for (QWidget* widget : captioned) {
    const int needed = NeededWidth(widget);
    if (needed > widget->width()) widget->resize(needed, widget->height());
  }
  // Option buttons are lower (13 pixels at 96 dpi) than their indicator in most styles: they may grow to
  // the distance between two of them, centred on their place, so no indicator or letter is clipped.
  const int pitch = TwipsToPixels(kOptionPitchTwips, DotsPerInchY());
  for (QRadioButton* option : option1_) {
    const int wanted = std::min(pitch, option->sizeHint().height());
    if (wanted > option->height()) {
      const int grow = wanted - option->height();
      option->setGeometry(option->x(), option->y() - grow / 2, option->width(), wanted);
    }
  }
}

void QtForm::ShowMessageBox(const std::string& text, exporting::MessageIcon icon) {
  QMessageBox box(icon == exporting::MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                  ToQString(support::App_Title), ToQString(WithPlainLineBreaks(text)), QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtForm::LeaveEventLoop(int exit_status) {
  QCoreApplication::exit(exit_status);
}

void QtForm::SetCaption(const std::string& caption) {
  setWindowTitle(ToQString(caption));
}

QLineEdit* QtForm::TextBoxWidget(TextBox box) const {
  return box == TextBox::Text1 ? text1_ : text2_;
}

std::string QtForm::Text(TextBox box) const {
  return TextBoxWidget(box)->text().toStdString();
}
void QtForm::SetText(TextBox box, const std::string& text) {
  TextBoxWidget(box)->setText(ToQString(text));
}

bool QtForm::OptionValue(int index) const {
  if (index < 0 || index >= kOptionCount) return false;
  return option1_[static_cast<std::size_t>(index)]->isChecked();
}

void QtForm::SelectOption(int index) {
  if (index < 0 || index >= kOptionCount) return;
  option1_[static_cast<std::size_t>(index)]->setChecked(true);
}

void QtForm::PlaceProgressBar() {
  const ProgressBarProperties& bar = progress_bar();
  progress_bar_->setGeometry(TwipsToPixels(bar.Get(ProgressProperty::Left), DotsPerInchX()),
                             TwipsToPixels(bar.Get(ProgressProperty::Top), DotsPerInchY()),
                             std::max(0, TwipsToPixels(bar.Get(ProgressProperty::Width), DotsPerInchX())),
                             std::max(0, TwipsToPixels(bar.Get(ProgressProperty::Height), DotsPerInchY())));
}

void QtForm::ShowProgressShare(float share, bool paint_now) {
  progress_bar_->setValue(static_cast<int>(std::lround(share * kProgressResolution)));
  // An export runs on this thread without returning to the event loop: the bar paints itself now, and
  // user input waits until the run is over.
  if (paint_now && progress_bar_->isVisible()) progress_bar_->repaint();
}

std::optional<std::string> QtForm::ShowFolderDialog() {
  VCardLocationDialog dialog(isVisible() ? this : nullptr);
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.Chosen()).toStdString();
}

void QtForm::ShowPointer(PointerShape shape) {
  if (shape == PointerShape::Default) {
    if (override_cursor_set_) QGuiApplication::restoreOverrideCursor();
    override_cursor_set_ = false;
    return;
  }
  if (override_cursor_set_) {
    QGuiApplication::changeOverrideCursor(QCursor(CursorFor(shape)));
  } else {
    QGuiApplication::setOverrideCursor(QCursor(CursorFor(shape)));
    override_cursor_set_ = true;
  }
}

void QtForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Resized();
}

void QtForm::closeEvent(QCloseEvent* event) {
  event->setAccepted(CloseRequested());
}

void QtForm::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!painted_) {
    painted_ = true;
    // Told after this paint has finished, so that a listener may draw the window itself.
    QTimer::singleShot(0, this, [this] { emit FirstPainted(); });
  }
}

}  // namespace fernkartei::app
