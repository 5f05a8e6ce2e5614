// kassio-admin's account and list commands on the sample shop: a payment
// refused, over the balance without and with --exceed, then seen in the
// statement and the lists; and the one print command, which takes the
// documents of a transaction and the account documents alike.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "admin/admin_program.h"
#include "devices/device_fakes.h"
#include "support/fixed_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

class AccountCommandsTest : public ::testing::Test {
  protected:
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", data});
        std::FILE* out = std::tmpfile();
        AdminEnvironment env{clock, ui, out, "", "\x80", [this] { return &printers; }};
        ::setenv("KASSIO_SAMPLES_DIR", KASSIO_TEST_SAMPLES_DIR, 1);
        ui.shown.clear();
        const int rc = runAdmin(args, env);
        std::rewind(out);
        output.clear();
        char buf[256];
        while (std::fgets(buf, sizeof buf, out)) output += buf;
        std::fclose(out);
        return rc;
    }
    std::string said() const {
        return ui.shown.empty() ? "" : ui.shown.back().title + ": " + ui.shown.back().text;
    }

    test::TempFolder root;
    std::string data = root / "shop";
    test::FixedClock clock{{2026, 12, 6, 8, 15, 0}};
    test::ScriptedUi ui;
    test::FakePrinters printers;
    std::string output;

    // Every text the last printed document drew.
    std::string printedText() const {
        std::string all;
        if (printers.documents.empty()) return all;
        for (const auto& op : printers.documents.back().canvas->ops)
            if (op.kind == test::RecordingCanvas::Op::kText) all += op.text + "\n";
        return all;
    }
};

TEST_F(AccountCommandsTest, PayThenStatementAndLists) {
    ASSERT_EQ(run({"init"}), 0);
    struct Case {
        std::vector<std::string> args;
        int rc;
        const char* said;    // the message, when one is expected
        const char* output;  // a part of standard output
    };
    const Case cases[] = {
        {{"pay", "1", "nan"}, 1, "Problem: Invalid amount: nan", ""},
        {{"pay", "1", ""}, 1, "Problem: No amount specified.", ""},
        {{"pay", "1", "40"},
         1,
         "Exceeds amount due: Continue with --exceed to pay more than the balance",
         ""},
        {{"pay", "1", "5.20", "--method", "ch"}, 0, nullptr, "balance: 30.00"},
        {{"pay", "1", "40", "--exceed", "--method", "eft"}, 0, nullptr, "balance: -10.00"},
        {{"statement", "1"}, 0, nullptr, "Payment: Sun 6 Dec 26,  Transaction: 2, 40.00"},
        {{"list", "customers", "--credit"}, 0, nullptr, "1\tMRS J HARTLEY\t01632 960101\t-10.00"},
        {{"list", "items", "--alpha", "A-A"}, 0, nullptr, "Alphabetical inventory list\n"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        EXPECT_EQ(run(c.args), c.rc);
        if (c.said) {
            EXPECT_EQ(said(), c.said);
        }
        EXPECT_NE(output.find(c.output), std::string::npos) << output;
    }
}

TEST_F(AccountCommandsTest, OnePrintCommandForTransactionsListingsAndAccounts) {
    ASSERT_EQ(run({"init"}), 0);
    ASSERT_EQ(run({"pay", "1", "5.20"}), 0);  // transaction 1, a payment
    const std::string pdf = root / "out.pdf";
    struct Case {
        std::vector<std::string> args;
        int rc;
        const char* shows;  // a drawn text, or the message when rc is not 0
    };
    const Case cases[] = {
        {{"print", "receipt", "1"}, 0, "Receipt: 1"},
        {{"print", "statement", "1"}, 0, "STATEMENT"},
        {{"print", "letter1", "1"}, 0, "now overdue: 30.00"},
        {{"print", "listing", "customers"}, 0, "MRS J HARTLEY"},
        {{"print", "mailmerge", "--select", "owe"}, 0, "Dear Sir / Madam,"},
        {{"print", "invoice", "99"}, 1, "No match found"},
        {{"print", "invoice"}, 2, "Invalid transaction number"},
        {{"print", "details"}, 1, "Customer number required"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--pdf", pdf});
        SCOPED_TRACE(args[1]);
        printers.documents.clear();
        EXPECT_EQ(run(args), c.rc);
        if (c.rc == 0) {
            EXPECT_NE(printedText().find(c.shows), std::string::npos) << printedText();
            EXPECT_NE(output.find(pdf), std::string::npos);
        } else {
            EXPECT_NE(said().find(c.shows), std::string::npos) << said();
        }
    }
}

}  // namespace
}  // namespace kassio
