#pragma once
// The Windows virtual-key numbers that the engine's key codes are built on, and the table
// from SDL's scancodes and keycodes to them.

#include <cstdint>

enum TVirtualKey : uint32_t {
  VkBack = 0x08, VkTab = 0x09, VkReturn = 0x0D, VkShift = 0x10, VkControl = 0x11, VkMenu = 0x12,
  VkPause = 0x13, VkCapital = 0x14, VkEscape = 0x1B, VkSpace = 0x20, VkPrior = 0x21, VkNext = 0x22,
  VkEnd = 0x23, VkHome = 0x24, VkLeft = 0x25, VkUp = 0x26, VkRight = 0x27, VkDown = 0x28,
  VkSnapshot = 0x2C, VkInsert = 0x2D, VkDelete = 0x2E, VkLWin = 0x5B, VkRWin = 0x5C, VkApps = 0x5D,
  VkNumpad0 = 0x60, VkNumpad9 = 0x69, VkMultiply = 0x6A, VkAdd = 0x6B, VkSeparator = 0x6C,
  VkSubtract = 0x6D, VkDecimal = 0x6E, VkDivide = 0x6F, VkF1 = 0x70, VkF4 = 0x73, VkF24 = 0x87,
  VkNumLock = 0x90, VkScroll = 0x91, VkOem1 = 0xBA, VkOemPlus = 0xBB, VkOemComma = 0xBC,
  VkOemMinus = 0xBD, VkOemPeriod = 0xBE, VkOem2 = 0xBF, VkOem3 = 0xC0, VkOem4 = 0xDB, VkOem5 = 0xDC,
  VkOem6 = 0xDD, VkOem7 = 0xDE, VkOem102 = 0xE2,
};

struct TVirtualKeyCode {
  uint32_t virtualKey = 0;  // 0: a key the table does not know
  bool extended = false;    // the extended-key bit (cursor block, right control, keypad enter ...)
};

// scancode and keycode are SDL_Scancode and SDL_Keycode values; numLock is the state of
// the num-lock modifier, which turns the keypad digits into the cursor block.
TVirtualKeyCode VirtualKeyFromSdl(int32_t scancode, int32_t keycode, bool numLock);
