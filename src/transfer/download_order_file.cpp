#include "transfer/download_order_file.h"

#include <optional>
#include <string>

#include "app/part_file.h"
#include "app/partner_files.h"

namespace saldor {
namespace {

// `name` with the ASCII letters a-z in capitals; every other byte stays as it is. Listed names
// are compared with the order file's name in this form.
std::string UpperAscii(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

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

OrderFileDownload DownloadOrderFile(const std::filesystem::path& programFolder,
                                    const FtpAccount& account, const Clock& clock,
                                    const FtpLimits& limits) {
  // One date for the whole step, so that every name of the run refers to the same day.
  const std::string localName = OrderFileName(LocalDate(clock()));
  OrderFileDownload download;
  download.file = programFolder / localName;

  std::unique_ptr<FtpClient> ftp = NewFtpClient(limits);
  ftp->Open(account);
  if (std::optional<std::string> listed = FindListed(ftp->ListNames(), localName)) {
    // Fetched under the name the server lists, so that a server with case-sensitive names
    // finds it; stored under the name the import looks for. The file gets today's name only
    // when it is complete: a broken transfer leaves an earlier file of today's name as it was.
    PartFile part(download.file);
    ftp->GetFile(*listed, part.path());
    download.bytes = std::filesystem::file_size(part.path());
    part.Commit();
    download.fetched = true;
    download.listedName = *listed;
  }
  ftp->Close();
  return download;
}

}  // namespace saldor
