#include "platform/os/host_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/log.h"

THostChannel::~THostChannel() { Close(); }

bool THostChannel::Connect(const std::string& path) {
  Close();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    mError = "the socket path \"" + path + "\" is empty or too long";
    return false;
  }
  memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    mError = strerror(errno);
    return false;
  }
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    mError = path + ": " + strerror(errno);
    close(fd);
    return false;
  }
  mSocket = fd;
  mError.clear();
  return true;
}

void THostChannel::Close() {
  if (mSocket >= 0) close(mSocket);
  mSocket = -1;
}

bool THostChannel::IsAlive() const {
  if (mSocket < 0) return false;
  pollfd entry{mSocket, POLLIN | POLLRDHUP, 0};
  if (poll(&entry, 1, 0) < 0) return errno == EINTR;
  return !(entry.revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL));
}

bool THostChannel::Post(uint32_t wParam, uint32_t lParam) {
  if (mSocket < 0) return false;
  unsigned char bytes[8];
  Encode(wParam, lParam, bytes);
  // MSG_NOSIGNAL: a host that went away must not end the game with SIGPIPE.
  return send(mSocket, bytes, sizeof(bytes), MSG_DONTWAIT | MSG_NOSIGNAL) == ssize_t(sizeof(bytes));
}

bool THostChannel::Receive(uint32_t& wParam, uint32_t& lParam) {
  while (mSocket >= 0) {
    // One byte more than a message: a longer packet shows as truncated.
    unsigned char bytes[9];
    ssize_t got = recv(mSocket, bytes, sizeof(bytes), MSG_DONTWAIT | MSG_TRUNC);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (got != 8) {
      LogPrintf("Host channel: a message of %d bytes was dropped (messages have 8).", int(got));
      continue;
    }
    Decode(bytes, wParam, lParam);
    return true;
  }
  return false;
}

void THostChannel::Encode(uint32_t wParam, uint32_t lParam, unsigned char out[8]) {
  for (int i = 0; i < 4; i++) {
    out[i] = static_cast<unsigned char>(wParam >> (8 * i));
    out[4 + i] = static_cast<unsigned char>(lParam >> (8 * i));
  }
}

void THostChannel::Decode(const unsigned char in[8], uint32_t& wParam, uint32_t& lParam) {
  wParam = lParam = 0;
  for (int i = 0; i < 4; i++) {
    wParam |= uint32_t(in[i]) << (8 * i);
    lParam |= uint32_t(in[4 + i]) << (8 * i);
  }
}
