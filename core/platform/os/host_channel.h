#pragma once
// THostChannel: the game's line to the page that hosts it. The host listens on a Unix-domain
// SOCK_SEQPACKET socket whose path the command line gives with "-wnd="; the game connects at
// start-up. Every message, both ways, is 8 bytes: wParam then lParam, each a 32-bit
// little-endian number. The host counts as alive while the connection is open.
//
// Main thread only.

#include <cstdint>
#include <string>

class THostChannel {
 public:
  THostChannel() = default;
  ~THostChannel();
  THostChannel(const THostChannel&) = delete;
  THostChannel& operator=(const THostChannel&) = delete;

  // Connects to the socket at path; false (the reason in Error) when no host listens there.
  bool Connect(const std::string& path);
  void Close();
  bool IsOpen() const { return mSocket >= 0; }
  // Whether the host still holds the connection open; asks the system without waiting.
  bool IsAlive() const;
  // Sends one message without blocking; false when it could not go out.
  bool Post(uint32_t wParam, uint32_t lParam);
  // Takes one waiting message without blocking; false when none is waiting. A message of
  // another size is dropped with a log line.
  bool Receive(uint32_t& wParam, uint32_t& lParam);
  const std::string& Error() const { return mError; }

  // The two 32-bit halves of one 8-byte message, and back.
  static void Encode(uint32_t wParam, uint32_t lParam, unsigned char out[8]);
  static void Decode(const unsigned char in[8], uint32_t& wParam, uint32_t& lParam);

 private:
  int mSocket = -1;
  std::string mError;
};
