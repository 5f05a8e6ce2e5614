// The wire formats: every structure goes to NDR and back unchanged, at the
// documented sizes, with its members where NDR's alignment puts them (the
// wire offsets below are worked out by hand from the member lists).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "server/basket_wire.h"
#include "server/client_config.h"
#include "server/customer_query.h"
#include "server/customer_record_wire.h"
#include "server/file_chunk.h"
#include "server/item_page.h"
#include "server/item_query.h"
#include "server/item_record_wire.h"
#include "server/large_item_page.h"
#include "server/number_text.h"
#include "server/receipt_words_wire.h"
#include "server/station_tables.h"

namespace kassio {
namespace {

template <typename T>
T at(const std::string& wire, std::size_t offset) {
    T v;
    std::memcpy(&v, wire.data() + offset, sizeof v);
    return v;
}

template <typename Format>
struct Expected;
#define KASSIO_EXPECT(F, packed, wire)                               \
    template <>                                                      \
    struct Expected<F> {                                             \
        static constexpr std::size_t kPacked = packed, kWire = wire; \
    }
KASSIO_EXPECT(ItemQueryFormat, 48, 48);
KASSIO_EXPECT(CustomerQueryFormat, 46, 48);
KASSIO_EXPECT(ItemRecordFormat, 2113, 2120);
KASSIO_EXPECT(CustomerRecordFormat, 1242, 1248);
KASSIO_EXPECT(ItemPageFormat, 1424, 1424);
KASSIO_EXPECT(LargeItemPageFormat, 5296, 5296);
KASSIO_EXPECT(StationTablesFormat, 4000, 4000);
KASSIO_EXPECT(FileChunkFormat, 2044, 2044);
KASSIO_EXPECT(ReceiptWordsFormat, 3040, 3040);
KASSIO_EXPECT(NumberTextFormat, 40, 40);
KASSIO_EXPECT(ClientConfigFormat, 14938, 14944);
KASSIO_EXPECT(BasketFormat, 43406, 43408);
#undef KASSIO_EXPECT

// Fills a structure with 0xFF: every padding byte (written as zero) stands out.
template <typename Format>
std::string allOnes(typename Format::Packed& value) {
    std::memset(&value, 0xFF, sizeof value);
    return ndr::encode<Format>(value);
}

template <typename Format>
class WireFormatTest : public ::testing::Test {};

using AllFormats =
    ::testing::Types<ItemQueryFormat, CustomerQueryFormat, ItemRecordFormat, CustomerRecordFormat,
                     ItemPageFormat, LargeItemPageFormat, StationTablesFormat, FileChunkFormat,
                     ReceiptWordsFormat, NumberTextFormat, ClientConfigFormat, BasketFormat>;
TYPED_TEST_SUITE(WireFormatTest, AllFormats);

TYPED_TEST(WireFormatTest, RoundTripsEveryByteAtTheDocumentedSizes) {
    using Packed = typename TypeParam::Packed;
    ASSERT_EQ(sizeof(Packed), Expected<TypeParam>::kPacked);

    auto original = std::make_unique<Packed>();
    std::mt19937 random(7);
    auto* bytes = reinterpret_cast<unsigned char*>(original.get());
    for (std::size_t i = 0; i < sizeof(Packed); ++i)
        bytes[i] = static_cast<unsigned char>(random());

    const std::string wire = ndr::encode<TypeParam>(*original);
    ASSERT_EQ(wire.size(), Expected<TypeParam>::kWire);
    // The padding is where an all-ones structure encodes to zero bytes:
    // exactly (wire - packed) of them, and a decode ignores what they hold.
    auto ones = std::make_unique<Packed>();
    const std::string mask = allOnes<TypeParam>(*ones);
    std::string noisy = wire;
    std::size_t padding = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != '\0') continue;
        ++padding;
        noisy[i] = '\xAB';
    }
    EXPECT_EQ(padding, Expected<TypeParam>::kWire - Expected<TypeParam>::kPacked);
    auto back = std::make_unique<Packed>();
    ASSERT_TRUE(ndr::decode<TypeParam>(noisy, *back));
    EXPECT_EQ(std::memcmp(original.get(), back.get(), sizeof(Packed)), 0);

    // A wire of any other length is refused and leaves the target alone.
    std::memset(back.get(), 0x5A, sizeof(Packed));
    for (std::size_t len : {wire.size() - 1, wire.size() + 1, std::size_t{0}}) {
        std::string wrong(len, '\x11');
        EXPECT_FALSE(ndr::decode<TypeParam>(wrong, *back)) << len;
    }
    EXPECT_EQ(reinterpret_cast<unsigned char*>(back.get())[0], 0x5A);
}

TEST(WireAlignment, ItemRecordMembersSitAtTheirNdrOffsets) {
    InventoryRecord item;
    std::memset(&item, 0xFF, sizeof item);
    item.quantity = 17;
    item.cost_price = 1.25;
    item.reserved_doubles1[0] = 3.5;
    item.kind = 2;
    item.reserved_double = -4.0;
    item.last_reference = 99;
    item.reserved_int64[2] = 123456789012LL;
    const std::string w = ndr::encode<ItemRecordFormat>(item);
    EXPECT_EQ(at<int32_t>(w, 672), 17);  // packed 670: two bytes of padding before
    EXPECT_EQ(at<uint16_t>(w, 670), 0);
    EXPECT_EQ(at<double>(w, 816), 1.25);  // packed 814
    EXPECT_EQ(at<double>(w, 1456), 3.5);  // packed 1450
    EXPECT_EQ(at<int32_t>(w, 2044), 2);   // packed 2037, after char[11]
    EXPECT_EQ(at<double>(w, 2048), -4.0);
    EXPECT_EQ(at<int64_t>(w, 2072), 99);
    EXPECT_EQ(at<int64_t>(w, 2112), 123456789012LL);
}

TEST(WireAlignment, CustomerRecordMembersSitAtTheirNdrOffsets) {
    CustomerRecord c;
    std::memset(&c, 0xFF, sizeof c);
    c.group = 7;
    c.terms = 3;
    c.total_purchases = 10.5;
    c.balance = -2.25;
    c.transactions = 12;
    c.tax = 1;
    c.reserved_counter = 5;
    const std::string w = ndr::encode<CustomerRecordFormat>(c);
    EXPECT_EQ(at<int32_t>(w, 652), 7);
    EXPECT_EQ(at<int32_t>(w, 1008), 3);  // packed 1006
    EXPECT_EQ(at<double>(w, 1096), 10.5);
    EXPECT_EQ(at<double>(w, 1160), -2.25);
    EXPECT_EQ(at<int32_t>(w, 1208), 12);
    EXPECT_EQ(at<int64_t>(w, 1216), 1);  // packed 1210: four bytes of padding before
    EXPECT_EQ(at<int32_t>(w, 1212), 0);
    EXPECT_EQ(at<int32_t>(w, 1244), 5);
}

TEST(WireAlignment, BasketAndQueryMembersSitAtTheirNdrOffsets) {
    auto b = std::make_unique<Basket>();
    std::memset(b.get(), 0xFF, sizeof *b);
    b->line_count = 3;
    b->values[kValueRefundKind] = 2;
    b->doubles5[0] = 8.0;
    std::memcpy(b->note, "NOTE", 5);
    const std::string w = ndr::encode<BasketFormat>(*b);
    EXPECT_EQ(at<int32_t>(w, 3228), 3);
    EXPECT_EQ(at<int32_t>(w, 42788 + 4), 2);  // packed 42786
    EXPECT_EQ(at<double>(w, 42968), 8.0);
    EXPECT_STREQ(w.data() + 43328, "NOTE");
    EXPECT_EQ(at<uint16_t>(w, 42786), 0);  // the padding before the longs

    CustomerQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = -1;
    std::memcpy(q.prefix, "MR", 3);
    const std::string wq = ndr::encode<CustomerQueryFormat>(q);
    EXPECT_EQ(at<int64_t>(wq, 0), -1);
    EXPECT_STREQ(wq.data() + 38, "MR");
}

TEST(WireAlignment, ClientConfigMembersSitAtTheirNdrOffsets) {
    auto c = std::make_unique<ClientConfig>();
    std::string w = allOnes<ClientConfigFormat>(*c);
    EXPECT_EQ(at<uint16_t>(w, 4726), 0);  // padding before the long pair at packed 4726
    c->next_transaction = 41;
    c->zero4726 = 0;
    c->config_int4810 = 6;
    c->default_till_float = 100.0;
    c->current_clerk = 2;
    c->settings_b[0] = 4;
    c->money[0] = 50.0;
    c->zero_totals[79] = 0.5;
    w = ndr::encode<ClientConfigFormat>(*c);
    EXPECT_EQ(at<int32_t>(w, 4712), 41);
    EXPECT_EQ(at<int32_t>(w, 4728), 0);
    EXPECT_EQ(at<int32_t>(w, 4732), 6);
    EXPECT_EQ(at<double>(w, 4776), 100.0);  // packed 4774
    EXPECT_EQ(at<int64_t>(w, 6704), 2);     // packed 6702
    EXPECT_EQ(at<int32_t>(w, 12540), 4);    // packed 12538
    EXPECT_EQ(at<double>(w, 13344), 50.0);  // packed 13338
    EXPECT_EQ(at<double>(w, 14936), 0.5);
}

TEST(WireAlignment, LongReturnValuesAreFourBytes) {
    int32_t v = 0;
    EXPECT_TRUE(ndr::decodeLong(ndr::encodeLong(-12345), v));
    EXPECT_EQ(v, -12345);
    EXPECT_FALSE(ndr::decodeLong(std::string(8, '\0'), v));
}

}  // namespace
}  // namespace kassio
