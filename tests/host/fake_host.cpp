#include "host/fake_host.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/os/host_channel.h"

TFakeHost::TFakeHost() {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = Path();
  if (path.size() >= sizeof(address.sun_path)) return;
  memcpy(address.sun_path, path.c_str(), path.size() + 1);
  mListener = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (mListener < 0) return;
  if (bind(mListener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(mListener, 4) != 0) {
    close(mListener);
    mListener = -1;
  }
}

TFakeHost::~TFakeHost() {
  Hangup();
  if (mListener >= 0) close(mListener);
}

bool TFakeHost::Accept() {
  if (mListener < 0) return false;
  mConnection = accept4(mListener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  return mConnection >= 0;
}

std::vector<std::pair<uint32_t, uint32_t>> TFakeHost::TakeMessages() {
  std::vector<std::pair<uint32_t, uint32_t>> messages;
  unsigned char bytes[8];
  while (mConnection >= 0 && recv(mConnection, bytes, sizeof(bytes), MSG_DONTWAIT) == ssize_t(sizeof(bytes))) {
    uint32_t wParam = 0, lParam = 0;
    THostChannel::Decode(bytes, wParam, lParam);
    messages.emplace_back(wParam, lParam);
  }
  return messages;
}

std::vector<std::string> TFakeHost::TakeCommands() { return JoinCommands(TakeMessages()); }

bool TFakeHost::Send(uint32_t wParam, uint32_t lParam) {
  unsigned char bytes[8];
  THostChannel::Encode(wParam, lParam, bytes);
  return mConnection >= 0 && send(mConnection, bytes, sizeof(bytes), MSG_NOSIGNAL) == ssize_t(sizeof(bytes));
}

void TFakeHost::Hangup() {
  if (mConnection >= 0) close(mConnection);
  mConnection = -1;
}

std::vector<std::string> JoinCommands(const std::vector<std::pair<uint32_t, uint32_t>>& messages) {
  std::vector<std::string> commands;
  std::string current;
  for (const auto& [wParam, lParam] : messages) {
    unsigned char bytes[8];
    THostChannel::Encode(wParam, lParam, bytes);
    for (unsigned char byte : bytes) {
      if (byte == 0) {
        commands.push_back(current);
        current.clear();
        break;  // the bytes after the NUL carry nothing
      }
      current += char(byte);
    }
  }
  return commands;
}
