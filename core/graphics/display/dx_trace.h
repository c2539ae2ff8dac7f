#pragma once
// The one way the display code reports a failed device call: out of video memory first
// goes to the platform's handler, then the log gets
// "DX Error: %s (0x%x), File %s, Line %d" with an empty name, the result, the unit and
// the line of the call.

#include "graphics/device/device_types.h"

void TraceDxError(TDevResult result, const char* unit, int line);
