// kassio-admin's reports on a crafted day: each command prints the lines
// its window shows, and fails with the message and a non-zero status on a
// bad day, a day without a journal or a PDF it cannot print.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "admin/admin_program.h"
#include "reports/journal_builder.h"
#include "store/store_fixture.h"
#include "support/scripted_ui.h"

namespace kassio {
namespace {

class ReportCommandsTest : public test::StoreTest {
  protected:
    void SetUp() override {
        test::StoreTest::SetUp();
        // Item 3 is out of stock, below its reorder level and costs more
        // than it sells for.
        InventoryRecord jar = test::makeItem(3, "EMPTY JAR", 4.00);
        jar.cost_price = 5.00;
        jar.quantity = 0;
        jar.reorder_quantity = 2;
        ASSERT_TRUE(createItem(*store, jar));
        const Day today{2026, 12, 6};
        using test::line;
        test::post(*store, today, 1, "Cash", {line(1, 1, 10.00, 1.00)}, {.cash = 11});
        test::post(*store, today, 2, "CH", {line(2, 2, 4.00)}, {.cheque = 4});
        test::post(*store, today, 3, "Refund", {line(3, 1, 5.00)}, {.cash = -5});
        test::payment(*store, today, 4, "Payment (cash)", {.cash = 20});
        test::post(*store, {2026, 12, 5}, 5, "EFT", {line(5, 1, 2.00)}, {.eft = 2});
        ASSERT_TRUE(store->journal().appendActivity(clock.now(), "\r\nA LINE OF THE LOG\r\n"));
        ASSERT_TRUE(store->close());
        store.reset();
    }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", data, "report"});
        std::FILE* out = std::tmpfile();
        AdminEnvironment env{clock, ui, out, "", "\x80", {}};
        ui.shown.clear();
        const int rc = runAdmin(args, env);
        std::rewind(out);
        output.clear();
        char buf[512];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;) output.append(buf, n);
        std::fclose(out);
        return rc;
    }

    test::ScriptedUi ui;
    std::string output;
};

TEST_F(ReportCommandsTest, EachReportPrintsItsLines) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> lines;  // each a part of standard output
    };
    const Case cases[] = {
        {{"summary"},
         {"Daily Status Sunday December 6 2026 \n", "Cash sales: 11.00\n", "CH sales: 4.00\n",
          "Total sales: 15.00\n", "Cash refunds: -5.00\n", "Total: 10.00\n",
          "Customer balance payments Cash: 20.00\n", "Items sold (refunded): 2 (1)\n"}},
        {{"summary", "--day", "05/12/2026"},
         {"Daily Status D:5 M:12 Y:2026\n", "EFT sales: 2.00\n", "Cash sales: 0.00\n"}},
        {{"closeout-figures"},
         {"Till reconciliation\n", "Cash: 31.00\n", "Cash refunds: -5.00\n", "Ch: 4.00\n",
          "Items: 2 (1)\n"}},
        // Refunds are left out, as the window's filters start.
        {{"items"},
         {"Item report   Day 6 Month 12 2026\n"
          "Item            Description        Category    Cost      Nett      Tax      Total     "
          "Quantity\n"
          "1, ITEM, 5, 5.00, 10.00, 1.00, 11.00, 1\n"
          "2, ITEM, 5, 2.00, 4.00, 0.00, 4.00, 1\n"
          "Items: 2, Cost: 7.00, Retail: 14.00\n"}},
        {{"items", "--include-refunds", "--exclude", "ch"},
         {"1, ITEM, 5, 5.00, 10.00, 1.00, 11.00, 1\nRefund: 1, ITEM, 5, -2.50, -5.00, ",
          "Items: 2, Cost: 2.50, Retail: 5.00\n"}},
        {{"items", "--csv"},
         {"1,ITEM,5,0.00,10.00,1.00,0.00,5.00,11.00,1,1,Cash,\r\n"
          "2,ITEM,5,0.00,4.00,0.00,0.00,2.00,4.00,2,1,CH,\r\n"
          "1,ITEM,5,0.00,5.00,0.00,0.00,2.50,5.00,3,1,Refund,\r\n"}},
        // The item's refund is a sale taken back.
        {{"sales", "--from", "05/12/2026", "--to", "06/12/2026", "--item", "1"},
         {"Total by Day:\n  Sat 5 Dec 26  2.00\n  Sun 6 Dec 26  6.00\n", "Total: 8.00\n"}},
        {{"sales", "--from", "05/12/2026", "--to", "06/12/2026", "--clerk", "2"},
         {"Staff sales report: Sat 5 Dec 26 to Sun 6 Dec 26\n", "Total: 0.00\n"}},
        {{"stock"},
         {"Items: 20\n", "Value (cost): 25.00\n", "Value (retail): 50.00\n", "Margin: 100.00%\n"}},
        {{"reorder"}, {"Reorder list\n", "\n3, EMPTY JAR, 2,0,0,0, \n"}},
        {{"outofstock"}, {"\n3, EMPTY JAR, 2,0,0, \n"}},
        {{"costcheck"}, {"Data cost retail check\n3, EMPTY JAR (0) 5.00 4.00\n"}},
        {{"log"}, {"\r\nA LINE OF THE LOG\r\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
        EXPECT_EQ(run(c.args), 0) << (ui.shown.empty() ? "" : ui.shown.back().text);
        for (const std::string& l : c.lines) EXPECT_NE(output.find(l), std::string::npos) << output;
    }
}

TEST_F(ReportCommandsTest, FailuresSayWhyAndExitNonZero) {
    struct Case {
        std::vector<std::string> args;
        const char* said;
    };
    const Case cases[] = {
        {{"summary", "--day", "31/02/2026"}, "Invalid date"},
        {{"log", "--day", "6/12/2026"}, "Invalid date"},
        {{"log", "--day", "04/12/2026"}, "No log for that day."},
        {{"items", "--csv", "--day", "04/12/2026"}, "No items for that day."},
        {{"items", "--csv", "--month", "12/2026"}, "The items CSV is of a day or a week"},
        {{"sales", "--from", "06/12/2026", "--to", "05/12/2026"}, "The end is before the start"},
        {{"summary", "--pdf", "day.pdf"},
         "This kassio-admin was built without printing: no PDF file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + c.args[2]);
        EXPECT_EQ(run(c.args), 1);
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_EQ(ui.shown.back().text, c.said);
    }
}

}  // namespace
}  // namespace kassio
