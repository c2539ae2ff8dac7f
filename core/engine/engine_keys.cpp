#include "engine/engine_keys.h"

#include "platform/os/virtual_keys.h"
#include "platform/platform_event.h"

int32_t EngineKeyCode(uint32_t virtualKey) {
  if (virtualKey >= VkNumpad0 && virtualKey <= VkNumpad9) return int32_t('0' + virtualKey - VkNumpad0);
  switch (virtualKey) {
    case VkUp: return EngineKeyUp;
    case VkDown: return EngineKeyDown;
    case VkLeft: return EngineKeyLeft;
    case VkRight: return EngineKeyRight;
    case VkInsert: return EngineKeyInsert;
    case VkPrior: return EngineKeyPageUp;
    case VkNext: return EngineKeyPageDown;
    case VkDelete: return EngineKeyDelete;
    case VkMultiply: return '*';
    case VkAdd:
    case VkOemPlus: return '+';
    case VkSeparator: return 10;
    case VkSubtract:
    case VkOemMinus: return '-';
    case VkDecimal:
    case VkOemPeriod: return '.';
    case VkDivide:
    case VkOem2: return '/';
    case VkOem1: return ';';
    case VkOemComma: return ',';
    case VkOem3: return '`';
    case VkOem4: return '[';
    case VkOem5: return '\\';
    case VkOem6: return ']';
    case VkOem7: return '\'';
    default: return int32_t(virtualKey);
  }
}
