#pragma once
// The session scripts of the test hook: one command a line, "#" starts a comment.
//
//   wait MS                 pause
//   waitfor PATH MS         pause until the file exists (at most MS)
//   move X Y                pointer to a point of the window
//   click X Y [BUTTON]      press and release (left, middle, right, x1, x2)
//   down X Y [BUTTON]       press only; "up X Y [BUTTON]" release only
//   wheel N                 positive: away from the user
//   key NAME                press and release, e.g. "Alt+Return", "Shift+Insert", "Keypad 5"
//   keydown NAME / keyup NAME
//   type TEXT               the rest of the line, UTF-8
//   window EVENT            focus-gained, focus-lost, minimize, restore, close, expose, enter, leave
//   capture PATH            the last presented frame as a PNG file (an absolute PATH is a
//                           file on disk)
//   settle PATH MS          the frame once the screen has stopped changing: captures every
//                           300 ms until three in a row are the same (at most MS); PATH is a
//                           plain file path (not "user:"), which the hook reads back
//   hold                    holds the game's timer and wall clock: from now on only
//                           "advance" moves them (the wall clock by its whole seconds)
//   advance MS              moves the held timer on by MS in steps of 25 ms, each step
//                           waiting until the game has run a frame at the new time
//   quit [CODE]             posts the quit message

#include <string>
#include <vector>

struct THarnessCommand {
  enum class TKind { Wait, WaitFor, Move, Click, Down, Up, Wheel, Key, KeyDown, KeyUp, Type, Window, Capture, Settle, Hold, Advance, Quit };
  TKind kind = TKind::Wait;
  int a = 0, b = 0, c = 0;  // numbers: ms, x and y and button, delta, window event, exit code
  std::string text;         // path, key name, typed text
  int line = 0;
};

// False, with the line and the fault in error, for a line it cannot read.
bool ParseHarnessScript(const std::string& script, std::vector<THarnessCommand>& commands, std::string& error);
