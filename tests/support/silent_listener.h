#ifndef SALDOR_TESTS_SUPPORT_SILENT_LISTENER_H_
#define SALDOR_TESTS_SUPPORT_SILENT_LISTENER_H_

#include <cstdint>

namespace saldor::testing {

// A server that takes connections and never answers: a listening socket on 127.0.0.1 and a free
// port that nobody accepts from. The system completes each client's connect (up to a backlog of
// pending connections far beyond what a test makes) and keeps whatever the client sends unread,
// so a client that waits for a greeting or a reply waits until its own time limit ends.
//
// Closing the listener resets the pending connections: a client still waiting then fails at once
// instead of hanging. Not copyable.
class SilentListener {
 public:
  // Listens on a free port of 127.0.0.1; raises std::runtime_error when it cannot.
  SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  ~SilentListener();

  static constexpr const char* kHost = "127.0.0.1";
  int port() const { return port_; }

  // Stops listening and resets every connection still pending. Safe to call more than once; the
  // destructor calls it too.
  void Close();

 private:
  std::intptr_t socket_ = -1;
  int port_ = 0;
};

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_SILENT_LISTENER_H_
