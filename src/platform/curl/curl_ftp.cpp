#include "platform/curl/curl_ftp.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace kassio {

namespace {

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

class CurlSession final : public FtpSession {
  public:
    CurlSession(CURL* curl, std::string base) : m_curl(curl), m_base(std::move(base)) {}
    ~CurlSession() override { curl_easy_cleanup(m_curl); }

    bool send(const std::string& localPath, const std::string& remoteName) override {
        std::FILE* in = std::fopen(localPath.c_str(), "rb");
        if (!in) return false;
        std::fseek(in, 0, SEEK_END);
        const long size = std::ftell(in);
        std::fseek(in, 0, SEEK_SET);
        char* escaped =
            curl_easy_escape(m_curl, remoteName.c_str(), static_cast<int>(remoteName.size()));
        const std::string url = m_base + (escaped ? escaped : "");
        curl_free(escaped);
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 0L);
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, in);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
        curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, 0L);  // binary (TYPE I)
        const CURLcode rc = curl_easy_perform(m_curl);
        std::fclose(in);
        return rc == CURLE_OK;
    }

  private:
    CURL* m_curl;
    std::string m_base;
};

}  // namespace

std::unique_ptr<FtpSession> CurlFtp::connect(const FtpLogin& login) {
    globalInit();
    CURL* curl = curl_easy_init();
    if (!curl) return nullptr;
    const std::string base = "ftp://" + login.server + ":" + std::to_string(login.port) + "/";
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "KASSIO");
    curl_easy_setopt(curl, CURLOPT_USERNAME, login.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, login.password.c_str());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    // A server that stops answering mid-transfer ends the upload after a
    // minute instead of holding its thread (and the till's close) for ever.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // a worker thread: no SIGALRM
    if (login.tls) curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    // The login alone: connect, USER, PASS, and nothing transferred.
    curl_easy_setopt(curl, CURLOPT_URL, base.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    if (curl_easy_perform(curl) != CURLE_OK) {
        curl_easy_cleanup(curl);
        return nullptr;
    }
    return std::make_unique<CurlSession>(curl, base);
}

}  // namespace kassio
