#pragma once
// The QApplication that the window tests' main made.

#include <QApplication>

namespace fernkartei::testing {

inline QApplication& TestApplication() {
  return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace fernkartei::testing
