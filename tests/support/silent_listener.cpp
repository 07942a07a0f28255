// Test helper: a listening socket nobody accepts from, on BSD sockets or Winsock.
#include "support/silent_listener.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace saldor::testing {
namespace {

#ifdef _WIN32
using Socket = SOCKET;
const Socket kNoSocket = INVALID_SOCKET;
void CloseSocket(Socket s) { closesocket(s); }
// Not inherited by child processes, which would keep the listener alive after Close.
Socket NewSocket() {
  return WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
}
int LastSocketError() { return WSAGetLastError(); }

// Winsock must be started once per process before the first socket.
void StartSockets() {
  static const int started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  if (started != 0) throw std::runtime_error("WSAStartup failed: " + std::to_string(started));
}
#else
using Socket = int;
const Socket kNoSocket = -1;
void CloseSocket(Socket s) { close(s); }
// Not inherited by child processes, which would keep the listener alive after Close.
Socket NewSocket() { return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP); }
int LastSocketError() { return errno; }
void StartSockets() {}
#endif

[[noreturn]] void Fail(const std::string& what, int error) {
  throw std::runtime_error("silent listener: " + what + " failed, error " + std::to_string(error));
}

}  // namespace

SilentListener::SilentListener() {
  StartSockets();
  Socket s = NewSocket();
  if (s == kNoSocket) Fail("socket", LastSocketError());
  socket_ = static_cast<std::intptr_t>(s);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = 0;
  inet_pton(AF_INET, kHost, &address.sin_addr);
  socklen_t length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(s, SOMAXCONN) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    int error = LastSocketError();
    Close();
    Fail("bind, listen or getsockname", error);
  }
  port_ = ntohs(address.sin_port);
}

SilentListener::~SilentListener() { Close(); }

void SilentListener::Close() {
  if (static_cast<Socket>(socket_) != kNoSocket) {
    CloseSocket(static_cast<Socket>(socket_));
    socket_ = static_cast<std::intptr_t>(kNoSocket);
  }
}

}  // namespace saldor::testing
