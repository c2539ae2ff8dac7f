#pragma once
// GameMain: the game's main function, which the engine calls once with the platform object.
// It makes the game's singletons, sets up the main window (title, display mode, cursors),
// registers the game's window types, starts the main script, then hands every platform
// event to the window manager until the quit event comes, and tears the game down in a
// fixed order.

struct TPlatformEvent;
class TPlatform;

void GameMain(TPlatform* platform);

// The game's own reaction to an event, before the window manager sees it: the close
// request runs the script of "scriptOkVerify" (the game does not quit by itself), a switch
// between full screen and window is stored for the next start, and activation sets the
// global flag "WindowHasNotFocus".
void ReactToGameEvent(const TPlatformEvent& event);
