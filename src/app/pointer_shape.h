#pragma once
// The screen pointer's classic codes and the shape each one means; every toolkit draws the shapes its
// own way. Any other code shows the arrow over the whole program.

namespace fernkartei::app {

// Default: no program-wide pointer, each control shows its own.
enum class PointerShape { Default, Arrow, Cross, IBeam, Hourglass, NoDrop, ArrowHourglass, SizeAll, Hand };

constexpr PointerShape PointerShapeFor(int code) {
  switch (code) {
    case 0:
      return PointerShape::Default;
    case 2:
      return PointerShape::Cross;
    case 3:
      return PointerShape::IBeam;
    case 11:
      return PointerShape::Hourglass;
    case 12:
      return PointerShape::NoDrop;
    case 13:
      return PointerShape::ArrowHourglass;
    case 15:
      return PointerShape::SizeAll;
    case 99:
      return PointerShape::Hand;
    default:
      return PointerShape::Arrow;
  }
}

}  // namespace fernkartei::app
