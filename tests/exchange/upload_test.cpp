// The head office upload against a real FTP server (pyftpdlib) started on
// a loopback port by the test; the check is what the server received.
#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/head_office_upload.h"
#include "exchange_fixture.h"
#include "ftp_server.h"
#include "platform/curl/curl_ftp.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

using test::fileText;
using test::FtpServer;
using test::writeText;

class UploadTest : public ::testing::Test {
  protected:
    test::TempFolder root;
    std::string received = root / "received";
    void SetUp() override { std::filesystem::create_directory(received); }
    FtpLogin login(int port, std::string password = "pw") {
        return {"127.0.0.1", port, "shop", password, false};
    }
    CurlFtp ftp;
};

TEST_F(UploadTest, SendsEachFileUnderItsNameAndGoesOnPastAFailure) {
    FtpServer server(received);
    std::string binary("A\r\nB\0\xff", 6);
    writeText(root / "Activity.txt", binary);
    writeText(root / "Reorder.txt", "reorder\r\n");
    std::vector<bool> titles;
    // The second file is missing, so its transfer fails; the third is still sent.
    Notice n = sendReportFiles(ftp, login(server.port()),
                               {root / "Activity.txt", root / "Dlyitems.txt", root / "Reorder.txt"},
                               [&titles](bool on) { titles.push_back(on); });
    EXPECT_EQ(n.text, "Transfer failed");
    EXPECT_EQ(n.title, "Transmission");
    EXPECT_EQ(fileText(received + "/Activity.txt"), binary);  // binary, byte for byte
    EXPECT_EQ(fileText(received + "/Reorder.txt"), "reorder\r\n");
    EXPECT_EQ(titles, (std::vector<bool>{true, false}));

    Notice ok = sendReportFiles(ftp, login(server.port()), {root / "Reorder.txt"});
    EXPECT_EQ(ok.text, "Transfer complete");
}

TEST_F(UploadTest, NoServerOrNoLoginSendsNothing) {
    FtpServer server(received);
    writeText(root / "Activity.txt", "x");
    FtpLogin noServer = login(server.port());
    noServer.server.clear();
    EXPECT_EQ(sendReportFiles(ftp, noServer, {root / "Activity.txt"}).text,
              "Please specify the FTP server in the configuration");
    // Nobody listening on that port.
    FtpLogin nobody = login(server.port() == 65535 ? 65534 : server.port() + 1);
    EXPECT_EQ(sendReportFiles(ftp, nobody, {root / "Activity.txt"}).text,
              "Internet ftp connect error");
    EXPECT_TRUE(std::filesystem::is_empty(received));
}

TEST_F(UploadTest, MailLinkCarriesTheDay) {
    DailySummaryFigures f;
    f.salesCash = 10;
    f.salesCard = 2.5;
    f.nonTaxable = 4;
    f.taxable = 8.5;
    f.costOfSales = 5;
    const std::string link = dailySummaryMailto("A&B", {2026, 3, 14}, f);
    EXPECT_EQ(link.rfind("mailto:?subject=A%26B Kassio Daily Summary&body=Kassio Daily "
                         "Summary%0D%0AA%26B Activity report: D:14 M:3 Y:2026%0D%0A%0D%0A",
                         0),
              0u)
        << link;
    EXPECT_NE(link.find("\r\nTotal: 12.50%0D%0A"), std::string::npos);
    EXPECT_NE(link.find("Gross profit: 7.50%0D%0A"), std::string::npos);
}

}  // namespace
}  // namespace kassio
