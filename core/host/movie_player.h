#pragma once
// IMoviePlayer: the movie control that TFlashHost drives, in the shape of the control's
// automation: a control window over the game's main window, named properties and methods.
// No real player exists on this platform: no maker is installed, and opening a movie fails
// as it does where the control is missing. Tests install a fake player.
//
// Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/engine_string.h"

class IMoviePlayer {
 public:
  virtual ~IMoviePlayer() = default;

  // Makes the control as a child over the main window's client area (width x height);
  // unless interactive, also a window that keeps the input away from the game. False when
  // no control could be made.
  virtual bool Create(int32_t width, int32_t height, bool interactive) = 0;
  // Removes the control and its windows; safe when none exist.
  virtual void Destroy() = 0;

  // "FlashVersion": the control's version, its major number in bits 16 to 23.
  virtual bool GetVersion(uint32_t& version) = 0;
  // Properties: "Movie" (a path), "Loop" and "Playing" (booleans). False when the control
  // does not know the name or is gone.
  virtual bool PutProperty(const char* name, const TString& value) = 0;
  virtual bool PutProperty(const char* name, bool value) = 0;
  virtual bool GetProperty(const char* name, bool& value) = 0;
  // Methods: "Stop", "Play", "GetVariable"(name) with a text result, "SetVariable"(name,
  // value). False when the call fails.
  virtual bool Call(const char* name, const std::vector<TString>& arguments, TString* result) = 0;
};

using TMoviePlayerMaker = std::unique_ptr<IMoviePlayer> (*)();
// Process-wide; null: no player (the default).
void SetMoviePlayerMaker(TMoviePlayerMaker maker);
