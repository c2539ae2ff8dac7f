// The engine's key codes: the virtual keys that the event step turns into engine codes.

#include <gtest/gtest.h>

#include "engine/engine_keys.h"
#include "platform/os/virtual_keys.h"

TEST(EngineKeys, CursorBlockIsNegativeKeypadAndPunctuationAreCharacters) {
  const struct {
    uint32_t virtualKey;
    int32_t code;
  } cases[] = {
      {VkUp, -128},       {VkDown, -127},     {VkLeft, -126},         {VkRight, -125},      {VkInsert, -124},
      {VkPrior, -123},    {VkNext, -122},     {VkDelete, -1},         {VkNumpad0, '0'},     {VkNumpad9, '9'},
      {VkMultiply, '*'},  {VkAdd, '+'},       {VkOemPlus, '+'},       {VkSeparator, 10},    {VkSubtract, '-'},
      {VkOemMinus, '-'},  {VkDecimal, '.'},   {VkOemPeriod, '.'},     {VkDivide, '/'},      {VkOem2, '/'},
      {VkOem1, ';'},      {VkOemComma, ','},  {VkOem3, '`'},          {VkOem4, '['},        {VkOem5, '\\'},
      {VkOem6, ']'},      {VkOem7, '\''},     {VkHome, VkHome},       {'A', 'A'},           {VkF1, VkF1},
  };
  for (const auto& c : cases) EXPECT_EQ(EngineKeyCode(c.virtualKey), c.code) << c.virtualKey;
}
