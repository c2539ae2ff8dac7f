#include "platform/os/virtual_keys.h"

#include <SDL_keyboard.h>

namespace {

struct TScancodeEntry {
  SDL_Scancode scancode;
  uint32_t virtualKey;
  bool extended;
};

// Keys found by their position; letters and digits are handled before this table.
const TScancodeEntry ScancodeTable[] = {
    {SDL_SCANCODE_RETURN, VkReturn, false},      {SDL_SCANCODE_ESCAPE, VkEscape, false},
    {SDL_SCANCODE_BACKSPACE, VkBack, false},     {SDL_SCANCODE_TAB, VkTab, false},
    {SDL_SCANCODE_SPACE, VkSpace, false},        {SDL_SCANCODE_MINUS, VkOemMinus, false},
    {SDL_SCANCODE_EQUALS, VkOemPlus, false},     {SDL_SCANCODE_LEFTBRACKET, VkOem4, false},
    {SDL_SCANCODE_RIGHTBRACKET, VkOem6, false},  {SDL_SCANCODE_BACKSLASH, VkOem5, false},
    {SDL_SCANCODE_NONUSHASH, VkOem2, false},     {SDL_SCANCODE_SEMICOLON, VkOem1, false},
    {SDL_SCANCODE_APOSTROPHE, VkOem7, false},    {SDL_SCANCODE_GRAVE, VkOem3, false},
    {SDL_SCANCODE_COMMA, VkOemComma, false},     {SDL_SCANCODE_PERIOD, VkOemPeriod, false},
    {SDL_SCANCODE_SLASH, VkOem2, false},         {SDL_SCANCODE_NONUSBACKSLASH, VkOem102, false},
    {SDL_SCANCODE_CAPSLOCK, VkCapital, false},   {SDL_SCANCODE_PRINTSCREEN, VkSnapshot, true},
    {SDL_SCANCODE_SCROLLLOCK, VkScroll, false},  {SDL_SCANCODE_PAUSE, VkPause, false},
    {SDL_SCANCODE_INSERT, VkInsert, true},       {SDL_SCANCODE_HOME, VkHome, true},
    {SDL_SCANCODE_PAGEUP, VkPrior, true},        {SDL_SCANCODE_DELETE, VkDelete, true},
    {SDL_SCANCODE_END, VkEnd, true},             {SDL_SCANCODE_PAGEDOWN, VkNext, true},
    {SDL_SCANCODE_RIGHT, VkRight, true},         {SDL_SCANCODE_LEFT, VkLeft, true},
    {SDL_SCANCODE_DOWN, VkDown, true},           {SDL_SCANCODE_UP, VkUp, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, VkNumLock, true}, {SDL_SCANCODE_KP_DIVIDE, VkDivide, true},
    {SDL_SCANCODE_KP_MULTIPLY, VkMultiply, false}, {SDL_SCANCODE_KP_MINUS, VkSubtract, false},
    {SDL_SCANCODE_KP_PLUS, VkAdd, false},        {SDL_SCANCODE_KP_ENTER, VkReturn, true},
    {SDL_SCANCODE_KP_COMMA, VkSeparator, false}, {SDL_SCANCODE_APPLICATION, VkApps, true},
    {SDL_SCANCODE_LCTRL, VkControl, false},      {SDL_SCANCODE_RCTRL, VkControl, true},
    {SDL_SCANCODE_LSHIFT, VkShift, false},       {SDL_SCANCODE_RSHIFT, VkShift, false},
    {SDL_SCANCODE_LALT, VkMenu, false},          {SDL_SCANCODE_RALT, VkMenu, true},
    {SDL_SCANCODE_LGUI, VkLWin, true},           {SDL_SCANCODE_RGUI, VkRWin, true},
};

// The keypad block with num lock off: the cursor keys it carries, without the extended bit.
const uint32_t KeypadNavigation[10] = {VkInsert, VkEnd, VkDown, VkNext, VkLeft, 0x0C /* clear */,
                                       VkRight,  VkHome, VkUp, VkPrior};

}  // namespace

TVirtualKeyCode VirtualKeyFromSdl(int32_t scancode, int32_t keycode, bool numLock) {
  // Letters follow the layout (a German Z is where an English Y is), as virtual keys do.
  if (keycode >= 'a' && keycode <= 'z') return {uint32_t(keycode - 'a' + 'A'), false};
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return {uint32_t(scancode - SDL_SCANCODE_A + 'A'), false};
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return {uint32_t(scancode - SDL_SCANCODE_1 + '1'), false};
  if (scancode == SDL_SCANCODE_0) return {'0', false};
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return {uint32_t(VkF1 + scancode - SDL_SCANCODE_F1), false};
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return {uint32_t(VkF1 + 12 + scancode - SDL_SCANCODE_F13), false};

  int digit = -1;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) digit = scancode - SDL_SCANCODE_KP_1 + 1;
  if (scancode == SDL_SCANCODE_KP_0) digit = 0;
  if (digit >= 0) return {numLock ? VkNumpad0 + uint32_t(digit) : KeypadNavigation[digit], false};
  if (scancode == SDL_SCANCODE_KP_PERIOD) return {numLock ? uint32_t(VkDecimal) : uint32_t(VkDelete), false};

  for (const TScancodeEntry& entry : ScancodeTable) {
    if (entry.scancode == scancode) return {entry.virtualKey, entry.extended};
  }
  return {};
}
