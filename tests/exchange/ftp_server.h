// A real FTP server (pyftpdlib) on a free loopback port for the upload
// tests, serving one folder to the user "shop" with the password "pw"; the
// files it received are read back from that folder.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace kassio::test {

class FtpServer {
  public:
    explicit FtpServer(const std::string& dir) {
        // Port 0 would let the system choose, but the server does not say
        // which it got; a free port is found first.
        m_port = freePort();
        m_pid = ::fork();
        if (m_pid == 0) {
            const std::string port = std::to_string(m_port);
            ::execl("/usr/bin/python3", "python3", "-m", "pyftpdlib", "-i", "127.0.0.1", "-p",
                    port.c_str(), "-u", "shop", "-P", "pw", "-d", dir.c_str(), "-w",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100 && !listening(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~FtpServer() {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;
    int port() const { return m_port; }

  private:
    static int freePort() {
        int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        ::close(s);
        return ntohs(a.sin_port);
    }
    bool listening() const {
        int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(m_port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(s);
        return ok;
    }
    pid_t m_pid = -1;
    int m_port = 0;
};

}  // namespace kassio::test
