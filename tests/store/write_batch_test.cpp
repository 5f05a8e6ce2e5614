// A batch survives its trip through a journal record byte for byte, and a
// damaged or foreign payload is refused rather than half read.
#include "store/write_batch.h"

#include <gtest/gtest.h>

#include <string>

namespace kassio {
namespace {

WriteBatch everyKind() {
    WriteBatch b;
    b.makeFolder("2026");
    b.makeFolder("2026/3");
    b.append("2026/3/14.txt", std::string("Sale\0\r\n", 7));
    b.write("inventory.dat", 2113ull * 99999, std::string(2113, '\xff'));
    b.write("kq.cfg", 0, "");
    b.truncate("suppliers.dat", 1 << 20);
    b.setRequest("station-3/000017", std::string("\x01\x00\x02", 3));
    return b;
}

TEST(WriteBatch, RoundTripsEveryKindOfOperationAndRefusesAnythingElse) {
    for (const WriteBatch& original : {WriteBatch(), everyKind()}) {
        WriteBatch back;
        ASSERT_TRUE(WriteBatch::deserialize(original.serialize(), &back));
        EXPECT_EQ(back.ops(), original.ops());
        ASSERT_EQ(back.request().has_value(), original.request().has_value());
        if (original.request()) {
            EXPECT_EQ(back.request()->id, original.request()->id);
            EXPECT_EQ(back.request()->result, original.request()->result);
        }
    }
    const std::string whole = everyKind().serialize();
    WriteBatch back;
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(WriteBatch::deserialize(whole.substr(0, cut), &back)) << cut;
    EXPECT_FALSE(WriteBatch::deserialize(whole + '\0', &back));
    std::string badKind = whole;
    badKind[1 + 2 + 16 + 4 + 3 + 4] = 9;  // the first operation's kind
    EXPECT_FALSE(WriteBatch::deserialize(badKind, &back));
}

TEST(WriteBatch, ValidatesPathsAndRequests) {
    const struct {
        std::string path;
        bool ok;
    } paths[] = {
        {"inventory.dat", true},
        {"2026/3/14/saleslog.dat", true},
        {"", false},
        {"/etc/passwd", false},
        {"2026/../kq.cfg", false},
        {"2026//3", false},
        {"2026/3/", false},
        {"posting.journal", false},
        {std::string(WriteBatch::kMaxPathBytes, 'a'), true},
        {std::string(WriteBatch::kMaxPathBytes + 1, 'a'), false},
    };
    for (const auto& c : paths) {
        WriteBatch b;
        b.append(c.path, "x");
        EXPECT_EQ(b.validate().isOk(), c.ok) << c.path;
    }
    const struct {
        std::size_t idBytes, resultBytes;
        bool ok;
    } requests[] = {
        {0, 0, false},
        {1, 0, true},
        {WriteBatch::kMaxRequestIdBytes, WriteBatch::kMaxResultBytes, true},
        {WriteBatch::kMaxRequestIdBytes + 1, 0, false},
        {1, WriteBatch::kMaxResultBytes + 1, false},
    };
    for (const auto& c : requests) {
        WriteBatch b;
        b.setRequest(std::string(c.idBytes, 'i'), std::string(c.resultBytes, 'r'));
        EXPECT_EQ(b.validate().isOk(), c.ok) << c.idBytes << " " << c.resultBytes;
    }
}

}  // namespace
}  // namespace kassio
