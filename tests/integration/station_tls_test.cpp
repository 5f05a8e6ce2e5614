// The station server's TCP port with TLS: a client that trusts the shop's
// certificate is served, one that speaks plain TCP or trusts another
// certificate is not, and TLS settings that cannot be used never fall back
// to plain TCP.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "station_fixture.h"

namespace kassio::test {
namespace {

class StationTlsTest : public StationTest {
  protected:
    void SetUp() override {
        StationTest::SetUp();
        if (std::system("command -v openssl >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "openssl is not installed: no certificate to test with";
        m_dir =
            std::filesystem::temp_directory_path() / ("kassio-tls-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        for (const char* name : {"shop", "other"}) {
            const std::string base = (m_dir / name).string();
            const std::string command =
                "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost "
                "-addext subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout " +
                base + ".key -out " + base + ".crt >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
    void TearDown() override {
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
        StationTest::TearDown();
    }
    std::string path(const char* name) const { return (m_dir / name).string(); }
    std::string text(const char* name) const {
        std::ifstream in(path(name));
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::unique_ptr<StationClient> tlsClient(const std::string& endpoint, const std::string& key,
                                             const std::string& trusted) {
        m_tls.push_back(std::make_unique<GrpcStationTransport>(endpoint, key,
                                                               std::chrono::seconds(10), trusted));
        return std::make_unique<StationClient>(*m_tls.back());
    }

  private:
    std::filesystem::path m_dir;
    std::vector<std::unique_ptr<GrpcStationTransport>> m_tls;
};

TEST_F(StationTlsTest, OnlyAClientTrustingTheShopsCertificateIsServed) {
    ServerSettings settings;
    settings.listenAddress = "127.0.0.1:0";
    settings.stationKey = "k3y-for-tests";
    settings.tlsCertificate = path("shop.crt");
    settings.tlsKey = path("shop.key");
    startServer(settings);
    ASSERT_GT(server->tcpPort(), 0) << startWarning.message();
    EXPECT_TRUE(server->tcpEncrypted());
    const std::string port = std::to_string(server->tcpPort());

    struct Case {
        std::string endpoint;
        const char* trusted;  // nullptr = plain TCP
        const char* key;
        bool served;
    };
    const Case cases[] = {{"localhost:" + port, "shop.crt", "k3y-for-tests", true},
                          {"127.0.0.1:" + port, "shop.crt", "k3y-for-tests", true},
                          {"localhost:" + port, "shop.crt", "wrong", false},
                          {"localhost:" + port, "other.crt", "k3y-for-tests", false},
                          {"localhost:" + port, nullptr, "k3y-for-tests", false}};
    for (const Case& c : cases) {
        auto client =
            c.trusted ? tlsClient(c.endpoint, c.key, text(c.trusted)) : clientOn(c.endpoint, c.key);
        NumberText n;
        EXPECT_EQ(client->suggestCustomerNumber(n).isOk(), c.served)
            << c.endpoint << " " << (c.trusted ? c.trusted : "plain") << " " << c.key;
    }
}

TEST_F(StationTlsTest, UnusableTlsSettingsOpenNoTcpPort) {
    struct Case {
        std::string certificate, key;
    };
    const Case cases[] = {{path("shop.crt"), ""},
                          {"", path("shop.key")},
                          {path("missing.crt"), path("shop.key")},
                          {path("shop.crt"), path("missing.key")}};
    for (const Case& c : cases) {
        ServerSettings settings;
        settings.listenAddress = "127.0.0.1:0";
        settings.stationKey = "k3y";
        settings.tlsCertificate = c.certificate;
        settings.tlsKey = c.key;
        startServer(settings);
        EXPECT_EQ(server->tcpPort(), 0) << c.certificate << " " << c.key;
        EXPECT_NE(startWarning.message().find("TLS"), std::string::npos) << startWarning.message();
        NumberText n;
        EXPECT_TRUE(socketClient()->suggestCustomerNumber(n));  // the socket still serves
        server->stop();
    }
}

}  // namespace
}  // namespace kassio::test
