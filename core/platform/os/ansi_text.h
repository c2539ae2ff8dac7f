#pragma once
// 8-bit text of the Windows-1252 code page, which an 8-bit (not wide) window receives
// its characters in.

#include <cstdint>
#include <string>

// The byte for a code point, or '?' when the code page has none.
uint8_t CodePointToAnsi(uint32_t codePoint);
uint32_t AnsiToCodePoint(uint8_t byte);
// Valid UTF-8 stays as it is; every byte that is not part of a valid sequence is read as
// a Windows-1252 character and re-encoded.
std::string MakeValidUtf8(const std::string& text);
