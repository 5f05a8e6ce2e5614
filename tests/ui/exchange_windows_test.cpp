// Export, import, backup, restore and the upload settings from the till
// window's menus, through the real windows and the real file choosers: the
// result is read back from the files on disk, every window closed every way
// it closes changes nothing, and an import or restore ends the program
// without the close-down writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "commands/command_router.h"
#include "exchange/ftp_server.h"
#include "exchange/record_import.h"
#include "exchange/upload_settings.h"
#include "platform/curl/curl_ftp.h"
#include "support/modal_windows.h"
#include "till_fixture_ui.h"
#include "ui/exchange/exchange_commands.h"
#include "ui/main_window.h"
#include "ui/reports/report_windows.h"

namespace kassio {
namespace {

namespace fs = std::filesystem;
using Act = std::function<void(QWidget*)>;

// Acts on each modal window in turn as it shows; what is left over never
// showed.
class Modals {
  public:
    explicit Modals(std::deque<Act> acts) : m_acts(std::move(acts)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    std::size_t left() const { return m_acts.size(); }

  private:
    void poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == m_last || m_acts.empty()) return;
        m_last = w;
        Act act = std::move(m_acts.front());
        m_acts.pop_front();
        act(w);
    }
    std::deque<Act> m_acts;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};

Act ok() {
    return [](QWidget* w) {
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
}
Act cancel() {
    return [](QWidget* w) {
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    };
}
Act escape() {
    return [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); };
}
Act closeBox() {
    return [](QWidget* w) { w->close(); };
}
template <typename T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}
// Sets the boxes of a window, then presses OK.
Act fill(std::function<void(QWidget*)> set) {
    return [set](QWidget* w) {
        set(w);
        ok()(w);
    };
}
// The file chooser answered with path (a file or a folder).
Act choose(const std::string& path) {
    return [path](QWidget* w) { test::answerFileChooser(w, path); };
}
Act click(const char* name) {
    return [name](QWidget* w) { child<QRadioButton>(w, name)->setChecked(true); };
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ExchangeWindowsTest : public test::TillTest {
  protected:
    void SetUp() override {
        test::TillTest::SetUp();
        item(14, "SALT & PEPPER", 1.25, 0, 3, 2);
        router = std::make_unique<CommandRouter>(*till);
        window = std::make_unique<MainWindow>(*store, *till, *router);
        ASSERT_NO_FATAL_FAILURE(test::showTillWindow(*window));
        ASSERT_TRUE(till->logOn(1, ""));
    }
    void TearDown() override {
        // A run that ended the program left the application quitting, so
        // every later window would close as it opens: a loop run to its end
        // takes that back.
        if (window->skipCloseDown()) {
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            QCoreApplication::exec();
        }
        window.reset();
        router.reset();
    }
    // Runs the menu item with these answers for its windows.
    void run(const QString& text, std::deque<Act> acts) {
        QAction* item = menuItem(text);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled()) << text.toStdString();
        Modals modals(std::move(acts));
        item->trigger();
        EXPECT_EQ(modals.left(), 0u) << text.toStdString() << ": a window never showed";
    }
    QAction* menuItem(const QString& text) const {
        for (QAction* menu : window->menuBar()->actions()) {
            emit menu->menu()->aboutToShow();
            for (QAction* a : menu->menu()->actions())
                if (a->text() == text) return a;
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }
    bool hasItem(int64_t number) { return store->items().find(number).has_value(); }

    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<MainWindow> window;
    test::TempFolder elsewhere;  // the user's own folders, outside the shop's
};

TEST_F(ExchangeWindowsTest, ExportWritesTheChosenFormatAndFields) {
    const std::string text = elsewhere / "stock.txt";
    run("&Export",
        {fill([](QWidget* w) { child<QLineEdit>(w, "start")->setText("13"); }), choose(text),
         fill([](QWidget* w) {
             for (int i = 2; i <= 10; ++i)
                 child<QCheckBox>(w, qPrintable(QString("field%1").arg(i)))->setChecked(false);
         })});
    EXPECT_EQ(said(), "Complete.");
    EXPECT_EQ(saidTitle(), "File export");
    EXPECT_EQ(fileText(text), "14\r\n");  // only Number, from 13 on

    // XML writes every field without the field window; the range the
    // window kept from last time is offered again.
    const std::string xml = elsewhere / "stock.xml";
    run("&Export", {fill([](QWidget* w) {
                        EXPECT_EQ(child<QLineEdit>(w, "start")->text(), "13");
                        child<QLineEdit>(w, "start")->setText("1");
                        click("xml")(w);
                    }),
                    choose(xml)});
    EXPECT_EQ(said(), "Complete.");
    const std::string written = fileText(xml);
    EXPECT_NE(written.find("<description>SALT &amp; PEPPER</description>"), std::string::npos)
        << written;
    EXPECT_NE(written.find("<number>12</number>"), std::string::npos);

    ui.shown.clear();
    run("&Export", {fill([](QWidget* w) { child<QLineEdit>(w, "start")->setText("0"); })});
    EXPECT_EQ(said(), "Invalid range");
}

// Each window of each command closed by Cancel, Esc or its close box ends
// the command with nothing written and nothing said.
TEST_F(ExchangeWindowsTest, EveryWindowClosedEveryWayChangesNothing) {
    const std::string csv = elsewhere / "in.txt";
    std::ofstream(csv, std::ios::binary) << "31,GREEN TEA\n32,BLACK TEA\n";
    struct Case {
        const char* item;
        std::deque<Act> before;  // the windows passed on the way
        std::function<void()> prepare = [] {};
    } cases[] = {
        {"&Export", {}},
        {"&Export", {ok()}},                               // the save chooser
        {"&Export", {ok(), choose(elsewhere / "x.txt")}},  // the field window
        {"&Backup", {}},
        {"&Backup", {ok()}},  // the folder chooser
        {"&Restore", {}},
        {"&Restore", {ok()}},
        {"Head office report setup", {}},
        {"Upload report", {}},  // no upload.cfg yet: the settings open first
        {"&Import",
         {choose(csv)},
         [this] {
             ui.replies = {"1"};
             ui.answers = {Ui::Answer::kOk};
         }},
        {"Import ZENTIL inventory", {}},
    };
    const std::string inventory = fileText(root / "inventory.dat");
    const std::string config = fileText(root / "kq.cfg");
    for (const Case& k : cases) {
        for (const Act& way : {cancel(), escape(), closeBox()}) {
            SCOPED_TRACE(std::string(k.item) + " after " + std::to_string(k.before.size()));
            k.prepare();
            ui.shown.clear();
            std::deque<Act> acts = k.before;
            // A file chooser has no button box of ours: it is cancelled by
            // its own reject.
            acts.push_back([way](QWidget* w) {
                if (auto* f = qobject_cast<QFileDialog*>(w))
                    f->reject();
                else
                    way(w);
            });
            run(k.item, acts);
            for (const auto& s : ui.shown)
                if (s.text != "2 records of 2 fields") ADD_FAILURE() << "said " << s.text;
            EXPECT_TRUE(fileText(root / "inventory.dat") == inventory);
            EXPECT_TRUE(fileText(root / "kq.cfg") == config);
            EXPECT_FALSE(fs::exists(root / "upload.cfg"));
            EXPECT_FALSE(fs::exists(elsewhere / "x.txt"));
            EXPECT_FALSE(fs::exists(elsewhere / "kassio SC"));
            EXPECT_FALSE(window->skipCloseDown());
        }
    }
}

TEST_F(ExchangeWindowsTest, ImportMergesWhatTheMapSaysThenEndsTheProgram) {
    const std::string csv = elsewhere / "new stock.txt";
    // A heading line reads as number 0 and is skipped.
    std::ofstream(csv, std::ios::binary)
        << "NUMBER,DESCRIPTION,SKU\r\n31,Green tea,5012\r\n12,Not this,1\r\n";
    ui.replies = {"1"};
    ui.answers = {Ui::Answer::kOk};
    QString firstLine;
    run("&Import", {choose(csv), fill([&](QWidget* w) {
                        firstLine = w->findChild<QLabel*>("firstLine")->text();
                        EXPECT_EQ(child<QLineEdit>(w, "column3")->text(), "3");
                        child<QLineEdit>(w, "column3")->setText("0");  // no SKU 1
                        click("merge")(w);
                    })});
    EXPECT_EQ(ui.shown.front().text, "3 records of 3 fields");
    EXPECT_EQ(firstLine.trimmed(), "NUMBER,DESCRIPTION,SKU");
    EXPECT_EQ(said(), "KASSIO will now close down");
    EXPECT_EQ(saidTitle(), "Inventory import complete");
    EXPECT_TRUE(window->skipCloseDown());
    auto tea = readItem(*store, 31);
    ASSERT_TRUE(tea);
    EXPECT_STREQ(tea->description, "GREEN TEA");
    EXPECT_STREQ(tea->sku1, "");
    EXPECT_STREQ(readItem(*store, 12)->description, "FILTER COFFEE");  // Merge keeps it
    EXPECT_TRUE(hasItem(14));
}

TEST_F(ExchangeWindowsTest, SiblingFileWithNothingValidKeepsTheInventory) {
    const std::string dat = elsewhere / "zentil.dat";
    std::ofstream(dat, std::ios::binary) << std::string(kSiblingRecordSize, '\0');
    const std::string before = fileText(root / "inventory.dat");
    ui.answers = {Ui::Answer::kOk};
    run("Import ZENTIL inventory", {choose(dat)});
    ASSERT_GE(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "1 records");
    EXPECT_EQ(said(), "No valid items");
    EXPECT_FALSE(window->skipCloseDown());
    EXPECT_TRUE(fileText(root / "inventory.dat") == before);
    EXPECT_TRUE(hasItem(12));
}

TEST_F(ExchangeWindowsTest, BackupsAndACoreRestore) {
    const std::string dir = elsewhere.path();
    run("&Backup", {fill(click("option0")), choose(dir)});
    EXPECT_EQ(said(), "Complete");
    EXPECT_EQ(saidTitle(), "File backup");
    for (const char* name : {"kq.cfg", "inventory.dat", "customer.dat", "suppliers.dat"})
        EXPECT_TRUE(fileText(dir + "/" + name) == fileText(root / name)) << name;

    // The whole folder, preselected; a second backup replaces the first
    // only once the user confirms.
    run("&Backup", {ok(), choose(dir)});
    EXPECT_EQ(saidTitle(), "KASSIO folder backup");
    const std::string marker = dir + "/kassio SC/marker";
    std::ofstream(marker) << "first";
    run("&Backup", {ok(), choose(dir)});  // the warning answered Cancel
    EXPECT_EQ(said(), "Previous Kassio backup folder already exits, delete or cancel?");
    EXPECT_TRUE(fs::exists(marker));
    ui.answers = {Ui::Answer::kOk};
    run("&Backup", {ok(), choose(dir)});
    EXPECT_EQ(said(), "Complete");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_TRUE(fileText(dir + "/kassio SC/inventory.dat") == fileText(root / "inventory.dat"));

    // Item 14 goes; the core restore brings it back and ends the program.
    ASSERT_TRUE(store->items().remove(*store->items().find(14)));
    ui.answers = {Ui::Answer::kOk};  // the explanation
    run("&Restore", {fill(click("option1")), choose(dir)});
    EXPECT_EQ(said(), "KASSIO will now close down");
    EXPECT_EQ(saidTitle(), "Restore complete");
    EXPECT_TRUE(window->skipCloseDown());
    EXPECT_TRUE(hasItem(14));
}

TEST_F(ExchangeWindowsTest, WholeFolderRestoreFromAFolderOfAnotherName) {
    const std::string dir = elsewhere.path();
    run("&Backup", {ok(), choose(dir)});
    ASSERT_EQ(said(), "Complete");
    fs::rename(dir + "/kassio SC", dir + "/monday");
    ASSERT_TRUE(store->items().remove(*store->items().find(14)));
    ui.answers = {Ui::Answer::kOk};  // "All existing data will be removed."
    run("&Restore", {ok(), choose(dir + "/monday")});
    EXPECT_EQ(said(), "KASSIO will now close down");
    EXPECT_TRUE(window->skipCloseDown());
    EXPECT_TRUE(hasItem(14));
    EXPECT_TRUE(fs::exists(root / "inventory.dat"));  // under the shop's own name
}

TEST_F(ExchangeWindowsTest, UploadSettingsAreStoredPrivatelyOnOk) {
    run("Head office report setup", {fill([](QWidget* w) {
            EXPECT_EQ(child<QLineEdit>(w, "fileName3")->text(), "Reorder.txt");
            child<QLineEdit>(w, "server")->setText("ftp.example.com");
            child<QLineEdit>(w, "user")->setText("shop");
            child<QLineEdit>(w, "password")->setText("secret");
            child<QCheckBox>(w, "upload3")->setChecked(true);
        })});
    struct stat st {};
    ASSERT_EQ(::stat((root / "upload.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::string bytes = fileText(root / "upload.cfg");
    ASSERT_EQ(bytes.size(), 5040u);
    EXPECT_EQ(bytes.substr(1440, 16), std::string("ftp.example.com\0", 16));
    EXPECT_EQ(bytes.substr(1840, 7), std::string("secret\0", 7));
    auto back = loadUploadSettings(*store);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->chosen, (std::array<bool, 3>{false, false, true}));

    // Opened again, the window shows what is stored.
    run("Head office report setup", {[](QWidget* w) {
            EXPECT_EQ(child<QLineEdit>(w, "server")->text(), "ftp.example.com");
            EXPECT_TRUE(child<QCheckBox>(w, "upload3")->isChecked());
            cancel()(w);
        }});
}

TEST_F(ExchangeWindowsTest, EmailSummaryOfTheChosenDayGoesToTheMailProgram) {
    ASSERT_TRUE(till->addItem(12));
    till->chequeTender();
    std::vector<std::string> links;
    bool taken = true;
    registerSummaryMailCommand(
        *router, *store, ui, [this] { return pickDay(window.get(), dayOf(clock.now())); },
        [&](const std::string& link) {
            links.push_back(link);
            return taken;
        });
    window->commandsChanged();
    run("Email an activity summary", {cancel()});
    EXPECT_TRUE(links.empty());

    run("Email an activity summary", {ok()});  // today, preselected
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].rfind("mailto:?subject=", 0), 0u) << links[0];
    EXPECT_NE(links[0].find("Activity report: D:6 M:12 Y:2026%0D%0A"), std::string::npos);
    EXPECT_NE(links[0].find("Items sold: 1, Refunded: 0"), std::string::npos) << links[0];
    // 2.49 and its tax paid by cheque.
    EXPECT_NE(links[0].find("Sales%0D%0ACash: 0.00%0D%0ACH: 2.99%0D%0A"), std::string::npos);
    EXPECT_NE(links[0].find("Taxable sales: 2.49%0D%0A"), std::string::npos);
    EXPECT_TRUE(ui.shown.empty());

    // A desktop with no mail program says so rather than seeming to send.
    taken = false;
    run("Email an activity summary", {ok()});
    EXPECT_EQ(said(), "Unable to open the mail program");
}

// The upload against a real FTP server: the report files are written
// afresh, only the chosen one is sent, under its upload name, and the
// window's title says so while it runs.
TEST_F(ExchangeWindowsTest, UploadWritesAndSendsTheChosenReports) {
    // The upload keeps to port 21; the server here listens elsewhere.
    class OnPort final : public Ftp {
      public:
        explicit OnPort(int port) : m_port(port) {}
        std::unique_ptr<FtpSession> connect(const FtpLogin& login) override {
            FtpLogin l = login;
            l.port = m_port;
            return m_curl.connect(l);
        }

      private:
        int m_port;
        CurlFtp m_curl;
    };
    const std::string received = elsewhere / "head office";
    ASSERT_TRUE(makeDirectories(received));
    test::FtpServer server(received);
    OnPort ftp(server.port());
    ExchangeWiring wiring;
    wiring.ftp = &ftp;
    wiring.restoreTitle = [this] { window->refresh(); };
    registerExchangeCommands(*router, *store, ui, window.get(), wiring);
    std::vector<QString> titles;
    QObject::connect(window.get(), &QWidget::windowTitleChanged,
                     [&titles](const QString& t) { titles.push_back(t); });
    UploadSettings settings = defaultUploadSettings();
    settings.chosen = {false, false, true};
    settings.user = "shop";
    settings.password = "pw";
    ASSERT_TRUE(saveUploadSettings(*store, settings));
    auto upload = [&] {
        ui.shown.clear();
        run("Upload report", {});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ui.shown.empty(); }, 20000));
    };

    // No server yet: the file is written all the same, nothing is sent.
    upload();
    EXPECT_EQ(said(), "Please specify the FTP server in the configuration");
    EXPECT_TRUE(fs::exists(root / "Reorder.txt"));
    EXPECT_TRUE(fs::is_empty(received));

    settings.server = "127.0.0.1";
    ASSERT_TRUE(saveUploadSettings(*store, settings));
    titles.clear();
    upload();
    EXPECT_EQ(said(), "Transfer complete");
    EXPECT_EQ(saidTitle(), "Transmission");
    ASSERT_TRUE(fs::exists(received + "/Reorder.txt"));
    EXPECT_EQ(fileText(received + "/Reorder.txt"), fileText(root / "Reorder.txt"));
    EXPECT_FALSE(fs::exists(received + "/Activity.txt"));
    EXPECT_FALSE(fs::exists(received + "/Dlyitems.txt"));
    ASSERT_GE(titles.size(), 2u);
    EXPECT_EQ(titles.front(), "Upload in progress");
    EXPECT_EQ(titles.back(), window->windowTitle());
    EXPECT_TRUE(window->windowTitle().startsWith("KASSIO SC"))
        << window->windowTitle().toStdString();
}

}  // namespace
}  // namespace kassio
