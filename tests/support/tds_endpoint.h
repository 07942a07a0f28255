#ifndef SALDOR_TESTS_SUPPORT_TDS_ENDPOINT_H_
#define SALDOR_TESTS_SUPPORT_TDS_ENDPOINT_H_

#include <memory>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace saldor::testing {

// A scripted SQL Server endpoint (tests/support/tds_endpoint.py) on 127.0.0.1 and a free port:
// it takes any login and answers each request by the first rule of `scriptJson` whose "match"
// text the request holds (see the script for the rules and for what it does not cover).
// Started by the constructor, which returns once it listens; stopped by the destructor.
class TdsEndpoint {
 public:
  explicit TdsEndpoint(const std::string& scriptJson = "[]");
  TdsEndpoint(const TdsEndpoint&) = delete;
  TdsEndpoint& operator=(const TdsEndpoint&) = delete;
  ~TdsEndpoint();

  int port() const { return port_; }

  // A FreeTDS connection string for this endpoint, ending in ";"; `extra` is appended to it.
  std::string FreeTdsConnectionString(const std::string& extra = "") const;

 private:
  TempDir work_;
  std::unique_ptr<BackgroundProcess> process_;
  int port_ = 0;
};

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_TDS_ENDPOINT_H_
