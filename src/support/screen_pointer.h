#pragma once
// The program-wide screen mouse pointer, addressed by its classic code. The window implements it on the
// toolkit's override cursor; the command line has none and keeps a plain number.

namespace fernkartei::support {

inline constexpr int kDefaultPointer = 0;
inline constexpr int kHourglassPointer = 11;

class ScreenPointer {
 public:
  virtual ~ScreenPointer() = default;
  virtual int MousePointer() const = 0;
  virtual void SetMousePointer(int code) = 0;
};

}  // namespace fernkartei::support
