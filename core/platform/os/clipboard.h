#pragma once
// The system clipboard, as UTF-8 text.

#include <string>

// Text that is not valid UTF-8 is taken as Windows-1252 and converted, so the clipboard
// never holds 8-bit text. False when the clipboard cannot be written.
bool SetClipboardText(const std::string& text);
// Empty when the clipboard holds no text or cannot be read.
std::string GetClipboardText();
