#include "platform/os/clipboard.h"

#include <SDL.h>

#include "platform/os/ansi_text.h"

bool SetClipboardText(const std::string& text) {
  std::string utf8 = MakeValidUtf8(text);
  return SDL_SetClipboardText(utf8.c_str()) == 0;
}

std::string GetClipboardText() {
  if (!SDL_HasClipboardText()) return std::string();
  char* text = SDL_GetClipboardText();
  if (!text) return std::string();
  std::string result(text);
  SDL_free(text);
  return result;
}
