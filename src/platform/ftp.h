// Port: an FTP client for the head office upload.
//
// Contract: a session is opened, files are sent one by one (each send can
// fail on its own and the next is still tried), and the session is closed
// when the object goes. Called from the upload's worker thread only.
#pragma once

#include <memory>
#include <string>

namespace kassio {

struct FtpLogin {
    std::string server;  // host name
    int port = 21;
    std::string user;
    std::string password;
    // Explicit TLS (AUTH TLS) for the login and the transfers: the
    // password does not cross the network in clear.
    bool tls = false;
};

class FtpSession {
  public:
    virtual ~FtpSession() = default;
    // Sends the local file to the server's current folder under remoteName,
    // as a binary transfer. False when the transfer failed.
    virtual bool send(const std::string& localPath, const std::string& remoteName) = 0;
};

class Ftp {
  public:
    virtual ~Ftp() = default;
    // Connects and logs in; null when that fails.
    virtual std::unique_ptr<FtpSession> connect(const FtpLogin& login) = 0;
};

}  // namespace kassio
