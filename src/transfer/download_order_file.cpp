#include "transfer/download_order_file.h"

#include <optional>
#include <string>

#include "app/part_file.h"
#include "transfer/ftp_client.h"
#include "app/partner_files.h"
#include "transfer/partner_account.h"

namespace saldor {
namespace {

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
    PartFile part(context.programFolder / localName);
    ftp->GetFile(*listed, part.path());
    part.Commit();
  }
  ftp->Close();
}

}  // namespace saldor
