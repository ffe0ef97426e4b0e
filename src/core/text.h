#pragma once
// Single-byte ANSI text helpers. Texts are std::string holding Windows-1252 bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vitrine {

// Upper/lower case of the ASCII letters only; every other byte stays as it is.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// Strips bytes of value 0x20 and below from both ends.
std::string_view TrimControl(std::string_view text);

// Integer conversion as the package and the lists use it: optional leading blanks, an
// optional sign, decimal digits (or "$"/"0x" followed by hex digits), nothing after them,
// and a value that fits 32 bits. Anything else raises EConvertError naming the text.
int32_t StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int32_t& value);

// Splits at CR LF (a lone LF also ends a line); a final line without a break is kept.
std::vector<std::string> SplitLines(std::string_view text);

// Windows-1252 <-> UTF-8. Bytes without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 control of the same value, as Windows does; characters outside the code page
// become '?'.
std::string Cp1252ToUtf8(std::string_view ansi);
std::string Utf8ToCp1252(std::string_view utf8);

// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// The Unicode code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(uint8_t byte);

}  // namespace vitrine
