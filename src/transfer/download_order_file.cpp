#include "transfer/download_order_file.h"

#include <optional>
#include <string>
#include <system_error>

#include "app/run_error.h"
#include "transfer/ftp_client.h"
#include "transfer/order_file_name.h"
#include "transfer/partner_account.h"

namespace saldor {
namespace {

// A file being written under a temporary name; removed at the end unless it was moved to its
// final name.
class PartFile {
 public:
  explicit PartFile(std::filesystem::path path) : path_(std::move(path)) {}
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() {
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }

  const std::filesystem::path& path() const { return path_; }

  // Renames the file to `target`, replacing a file of that name.
  void KeepAs(const std::filesystem::path& target) {
    std::error_code ec;
    std::filesystem::rename(path_, target, ec);
    if (ec) {
      throw RunError(ec.value(), "Cannot store the fetched order file: " + ec.message(),
                     {"file: " + path_.string(), "target: " + target.string()});
    }
    kept_ = true;
  }

 private:
  std::filesystem::path path_;
  bool kept_ = false;
};

// The first listed name equal to `name` apart from the case of its letters.
std::optional<std::string> FindListed(const std::vector<std::string>& listing,
                                      const std::string& name) {
  const std::string key = UpperAscii(name);
  for (const std::string& entry : listing) {
    if (UpperAscii(entry) == key) return entry;
  }
  return std::nullopt;
}

}  // namespace

void DownloadOrderFile(RunContext& context) {
  // One date for the whole step, so that every name of the run refers to the same day.
  const std::string localName = OrderFileName(LocalDate(context.clock()));

  std::unique_ptr<FtpClient> ftp = NewFtpClient();
  ftp->Open(PartnerFtpAccount(context.settings));
  if (std::optional<std::string> listed = FindListed(ftp->ListNames(), localName)) {
    // Fetched under the name the server lists, so that a server with case-sensitive names
    // finds it; stored under the name the import looks for. The file gets today's name only
    // when it is complete: a broken transfer leaves an earlier file of today's name as it was.
    const std::filesystem::path target = context.programFolder / localName;
    PartFile part(context.programFolder / (localName + ".part"));
    ftp->GetFile(*listed, part.path());
    part.KeepAs(target);
  }
  ftp->Close();
}

}  // namespace saldor
