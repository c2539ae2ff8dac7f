#pragma once
// Synthetic input for tests and the test hook: SDL events queued exactly as the video
// driver queues real ones, so they take the whole road through the OS layer. Callable
// from any thread once the main window exists.

#include <cstdint>
#include <string>

class TOsWindow;

// The window the injected events are addressed to (null: none; injection then fails).
void SetInjectionWindow(TOsWindow* window);

bool InjectMouseMove(int32_t x, int32_t y);
// button: 1 left, 2 middle, 3 right, 4 and 5 the extra buttons.
bool InjectMouseButton(uint32_t button, bool down, int32_t x, int32_t y);
// Positive: away from the user.
bool InjectMouseWheel(int32_t delta);
// A key by SDL's name with "Shift+", "Ctrl+", "Alt+" prefixes ("Alt+Return", "Keypad 5").
// numLock sets the num-lock state carried with it. False for an unknown name.
bool InjectKey(const std::string& name, bool down, bool numLock = true);
// Typed text in UTF-8 (split into as many text events as needed).
bool InjectText(const std::string& utf8);
enum class TInjectedWindowEvent {
  FocusGained, FocusLost, Minimized, Maximized, Restored, Shown, Hidden, Close, Exposed, Enter, Leave,
};
// A window event as the desktop sends it.
bool InjectWindowEvent(TInjectedWindowEvent kind);
// The session asks the program to end (a signal, logging out).
bool InjectQuitRequest();
