#pragma once
// Turning the bytes of a vCard value into UTF-8 text: transfer encodings, character sets, the
// backslash escapes and the components of structured values such as N.

#include <string>
#include <string_view>
#include <vector>

namespace fernkartei::contacts {

// Quoted-printable to bytes: "=XX" becomes the byte, a lone "=" that starts no hex pair stays as it is
// (writers that forget to encode "=" are common), a trailing "=" (a soft break cut off) is dropped.
std::string DecodeQuotedPrintable(std::string_view text);

// The bytes of a value in the named character set (as in CHARSET=..., any case) as well-formed UTF-8.
// An empty or unknown name means: UTF-8 when the bytes are valid UTF-8, else Windows-1252, which is
// what 8-bit text without a label almost always is.
std::string DecodeCharset(std::string_view bytes, std::string_view charset);

// UTF-16 text without its byte-order mark as well-formed UTF-8: a surrogate without its partner and an
// odd last byte become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool little_endian);

// A whole file's bytes ready for the reader: a UTF-8 byte-order mark is dropped and UTF-16 text (with
// its byte-order mark) becomes UTF-8, so that the reader only ever sees 8-bit text.
std::string NormalizeFileBytes(std::string bytes);

// Undoes the backslash escapes of a text value. Versions 3.0 and 4.0 know \n \N \, \; \: \\ (any other
// escaped character stands for itself); version 2.1 knows only \; , so its backslashes stay otherwise.
std::string UnescapeText(std::string_view text, bool version21);

// Splits a structured value (N, ORG) at every ";" that is not escaped, and unescapes each component.
std::vector<std::string> SplitComponents(std::string_view text, bool version21);

}  // namespace fernkartei::contacts
