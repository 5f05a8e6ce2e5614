// The drawer kick and a receipt through a real CUPS spooler: a private
// cupsd on a unix socket with raw queues whose device is a TCP listener on
// loopback, like a network receipt printer on port 9100. The listener
// receives exactly what the printer would.
#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <QPageSize>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "devices/print_document.h"
#include "devices/till_drawer.h"
#include "platform/cups/cups_queue.h"
#include "receipt_fixture.h"
#include "ui/devices/qt_printers.h"

namespace kassio::test {
namespace {

using ::testing::HasSubstr;

// Accepts one connection on 127.0.0.1 and collects everything sent on it.
class Listener {
  public:
    Listener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_fd, 1);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_received = std::async(std::launch::async, [this] {
            std::string data;
            int c = ::accept(m_fd, nullptr, nullptr);
            if (c < 0) return data;
            char buf[4096];
            for (ssize_t n; (n = ::read(c, buf, sizeof buf)) > 0;) data.append(buf, n);
            ::close(c);
            return data;
        });
    }
    ~Listener() {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
    }
    int port() const { return m_port; }
    // What arrived, or nullopt when nothing came within the time.
    std::optional<std::string> received(std::chrono::seconds within) {
        if (m_received.wait_for(within) != std::future_status::ready) return std::nullopt;
        return m_received.get();
    }

  private:
    int m_fd = -1;
    int m_port = 0;
    std::future<std::string> m_received;
};

// One private cupsd for the whole suite.
class CupsTest : public ReceiptTest {
  protected:
    static void SetUpTestSuite() {
        if (::geteuid() != 0) {
            s_skip =
                "needs root: cupsd refuses to start unless it is started as root (run the tests as "
                "root to print to a real CUPS queue)";
            return;
        }
        if (::access("/usr/sbin/cupsd", X_OK) != 0 || ::access("/usr/sbin/lpadmin", X_OK) != 0) {
            s_skip = "cups (cupsd, lpadmin) is not installed";
            return;
        }
        char pattern[] = "/tmp/kassio-cups-XXXXXX";
        s_dir = ::mkdtemp(pattern);
        group* lp = ::getgrnam("lp");
        if (!lp || ::chown(s_dir.c_str(), 0, lp->gr_gid) != 0 ||
            ::chmod(s_dir.c_str(), 0775) != 0) {
            s_skip = "no lp group to run cupsd with";
            return;
        }
        std::ofstream(s_dir + "/cupsd.conf")
            << "Listen " << s_dir << "/cups.sock\nLogLevel warn\nWebInterface No\nBrowsing No\n"
            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n";
        std::ofstream(s_dir + "/cups-files.conf")
            << "ServerRoot " << s_dir << "\nRequestRoot " << s_dir << "/spool\nCacheDir " << s_dir
            << "/cache\nStateDir " << s_dir << "/state\nErrorLog " << s_dir << "/error_log\n"
            << "AccessLog " << s_dir << "/access_log\nPageLog " << s_dir << "/page_log\n"
            << "User lp\nGroup lp\n";
        s_cupsd = ::fork();
        if (s_cupsd == 0) {
            std::string c = s_dir + "/cupsd.conf", s = s_dir + "/cups-files.conf";
            ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", c.c_str(), "-s", s.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!std::filesystem::exists(s_dir + "/cups.sock")) {
            if (std::chrono::steady_clock::now() > until) {
                s_skip = "cupsd did not start";
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        // Every libcups user in this process (ours and Qt's) asks this server.
        ::setenv("CUPS_SERVER", (s_dir + "/cups.sock").c_str(), 1);
    }
    static void TearDownTestSuite() {
        if (s_cupsd > 0) {
            ::kill(s_cupsd, SIGTERM);
            ::waitpid(s_cupsd, nullptr, 0);
        }
        if (!s_dir.empty()) std::filesystem::remove_all(s_dir);
    }
    void SetUp() override {
        if (!s_skip.empty()) GTEST_SKIP() << s_skip;
    }

    static void addQueue(const std::string& name, int port) {
        std::string command = "/usr/sbin/lpadmin -p " + name +
                              " -E -v socket://127.0.0.1:" + std::to_string(port) +
                              " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    QtPrinters printers;
    FakePorts ports;
    TillDrawer drawer{printers, ports, ui};

    static inline std::string s_skip;
    static inline std::string s_dir;
    static inline pid_t s_cupsd = -1;
};

TEST_F(CupsTest, DrawerKickArrivesByteForByte) {
    Listener printer;
    addQueue("kick", printer.port());
    setFieldText(cfg().receipt_printer_name, "kick");
    cfg().settings_b[kSetBDrawerConnection] = 2;
    setFieldText(cfg().drawer_code, "27,112,0,25,250");
    drawer.open(cfg());
    EXPECT_TRUE(ui.shown.empty());
    auto bytes = printer.received(std::chrono::seconds(20));
    ASSERT_TRUE(bytes) << "nothing reached the printer";
    EXPECT_EQ(*bytes, std::string("\x1b\x70\x00\x19\xfa", 5));
}

TEST_F(CupsTest, AMissingQueueCannotBeOpened) {
    setFieldText(cfg().receipt_printer_name, "nosuchqueue");
    cfg().settings_b[kSetBDrawerConnection] = 2;
    drawer.open(cfg());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Unable to open printer for till drawer");
    EXPECT_EQ(cups::sendRawJob("", "KASSIO", {1}), Printers::RawResult::kCannotOpen);
}

TEST_F(CupsTest, AReceiptReachesTheReceiptPrinterQueue) {
    Listener printer;
    addQueue("paper", printer.port());
    auto queues = printers.list();
    ASSERT_TRUE(queues);
    EXPECT_THAT(*queues, ::testing::Contains(::testing::Field(&PrinterInfo::name, "paper")));

    cfg().receipt_printer_choice = 1;
    setFieldText(cfg().receipt_printer_name, "paper");
    addLine(5, "TEA BAGS", 1.50);
    payCash(2);
    DocumentPrinter(printers, ui, drawer).print(DocumentKind::kStandardReceipt, data());

    auto job = printer.received(std::chrono::seconds(30));
    ASSERT_TRUE(job) << "the receipt never reached the printer";
    // A raw queue passes the document on as Qt made it: a PDF.
    ASSERT_GT(job->size(), 4u);
    EXPECT_EQ(job->substr(0, 4), "%PDF");
    std::string pdf = s_dir + "/job.pdf";
    std::ofstream(pdf, std::ios::binary) << *job;
    std::string text;
    if (FILE* p = ::popen(("pdftotext '" + pdf + "' -").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
        ::pclose(p);
    }
    EXPECT_THAT(text, HasSubstr("Receipt: 12"));
    EXPECT_THAT(text, HasSubstr("TEA BAGS"));
}

// The real spooler decides where a document goes: the default queue when
// there is one, a PDF file in the DataFolder for a queue CUPS does not know.
TEST_F(CupsTest, DefaultQueueOrPdfWhenTheReceiptPrinterIsGone) {
    Listener printer;
    addQueue("counter", printer.port());
    ASSERT_EQ(std::system("/usr/sbin/lpadmin -d counter >/dev/null 2>&1"), 0);
    addLine(5, "TEA BAGS", 1.50);
    payCash(2);
    std::string folder = s_dir + "/shop-pdf";
    DocumentPrinter documents(printers, ui, drawer);
    documents.setPdfFolder(folder);
    documents.print(DocumentKind::kStandardReceipt, data());  // "Default": the CUPS default
    auto job = printer.received(std::chrono::seconds(30));
    ASSERT_TRUE(job) << "the receipt never reached the default queue";
    EXPECT_EQ(job->substr(0, 4), "%PDF");
    EXPECT_TRUE(ui.shown.empty());

    cfg().receipt_printer_choice = 1;
    setFieldText(cfg().receipt_printer_name, "gone");
    documents.print(DocumentKind::kStandardReceipt, data());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_THAT(ui.shown[0].text,
                HasSubstr("The receipt printer \"gone\" is not set up in CUPS, so documents are "
                          "saved as PDF files in " +
                          folder));
    EXPECT_TRUE(std::filesystem::exists(folder + "/receipt-12.pdf"));
}

}  // namespace
}  // namespace kassio::test
