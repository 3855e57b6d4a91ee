#pragma once
// Standard output and error as the person at the terminal reads them. The program writes UTF-8. A
// Windows console window shows only UTF-16 reliably, whatever its code page, so text bound for one is
// converted there; a file or a pipe gets the UTF-8 bytes unchanged, without a CR added before each LF.
// Elsewhere the terminal takes UTF-8 as it is.

namespace fernkartei::support {

// Call once at the start of main, before anything is written.
void UseUtf8StandardStreams();

}  // namespace fernkartei::support
