#pragma once
// Engine key codes: the virtual-key number, with the cursor block mapped to negative codes
// and the keypad and punctuation keys to the characters they carry.

#include <cstdint>

int32_t EngineKeyCode(uint32_t virtualKey);
