#pragma once
// TPlatformEvent: one engine input event, filled by TPlatform::ProcessEvents.

#include <cstdint>

enum TPlatformEventType : uint32_t {
  EventIdle = 1,              // no message was waiting
  EventNothing = 2,           // an unhandled or filtered message
  EventClose = 3,             // the window was asked to close; the game decides
  EventQuit = 4,              // the quit message was taken
  EventLeftButtonDown = 5,    // x, y; extra = mouse modifiers
  EventButton = 6,            // code = TButtonCode; x, y; extra = modifiers (presses, wheel)
  EventLeftButtonUp = 7,      // x, y
  EventMouseMove = 8,         // x, y (a delta in relative mouse mode)
  EventMouseGone = 9,         // the pointer left the window (with position) or lost capture
  EventHover = 10,            // the pointer rested over the window
  EventKeyDown = 11,          // code = engine key code; extra = key modifiers
  EventKeyUp = 12,            // code = engine key code
  EventChar = 13,             // code = the character byte (8-bit window)
  EventUnicodeChar = 14,      // code = the code point (wide window)
  EventRedraw = 15,
  EventDisplayChanged = 17,
  EventActivation = 18,       // code 1 active, 0 inactive
  EventFullScreenToggled = 19,  // code = the state after the toggle; extra = the requested one
};

// Codes of EventButton.
enum TButtonCode : int32_t {
  ButtonRightUp = 0,
  ButtonRightDown = 1,
  ButtonMiddleUp = 2,
  ButtonMiddleDown = 3,
  ButtonExtra1Down = 4,
  ButtonExtra2Down = 5,
  ButtonWheelAway = 6,     // positive delta
  ButtonWheelToward = 7,   // zero or negative delta
};

// Modifier bits: mouse events carry shift and control; key downs also alt (system keys)
// and the extended-key bit.
enum TModifierBits : uint32_t {
  ModifierShift = 1,
  ModifierControl = 2,
  ModifierAlt = 4,
  ModifierExtended = 8,
};

// Engine key codes that differ from the Windows virtual-key numbers.
enum TEngineKey : int32_t {
  EngineKeyUp = -128,
  EngineKeyDown = -127,
  EngineKeyLeft = -126,
  EngineKeyRight = -125,
  EngineKeyInsert = -124,
  EngineKeyPageUp = -123,
  EngineKeyPageDown = -122,
  EngineKeyDelete = -1,
};

// Mouse modes: absolute positions, or deltas from an anchor to which the pointer returns.
enum TMouseMode : int32_t {
  MouseAbsolute = 0,
  MouseRelative = 1,
};

struct TPlatformEvent {
  uint32_t type = EventIdle;
  int32_t code = 0;   // key codes are negative for the cursor keys
  int32_t x = 0;
  int32_t y = 0;
  uint32_t extra = 0;

  static TPlatformEvent Of(uint32_t type, int32_t code = 0, int32_t x = 0, int32_t y = 0, uint32_t extra = 0) {
    TPlatformEvent event;
    event.type = type;
    event.code = code;
    event.x = x;
    event.y = y;
    event.extra = extra;
    return event;
  }
};
