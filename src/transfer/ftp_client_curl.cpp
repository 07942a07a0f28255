// The FTP client on libcurl: passive mode, one control connection kept for the whole session.
#include <curl/curl.h>

#include <cerrno>
#include <fstream>
#include <mutex>

#include "app/error_numbers.h"
#include "app/platform.h"
#include "app/run_error.h"
#include "transfer/ftp_client.h"

namespace saldor {
namespace {

// The run error number of a libcurl failure: WinINet's number for the same condition, as on
// every platform. libcurl's own code goes into the report's detail line.
int FtpErrorNumber(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return errors::kFtpTimeout;
    case CURLE_COULDNT_RESOLVE_HOST:
      return errors::kFtpNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return errors::kFtpCannotConnect;
    case CURLE_LOGIN_DENIED:
      return errors::kFtpLoginFailure;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
      return errors::kFtpConnectionAborted;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_QUOTE_ERROR:
      return errors::kFtpExtendedError;
    default:
      return errors::kFtpInternalError;
  }
}

void InitCurlOnce() {
  static std::once_flag once;
  static CURLcode code = CURLE_OK;
  std::call_once(once, [] { code = curl_global_init(CURL_GLOBAL_DEFAULT); });
  if (code != CURLE_OK) {
    throw RunError(errors::kFtpInternalError, curl_easy_strerror(code),
                   {"operation: initialise the FTP library",
                    "detail: curl " + std::to_string(code) + ": " + curl_easy_strerror(code)});
  }
}

size_t AppendToString(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// Where a download is written, and the system's error number when that failed.
struct LocalTarget {
  std::ofstream* out;
  int* error;
};

// Returning less than was given makes libcurl stop the transfer with a write error.
size_t WriteToStream(char* data, size_t size, size_t count, void* target) {
  auto* local = static_cast<LocalTarget*>(target);
  errno = 0;
  local->out->write(data, static_cast<std::streamsize>(size * count));
  if (local->out->good()) return size * count;
  *local->error = errno;
  return 0;
}

// Splits a name listing into its lines, without line ends; empty lines are dropped.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

class CurlFtpClient final : public FtpClient {
 public:
  explicit CurlFtpClient(const FtpLimits& limits) : limits_(limits) {}
  ~CurlFtpClient() override { Close(); }

  void Open(const FtpAccount& account) override {
    InitCurlOnce();
    account_ = account;
    curl_ = curl_easy_init();
    if (curl_ == nullptr) {
      throw RunError(errors::kFtpInternalError, curl_easy_strerror(CURLE_FAILED_INIT),
                     {"host: " + HostText(), "operation: connect and log in"});
    }
    SetOption(CURLOPT_ERRORBUFFER, error_);
    SetOption(CURLOPT_NOSIGNAL, 1L);
    SetOption(CURLOPT_USERNAME, account_.user.c_str());
    SetOption(CURLOPT_PASSWORD, account_.password.c_str());
    SetOption(CURLOPT_FTPPORT, nullptr);  // passive data connections
    SetOption(CURLOPT_FTP_USE_EPSV, 1L);
    SetOption(CURLOPT_CONNECTTIMEOUT, Seconds(limits_.connect));
    SetOption(CURLOPT_SERVER_RESPONSE_TIMEOUT, Seconds(limits_.response));
    SetOption(CURLOPT_LOW_SPEED_LIMIT, 1L);
    SetOption(CURLOPT_LOW_SPEED_TIME, Seconds(limits_.stall));

    // Asking for the login directory without a body connects and logs in, nothing more.
    SetUrl("");
    SetOption(CURLOPT_NOBODY, 1L);
    Perform("connect and log in", "");
    SetOption(CURLOPT_NOBODY, 0L);
  }

  std::vector<std::string> ListNames() override {
    std::string listing;
    SetUrl("");
    SetOption(CURLOPT_DIRLISTONLY, 1L);
    SetOption(CURLOPT_WRITEFUNCTION, AppendToString);
    SetOption(CURLOPT_WRITEDATA, &listing);
    Perform("list the login directory", "");
    SetOption(CURLOPT_DIRLISTONLY, 0L);
    return SplitLines(listing);
  }

  void GetFile(const std::string& remoteName, const std::filesystem::path& localPath) override {
    errno = 0;
    std::ofstream out(localPath, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) ThrowLocalFileError("Cannot create the local file", localPath);
    SetUrl(remoteName);
    SetOption(CURLOPT_WRITEFUNCTION, WriteToStream);
    writeErrno_ = 0;
    LocalTarget target{&out, &writeErrno_};
    SetOption(CURLOPT_WRITEDATA, &target);
    Perform("fetch " + remoteName, localPath.string());
    errno = 0;
    out.close();
    if (out.fail()) ThrowLocalFileError("Cannot write the local file", localPath);
  }

  void Close() override {
    if (curl_ != nullptr) {
      curl_easy_cleanup(curl_);  // sends QUIT on the open control connection
      curl_ = nullptr;
    }
  }

 private:
  std::string HostText() const { return account_.host + ":" + std::to_string(account_.port); }

  // Points the handle at `name` in the login directory (the directory itself for "").
  void SetUrl(const std::string& name) {
    std::string host = account_.host;
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    std::string url = "ftp://" + host + ":" + std::to_string(account_.port) + "/";
    if (!name.empty()) {
      char* escaped = curl_easy_escape(curl_, name.data(), static_cast<int>(name.size()));
      if (escaped == nullptr) {
        throw RunError(errors::kOutOfMemory, curl_easy_strerror(CURLE_OUT_OF_MEMORY),
                       {"host: " + HostText(), "operation: build the address of " + name});
      }
      url += escaped;
      curl_free(escaped);
    }
    SetOption(CURLOPT_URL, url.c_str());
  }

  // Sets `option` on the handle; an option libcurl refuses raises RunError naming it.
  template <typename Value>
  void SetOption(CURLoption option, Value value) {
    error_[0] = '\0';
    const CURLcode code = curl_easy_setopt(curl_, option, value);
    if (code == CURLE_OK) return;
    const curl_easyoption* known = curl_easy_option_by_id(option);
    const std::string name = known != nullptr ? known->name : std::to_string(option);
    throw CurlError(code, "set the option CURLOPT_" + name, "");
  }

  // Runs the transfer set up on the handle; a failure raises RunError with libcurl's code.
  void Perform(const std::string& operation, const std::string& localFile) {
    error_[0] = '\0';
    CURLcode code = curl_easy_perform(curl_);
    if (code == CURLE_OK) return;
    if (code == CURLE_WRITE_ERROR && writeErrno_ != 0) {
      // The local file could not take the data: a file error, not an FTP one.
      errno = writeErrno_;
      ThrowLocalFileError("Cannot write the local file", localFile);
    }
    throw CurlError(code, operation, localFile);
  }

  // The failure `code` of `operation`, with libcurl's code and text as the detail line.
  RunError CurlError(CURLcode code, const std::string& operation,
                     const std::string& localFile) const {
    RunError error(FtpErrorNumber(code), curl_easy_strerror(code),
                   {"host: " + HostText(), "operation: " + operation});
    error.AddContext("detail: curl " + std::to_string(code) + ": " +
                     (error_[0] != '\0' ? error_ : curl_easy_strerror(code)));
    if (!localFile.empty()) error.AddContext("local file: " + localFile);
    return error;
  }

  // `what` failed on `path` with errno's code (0: none known).
  [[noreturn]] void ThrowLocalFileError(const std::string& what,
                                        const std::filesystem::path& path) const {
    std::error_code error;
    if (errno != 0) error = LastSystemError();
    throw SystemError(error, what, {"file: " + path.string()}, path);
  }

  static long Seconds(std::chrono::seconds limit) { return static_cast<long>(limit.count()); }

  const FtpLimits limits_;
  FtpAccount account_;
  CURL* curl_ = nullptr;
  char error_[CURL_ERROR_SIZE] = {};
  int writeErrno_ = 0;  // errno of a failed write of the local file
};

}  // namespace

std::unique_ptr<FtpClient> NewFtpClient(const FtpLimits& limits) {
  return std::make_unique<CurlFtpClient>(limits);
}

}  // namespace saldor
