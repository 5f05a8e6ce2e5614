// The Ftp port on libcurl: one easy handle per session, so the login is
// made once and every file goes over the same control connection.
#pragma once

#include "platform/ftp.h"

namespace kassio {

class CurlFtp final : public Ftp {
  public:
    std::unique_ptr<FtpSession> connect(const FtpLogin& login) override;
};

}  // namespace kassio
