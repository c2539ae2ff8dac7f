#pragma once
// TFlashHost: one movie shown over the game's main window by the movie player, with the
// engine's drawing switched off while it is up. In text mode the movie asks for its texts:
// the variables it names in "textvarnames" and every "FLASH_" label of the string table are
// handed to it before it plays. The window script keeps at most one host (IMovieHost).
//
// Main thread only.

#include <cstdint>
#include <memory>

#include "host/movie_player.h"
#include "windows/i_movie_host.h"

class TFlashHost : public IMovieHost {
 public:
  explicit TFlashHost(const TString& name);
  ~TFlashHost() override;
  TFlashHost(const TFlashHost&) = delete;
  TFlashHost& operator=(const TFlashHost&) = delete;

  // The maker the window script is given (SetMovieHostMaker).
  static std::unique_ptr<IMovieHost> Make(const TString& name);

  bool Open(bool loop, bool textMode, bool interactive) override;
  // The control's "Playing"; while the game runs full screen on its own, a main window that
  // shrank below the movie area is given its size back.
  bool IsPlaying() override;
  void Close() override;

  // The least major version of the player: 6 for text mode, else 4; the setting
  // "flashmajorversion" may raise it, never lower it.
  static uint32_t LeastVersion(bool textMode);

 private:
  // Undoes what Open did before the control came up.
  void FailOpen();
  bool LoadMovie(bool loop, bool textMode);
  bool PassTexts();
  bool SetVariable(const TString& name, const TString& value);
  void WipeScreen();

  TString mName;
  std::unique_ptr<IMoviePlayer> mPlayer;  // null while closed
  bool mSavedCursorVisible = false;
  bool mInteractive = false;
  int32_t mWidth = 0;
  int32_t mHeight = 0;
};
