#ifndef SALDOR_TRANSFER_PARTNER_ACCOUNT_H_
#define SALDOR_TRANSFER_PARTNER_ACCOUNT_H_

#include "app/settings.h"
#include "transfer/ftp_client.h"

namespace saldor {

// The partner's FTP login, shared by the order file download and the upload script.
inline constexpr char kPartnerFtpUser[] = "ftpvend1";
inline constexpr char kPartnerFtpPassword[] = "qT#wz4Lp";

// The partner account on the host and port of `settings`.
inline FtpAccount PartnerFtpAccount(const Settings& settings) {
  return FtpAccount{settings.ftpHost, settings.ftpPort, kPartnerFtpUser, kPartnerFtpPassword};
}

}  // namespace saldor

#endif  // SALDOR_TRANSFER_PARTNER_ACCOUNT_H_
