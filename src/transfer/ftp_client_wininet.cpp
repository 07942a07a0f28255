// The FTP client on WinINet: passive mode, one session for the whole download.
//
// WinINet's own time limits are set but not relied upon: under wine they did not take effect (a
// server that never answered held a run for more than two minutes). Every WinINet call that
// waits for the server therefore runs on a worker thread while the caller watches the clock;
// when a limit runs out, the caller closes the handle in use, which makes WinINet give up the
// call, and reports the timeout. A call that does not come back even then (under wine, a read
// on a stalled data connection) is left to its thread: the caller reports the timeout all the
// same, and the thread ends whenever the connection does.
//
// Closing a handle can itself wait for the server: the last close of a transfer reads its final
// reply (under wine for 30 s, whatever the limits), and which close is the last depends on
// whether a call on another thread still holds the handle. A handle given up is therefore closed
// on a thread of its own, and waited for a moment only.
//
// The local file is written by this code, never by FtpGetFile: under wine FtpGetFile reported
// success on a full disk.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "app/error_numbers.h"
#include "app/platform.h"
#include "app/run_error.h"
#include "app/text.h"
#include "app/time_limit.h"
#include "app/wide_text.h"
#include "transfer/ftp_client.h"

namespace saldor {
namespace {

using Moment = std::chrono::steady_clock::time_point;

Moment Now() { return std::chrono::steady_clock::now(); }

// A deadline for a wait that has no limit of its own; far, but safe to wait until.
Moment Far() { return Now() + std::chrono::hours(24); }

// How long a call is given to come back once its handle has been closed under it.
constexpr std::chrono::seconds kAbortGrace{1};

// How often a waiting caller looks at its deadline again.
constexpr std::chrono::milliseconds kDeadlineCheck{50};

// One read from the data connection at most.
constexpr DWORD kReadSize = 64 * 1024;

// The text of a WinINet or system error number, without its line end; "" when there is none.
std::string ErrorText(DWORD error) {
  return DescribeSystemError({static_cast<int>(error), std::system_category()}).text;
}

// `text` on one line: each run of line ends becomes one blank, none is left at the end.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The run error number of a failed WinINet call: WinINet's own number, or for the few socket
// errors that come through as they are, the WinINet number of the same condition.
int FtpErrorNumber(DWORD error) {
  if (error > INTERNET_ERROR_BASE && error <= INTERNET_ERROR_LAST) return static_cast<int>(error);
  switch (error) {
    case WSAETIMEDOUT:
      return errors::kFtpTimeout;
    case WSAECONNREFUSED:
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
      return errors::kFtpCannotConnect;
    case WSAECONNRESET:
    case WSAECONNABORTED:
      return errors::kFtpConnectionAborted;
    default:
      return errors::kFtpInternalError;
  }
}

// The moment until which the WinINet call in progress may run. WinINet's status callback reports
// each connection made, request sent and reply received; when asked to follow them, each one
// gives the call the response limit afresh from then. Read from the waiting thread, moved from
// the thread in the call.
class Activity {
 public:
  // From now on the call may run until `deadline`; with `follow`, until `response` after the
  // latest connection, request or reply.
  void Expect(Moment deadline, bool follow, std::chrono::seconds response) {
    follow_.store(false);
    response_.store(std::chrono::duration_cast<Moment::duration>(response).count());
    deadline_.store(deadline.time_since_epoch().count());
    follow_.store(follow);
  }

  Moment deadline() const { return Moment(Moment::duration(deadline_.load())); }

  // The statuses that give the call more time.
  static bool Moves(DWORD status) {
    return status == INTERNET_STATUS_CONNECTED_TO_SERVER ||
           status == INTERNET_STATUS_REQUEST_SENT || status == INTERNET_STATUS_RESPONSE_RECEIVED;
  }

  // Requires one of the statuses Moves names.
  void OnStatus() {
    if (!follow_.load()) return;
    deadline_.store((Now() + Moment::duration(response_.load())).time_since_epoch().count());
  }

 private:
  std::atomic<bool> follow_{false};
  std::atomic<Moment::rep> response_{0};
  std::atomic<Moment::rep> deadline_{0};
};

// Only the statuses that a call of this code's own threads reports reach the Activity: those
// threads keep it alive. Others may come from a thread of WinINet's own (under wine, a transfer's
// "request complete") when nothing here is waiting any more.
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
  if (context != 0 && Activity::Moves(status)) reinterpret_cast<Activity*>(context)->OnStatus();
}

// The stall rule of a transfer: it has stalled once fewer bytes than the limit has seconds (one
// a second) arrived during the last `limit`, and it runs for `limit` at least.
class StallWatch {
 public:
  explicit StallWatch(std::chrono::seconds limit)
      : limit_(limit), least_(static_cast<std::uint64_t>(limit.count())), start_(Now()) {}

  // Counts `bytes` that have just arrived.
  void Arrived(std::uint64_t bytes) {
    const Moment now = Now();
    if (!recent_.empty() && now - recent_.back().first < kMerge) {
      recent_.back().second += bytes;
    } else {
      recent_.emplace_back(now, bytes);
    }
  }

  // The moment the transfer counts as stalled when nothing more arrives; now or earlier when
  // it has stalled already.
  Moment Deadline() {
    const Moment now = Now();
    while (!recent_.empty() && recent_.front().first + limit_ <= now) {
      left_ = recent_.front().first + limit_;
      recent_.pop_front();
    }
    std::uint64_t sum = 0;
    for (const auto& arrival : recent_) sum += arrival.second;
    // As the oldest arrivals leave the window, the sum drops below the least. A transfer that
    // has stalled already did so when the last arrival left (not "now": the answer must not
    // move on while the caller compares it with the clock).
    Moment stalled = left_;
    for (const auto& [when, bytes] : recent_) {
      if (sum < least_) break;
      sum -= bytes;
      stalled = when + limit_;
    }
    return std::max(start_ + limit_, stalled);
  }

 private:
  // Arrivals this close together count as one, which keeps the list short.
  static constexpr std::chrono::milliseconds kMerge{100};

  const std::chrono::seconds limit_;
  const std::uint64_t least_;
  const Moment start_;
  std::deque<std::pair<Moment, std::uint64_t>> recent_;  // within the last `limit_`
  Moment left_{};  // when the latest arrival no longer in `recent_` left the window
};

// What a WinINet call left behind on the thread that made it (WinINet keeps the server's last
// reply per thread).
struct CallResult {
  bool ok = false;
  DWORD error = 0;       // GetLastError right after a failed call
  std::string response;  // InternetGetLastResponseInfo's text: the server's reply, or ""
  HINTERNET handle = nullptr;
  DWORD bytes = 0;
  std::vector<char> data;  // what a read delivered, `bytes` of it
  std::vector<std::string> names;

  // Notes the outcome of the call just made; `ok` says whether it succeeded.
  void Take(bool succeeded) {
    ok = succeeded;
    error = succeeded ? 0 : GetLastError();
    DWORD code = 0;
    DWORD length = 0;
    response.clear();
    if (!InternetGetLastResponseInfoW(&code, nullptr, &length) && length > 0) {
      std::wstring text(length + 1, L'\0');
      length = static_cast<DWORD>(text.size());
      if (InternetGetLastResponseInfoW(&code, text.data(), &length)) {
        text.resize(std::min<std::size_t>(length, text.size()));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        response = OneLine(Narrow(text));
      }
    }
  }
};

// One thread that makes blocking calls one at a time, so that the caller can stop waiting for
// one. The thread and what the calls work on are shared with it: a call that never comes back
// keeps them alive, and the caller is free. Not copyable.
class CallThread {
 public:
  CallThread() : shared_(std::make_shared<Shared>()) {
    std::thread([shared = shared_] { Serve(*shared); }).detach();
  }
  CallThread(const CallThread&) = delete;
  CallThread& operator=(const CallThread&) = delete;

  // Lets the thread end after the call it is in, if any; does not wait for it.
  ~CallThread() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->quit = true;
    shared_->wake.notify_all();
  }

  // Requires a thread that is not lost. Runs `call` on it (the call fills in its CallResult and
  // may capture nothing by reference) and waits until it has returned or until `deadline()` has
  // passed; `deadline` is asked again whenever its last answer has passed, so it may move.
  // Gives true when the call returned; its result is then result().
  bool Run(std::function<void(CallResult&)> call, const std::function<Moment()>& deadline) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->call = std::move(call);
    shared_->busy = true;
    shared_->wake.notify_all();
    // Woken now and then, as the deadline may also come closer.
    for (;;) {
      const Moment until = std::min(deadline(), Now() + kDeadlineCheck);
      if (shared_->wake.wait_until(lock, until, [this] { return !shared_->busy; })) return true;
      // The deadline first, then the clock: a deadline reckoned from the clock has passed once
      // it is due, whichever of two readings of the clock is the later.
      const Moment due = deadline();
      if (due <= Now()) return false;
    }
  }

  // After Run gave false: waits at most `grace` for the call to come back. When it does not, the
  // thread is lost and Run may not be called again.
  void Settle(std::chrono::seconds grace) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    lost_ = !shared_->wake.wait_for(lock, grace, [this] { return !shared_->busy; });
  }

  bool lost() const { return lost_; }

  // The result of the last call that came back; valid until the next Run.
  CallResult& result() { return shared_->result; }

  // What WinINet's status callback is given as context.
  Activity& activity() { return shared_->activity; }

  // The same, for a thread that may outlive this object: WinINet may report to the context as
  // long as a handle given it is not yet gone.
  std::shared_ptr<Activity> SharedActivity() const {
    return std::shared_ptr<Activity>(shared_, &shared_->activity);
  }

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::function<void(CallResult&)> call;
    bool busy = false;
    bool quit = false;
    CallResult result;
    Activity activity;
  };

  static void Serve(Shared& shared) {
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
      shared.wake.wait(lock, [&shared] { return shared.quit || shared.call != nullptr; });
      if (shared.call == nullptr) return;
      std::function<void(CallResult&)> call = std::move(shared.call);
      shared.call = nullptr;
      lock.unlock();
      call(shared.result);
      lock.lock();
      shared.busy = false;
      shared.wake.notify_all();
    }
  }

  std::shared_ptr<Shared> shared_;
  bool lost_ = false;
};

// A local file written with the system's own calls, so that every failure, a full disk first of
// all, is seen. Closed at the end unless Close succeeded. Not copyable.
class LocalFile {
 public:
  explicit LocalFile(const std::filesystem::path& path) : path_(path) {
    handle_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) Fail("Cannot create the local file", GetLastError());
  }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  ~LocalFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  void Write(const char* data, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(handle_, data, size, &written, nullptr)) {
      Fail("Cannot write the local file", GetLastError());
    }
    if (written != size) Fail("Cannot write the local file", ERROR_DISK_FULL);
  }

  void Close() {
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (!CloseHandle(handle)) Fail("Cannot write the local file", GetLastError());
  }

 private:
  [[noreturn]] void Fail(const std::string& what, DWORD error) const {
    throw SystemError({static_cast<int>(error), std::system_category()}, what,
                      {"file: " + PathText(path_)}, path_);
  }

  std::filesystem::path path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class WinInetFtpClient final : public FtpClient {
 public:
  explicit WinInetFtpClient(const FtpLimits& limits) : limits_(limits) {}
  ~WinInetFtpClient() override { Close(); }

  void Open(const FtpAccount& account) override {
    account_ = account;
    const std::string operation = "connect and log in";
    session_ = InternetOpenW(L"SaldorAuto", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (session_ == nullptr) {
      CallResult failed;
      failed.Take(false);
      Fail(operation, failed);
    }
    // Kept to where WinINet honours them; the watch below holds in any case.
    SetTimeout(INTERNET_OPTION_CONNECT_TIMEOUT, limits_.connect);
    SetTimeout(INTERNET_OPTION_RECEIVE_TIMEOUT, limits_.response);
    SetTimeout(INTERNET_OPTION_SEND_TIMEOUT, limits_.response);
    SetTimeout(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, limits_.stall);
    InternetSetStatusCallbackW(session_, OnStatus);

    // Logging in may take the connect limit in all; each reply, the response limit.
    const Moment cap = Now() + limits_.connect;
    calls_.activity().Expect(cap, true, limits_.response);
    const HINTERNET session = session_;
    const std::wstring host = Wide(account_.host);
    const std::wstring user = Wide(account_.user);
    const std::wstring password = Wide(account_.password);
    const auto port = static_cast<INTERNET_PORT>(account_.port);
    const DWORD_PTR context = Context();
    bool done = calls_.Run(
        [=](CallResult& r) {
          r.handle = InternetConnectW(session, host.c_str(), port, user.c_str(), password.c_str(),
                                      INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, context);
          r.Take(r.handle != nullptr);
        },
        [&] { return std::min(cap, calls_.activity().deadline()); });
    if (!done) {
      GiveUp(session_);
      TimedOut(operation, "not connected and logged in within " + Seconds(limits_.connect) +
                              " or no reply within " + Seconds(limits_.response));
    }
    if (!calls_.result().ok) Fail(operation, calls_.result());
    connection_ = calls_.result().handle;
  }

  std::vector<std::string> ListNames() override {
    const std::string operation = "list the login directory";
    const HINTERNET connection = connection_;
    const DWORD_PTR context = Context();
    bool done = RunCommand([=](CallResult& r) {
      r.names.clear();
      WIN32_FIND_DATAW entry;
      HINTERNET find =
          FtpFindFirstFileW(connection, nullptr, &entry, INTERNET_FLAG_RELOAD, context);
      if (find == nullptr) {
        // An empty folder: no handle, and no error or "no more files".
        r.Take(GetLastError() == ERROR_SUCCESS || GetLastError() == ERROR_NO_MORE_FILES);
        return;
      }
      bool more = true;
      while (more) {
        std::string name = Narrow(entry.cFileName);
        if (name != "." && name != "..") r.names.push_back(std::move(name));
        more = InternetFindNextFileW(find, &entry);
      }
      r.Take(GetLastError() == ERROR_NO_MORE_FILES);
      InternetCloseHandle(find);
    });
    if (!done) TimedOut(operation, "no reply within " + Seconds(limits_.response));
    if (!calls_.result().ok) Fail(operation, calls_.result());
    return calls_.result().names;
  }

  void GetFile(const std::string& remoteName, const std::filesystem::path& localPath) override {
    const std::string operation = "fetch " + remoteName;
    LocalFile out(localPath);

    const HINTERNET connection = connection_;
    const std::wstring name = Wide(remoteName);
    const DWORD_PTR context = Context();
    bool done = RunCommand([=](CallResult& r) {
      r.handle = FtpOpenFileW(connection, name.c_str(), GENERIC_READ,
                              FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, context);
      r.Take(r.handle != nullptr);
    });
    if (!done) TimedOut(operation, "no reply within " + Seconds(limits_.response), localPath);
    if (!calls_.result().ok) Fail(operation, calls_.result(), localPath);
    file_ = calls_.result().handle;

    ReadInto(out, operation, localPath);

    // Closing the transfer reads the server's final reply, which tells whether it sent all.
    const HINTERNET file = std::exchange(file_, nullptr);
    done = RunCommand([=](CallResult& r) { r.Take(InternetCloseHandle(file) != 0); });
    if (!done) TimedOut(operation, "no reply within " + Seconds(limits_.response), localPath);
    const CallResult& closed = calls_.result();
    if (!closed.ok) Fail(operation, closed, localPath);
    if (!closed.response.empty() && (closed.response[0] == '4' || closed.response[0] == '5')) {
      // WinINet ends the reads as at the end of the file when the server breaks the transfer
      // off; only the server's final reply tells.
      CallResult broken = closed;
      broken.error = closed.response.rfind("426", 0) == 0 ? errors::kFtpConnectionAborted
                                                          : errors::kFtpExtendedError;
      Fail(operation, broken, localPath);
    }
    // No final reply at all: the transfer ended only because the server closed its connections,
    // whatever part of the file had arrived by then. Whether the session still stands tells.
    if (closed.response.empty() || closed.response[0] == '1') ExpectSession(operation, localPath);
    out.Close();
  }

  void Close() override {
    if (calls_.lost()) {
      // The thread is still in a call on these handles; closing them makes it give up where
      // WinINet can, and nothing here waits for it long.
      for (HINTERNET* handle : {&file_, &connection_, &session_}) Abandon(*handle);
      return;
    }
    // Each close may wait for the server (the end of a transfer, the reply to QUIT); after a
    // timeout the server is not waited for long.
    const std::chrono::seconds limit = timedOut_ ? kAbortGrace : limits_.response;
    for (HINTERNET* handle : {&file_, &connection_, &session_}) {
      if (*handle == nullptr || calls_.lost()) continue;
      const HINTERNET h = std::exchange(*handle, nullptr);
      calls_.activity().Expect(Now() + limit, true, limit);
      if (!calls_.Run([=](CallResult&) { InternetCloseHandle(h); },
                      [this] { return calls_.activity().deadline(); })) {
        calls_.Settle(kAbortGrace);
      }
    }
    if (calls_.lost()) Close();
  }

 private:
  DWORD_PTR Context() { return reinterpret_cast<DWORD_PTR>(&calls_.activity()); }

  static std::string Seconds(std::chrono::seconds limit) {
    return std::to_string(limit.count()) + " s";
  }

  std::string HostText() const { return account_.host + ":" + std::to_string(account_.port); }

  void SetTimeout(DWORD option, std::chrono::seconds limit) {
    DWORD ms =
        static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(limit).count());
    InternetSetOptionW(session_, option, &ms, sizeof ms);
  }

  // Runs a command on the connection with the response limit for each reply. When the limit runs
  // out, the connection is given up and false given.
  bool RunCommand(std::function<void(CallResult&)> call) {
    calls_.activity().Expect(Now() + limits_.response, true, limits_.response);
    if (calls_.Run(std::move(call), [this] { return calls_.activity().deadline(); })) return true;
    GiveUp(file_ != nullptr ? file_ : connection_);
    return false;
  }

  // Asks the server for the current folder after a transfer that ended without a final reply. A
  // server that no longer answers broke the transfer off (errors::kFtpConnectionAborted).
  void ExpectSession(const std::string& operation, const std::filesystem::path& localPath) {
    const HINTERNET connection = connection_;
    const bool done = RunCommand([=](CallResult& r) {
      std::wstring folder(MAX_PATH, L'\0');
      DWORD length = static_cast<DWORD>(folder.size());
      r.Take(FtpGetCurrentDirectoryW(connection, folder.data(), &length) != 0);
    });
    if (!done) TimedOut(operation, "no reply within " + Seconds(limits_.response), localPath);
    if (!calls_.result().ok) {
      Stop(errors::kFtpConnectionAborted, operation,
           "the server closed the connection without its final reply", localPath);
    }
  }

  // Copies the open transfer into `out` until its end, unless it stalls.
  void ReadInto(LocalFile& out, const std::string& operation,
                const std::filesystem::path& localPath) {
    const HINTERNET file = file_;
    const std::string stalled = "less than 1 byte a second for " + Seconds(limits_.stall);
    StallWatch watch(limits_.stall);
    calls_.activity().Expect(Far(), false, limits_.response);
    for (;;) {
      bool done = calls_.Run(
          [=](CallResult& r) {
            // Asking what has arrived first keeps a read from waiting for a full buffer.
            DWORD available = 0;
            if (!InternetQueryDataAvailable(file, &available, 0, 0)) {
              r.Take(false);
              return;
            }
            r.data.resize(kReadSize);
            DWORD want = available == 0 ? kReadSize : std::min(available, kReadSize);
            r.Take(InternetReadFile(file, r.data.data(), want, &r.bytes) != 0);
          },
          [&watch] { return watch.Deadline(); });
      if (!done) {
        GiveUp(file_);
        TimedOut(operation, stalled, localPath);
      }
      const CallResult& read = calls_.result();
      if (!read.ok) Fail(operation, read, localPath);
      if (read.bytes == 0) return;  // the end of the data
      out.Write(read.data.data(), read.bytes);
      watch.Arrived(read.bytes);
      const Moment due = watch.Deadline();
      if (due <= Now()) TimedOut(operation, stalled, localPath);  // a trickle
    }
  }

  // Ends the call in progress by closing `handle` under it, and gives it a moment to come back.
  void GiveUp(HINTERNET& handle) {
    timedOut_ = true;
    Abandon(handle);
    calls_.Settle(kAbortGrace);
  }

  // Closes `handle`, if any, on a thread of its own, waiting for that at most kAbortGrace: when
  // this close is the handle's last, it may wait for a server that no longer answers.
  void Abandon(HINTERNET& handle) {
    if (handle == nullptr) return;
    FinishesWithin(kAbortGrace, [h = std::exchange(handle, nullptr),
                                 activity = calls_.SharedActivity()] { InternetCloseHandle(h); });
  }

  [[noreturn]] void TimedOut(const std::string& operation, const std::string& what,
                             const std::filesystem::path& localPath = {}) {
    timedOut_ = true;
    Stop(errors::kFtpTimeout, operation, what, localPath);
  }

  // Raises `number`, one of WinINet's, for a condition this code found itself: `what` follows
  // in the detail line.
  [[noreturn]] void Stop(int number, const std::string& operation, const std::string& what,
                         const std::filesystem::path& localPath) const {
    RunError error(number, Description(number),
                   {"host: " + HostText(), "operation: " + operation,
                    "detail: WinINet " + std::to_string(number) + ": " + what});
    if (!localPath.empty()) error.AddContext("local file: " + PathText(localPath));
    throw error;
  }

  [[noreturn]] void Fail(const std::string& operation, const CallResult& result,
                         const std::filesystem::path& localPath = {}) const {
    const int number = FtpErrorNumber(result.error);
    // The server's last reply tells what it refused; any other reply may be an earlier one.
    const bool refusal =
        !result.response.empty() && (result.response[0] == '4' || result.response[0] == '5');
    std::string detail =
        refusal || result.error == ERROR_INTERNET_EXTENDED_ERROR ? result.response : "";
    if (detail.empty()) detail = ErrorText(result.error);
    if (detail.empty()) detail = "no text";
    RunError error(number, Description(number), {"host: " + HostText(), "operation: " + operation});
    if (number == static_cast<int>(result.error)) {
      error.AddContext("detail: WinINet " + std::to_string(result.error) + ": " + detail);
    } else {
      error.AddContext("detail: Windows error " + std::to_string(result.error) + ": " + detail);
    }
    if (!localPath.empty()) error.AddContext("local file: " + PathText(localPath));
    throw error;
  }

  // The system's text for `number`; Windows' own wording for the numbers named in
  // error_numbers.h where the system has none (wine lacks some).
  static std::string Description(int number) {
    std::string text = ErrorText(static_cast<DWORD>(number));
    if (!text.empty()) return text;
    static constexpr std::pair<int, const char*> kWording[] = {
        {errors::kFtpTimeout, "The operation timed out"},
        {errors::kFtpExtendedError, "An extended error was returned from the server"},
        {errors::kFtpInternalError,
         "An internal error occurred in the Microsoft Internet extensions"},
        {errors::kFtpNameNotResolved, "The server name or address could not be resolved"},
        {errors::kFtpLoginFailure, "The login request was denied"},
        {errors::kFtpCannotConnect, "A connection with the server could not be established"},
        {errors::kFtpConnectionAborted, "The connection with the server was terminated abnormally"},
    };
    for (const auto& [known, wording] : kWording) {
      if (known == number) return wording;
    }
    return "WinINet error " + std::to_string(number);
  }

  const FtpLimits limits_;
  FtpAccount account_;
  CallThread calls_;
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET file_ = nullptr;
  bool timedOut_ = false;  // a limit ran out: the server is not to be waited for again
};

}  // namespace

std::unique_ptr<FtpClient> NewFtpClient(const FtpLimits& limits) {
  return std::make_unique<WinInetFtpClient>(limits);
}

}  // namespace saldor
