#pragma once
// A fake portal host: it listens on a host-channel socket in a temporary folder, takes the
// game's connection, reassembles the game's commands from their 8-byte messages and sends
// host codes. Nothing here waits: the game's messages are in the socket as soon as the
// game's send returns.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/test_util.h"

class TFakeHost {
 public:
  TFakeHost();
  ~TFakeHost();
  TFakeHost(const TFakeHost&) = delete;
  TFakeHost& operator=(const TFakeHost&) = delete;

  // The socket path to give the game ("-wnd=" + Path()).
  std::string Path() const { return mFolder.Path().ToStd() + "/host.sock"; }
  // Takes the game's waiting connection; false when the game has not connected.
  bool Accept();
  // Every message the game sent since the last call, as (wParam, lParam).
  std::vector<std::pair<uint32_t, uint32_t>> TakeMessages();
  // The same messages put back together into command texts (each ends at its NUL).
  std::vector<std::string> TakeCommands();
  // One message to the game: a host code in wParam.
  bool Send(uint32_t wParam, uint32_t lParam = 0);
  // The host goes away: its end of the connection closes.
  void Hangup();

 private:
  TTempFolder mFolder;
  int mListener = -1;
  int mConnection = -1;
};

// Puts 8-byte messages back together into the NUL-terminated texts they carry.
std::vector<std::string> JoinCommands(const std::vector<std::pair<uint32_t, uint32_t>>& messages);
