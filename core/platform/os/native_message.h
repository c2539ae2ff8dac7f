#pragma once
// The native messages of the OS layer: what the event-loop step converts into engine
// events and what the window procedure handles. The OS layer turns SDL events into them;
// the names follow the window messages they stand for.

#include <cstdint>

enum class TNativeMessageType : uint8_t {
  None,
  Destroy,           // the window is gone
  Size,              // state: SizeRestored, SizeMinimized or SizeMaximized
  Paint,             // part of the window must be drawn again
  Close,             // the user asked the window to close
  ActivateApp,       // state: 1 the application became active, 0 inactive
  SetCursor,         // the pointer entered the client area
  MouseActivate,     // a button press is activating the window
  WindowPosChanged,  // x, y, width, height of the window; state: WindowHidden when hidden or minimised
  DisplayChange,     // state: bits per pixel; width, height of the desktop
  MouseMove,         // x, y
  MouseLeave,        // the pointer left the window (leave tracking was armed)
  MouseHover,        // x, y: the pointer rested (hover tracking was armed)
  ButtonDown,        // button, x, y
  ButtonUp,          // button, x, y
  Wheel,             // wheelDelta (positive: away from the user), x, y
  CaptureChanged,    // state: 1 when the capture went to the window itself
  KeyDown,           // virtualKey, keyFlags
  SysKeyDown,        // the same with alt held
  KeyUp,
  SysKeyUp,
  Char,              // charCode: a UTF-16 unit (wide window) or a byte (8-bit window)
  Timer,
  Quit,              // state: the exit code
  Host,              // hostMessage, wParam, lParam: a message of a host window
};

enum TSizeState : uint32_t { SizeRestored = 0, SizeMinimized = 1, SizeMaximized = 2 };
constexpr uint32_t WindowHidden = 1;

// Mouse buttons.
enum TNativeButton : uint32_t { ButtonLeft = 1, ButtonMiddle = 2, ButtonRight = 3, ButtonX1 = 4, ButtonX2 = 5 };

// Modifier state carried by input messages.
enum TNativeModifiers : uint32_t { NativeShift = 1, NativeControl = 2, NativeAlt = 4 };

// Key flags.
constexpr uint32_t KeyExtended = 1u << 24;  // the extended-key bit of a key message
constexpr uint32_t KeyAltDown = 1u << 29;   // the context bit: alt was held

struct TNativeMessage {
  TNativeMessageType type = TNativeMessageType::None;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t state = 0;
  uint32_t button = 0;
  int32_t wheelDelta = 0;
  uint32_t virtualKey = 0;
  uint32_t keyFlags = 0;
  uint32_t modifiers = 0;  // TNativeModifiers at the time of the message
  uint32_t charCode = 0;
  uint32_t hostMessage = 0;
  intptr_t wParam = 0;
  intptr_t lParam = 0;
  uint32_t time = 0;  // OS milliseconds
};
