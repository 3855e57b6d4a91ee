#include "support/console_output.h"

namespace fernkartei::support {

void UseUtf8StandardStreams() {}

}  // namespace fernkartei::support
