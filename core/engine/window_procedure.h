#pragma once
// The main window's procedure. It records what happened in the start-up record's flags,
// which the next event-loop step turns into engine events; it lets the display handler
// follow the pointer and hands host messages on. It reaches the platform through the
// window's user data (null before the platform stored itself and after teardown).

#include <cstdint>

#include "platform/os/native_message.h"

class TOsWindow;
class TPlatformImpl;

intptr_t MainWindowProc(TOsWindow& window, const TNativeMessage& message);

// A change of the window's activity: the sound pauses or resumes; in full screen only a
// forced change is recorded.
void SetActive(TPlatformImpl& platform, bool active, bool force);
// The application was activated or deactivated.
void SetAppActivated(TPlatformImpl& platform, bool activated);

// Windows' host messages that the procedure answers.
constexpr uint32_t HostMessageUser = 0x400;
constexpr uint32_t HostMessageToParent = 0x402;
constexpr uint32_t HostMessageIgnored = 0x464;
