#pragma once
// IMovieHost: a movie shown over the game in place of the engine's drawing, as the window
// script's "StartMovie", "IsMoviePlaying" and "StopMovie" drive it. The host integration
// implements it and installs its maker at start-up; without a maker no movie starts and
// "StartMovie" answers false, so scripts draw on.

#include <memory>

#include "platform/engine_string.h"

class IMovieHost {
 public:
  virtual ~IMovieHost() = default;
  // Shows and starts the movie; false when it cannot (the host is left closed).
  virtual bool Open(bool loop, bool textMode, bool interactive) = 0;
  virtual bool IsPlaying() = 0;
  // Takes the movie away; safe to call twice.
  virtual void Close() = 0;
};

// Makes a closed host for a movie name.
using TMovieHostMaker = std::unique_ptr<IMovieHost> (*)(const TString& name);
// Process-wide; null removes it.
void SetMovieHostMaker(TMovieHostMaker maker);
