// The JournalFolder: a tree of year, month and day folders under the
// DataFolder holding append-only logs of fixed-size records.
//
//   <DataFolder>/Y/base.dat              year index: int32 0, then TransactionIndexEntry...
//   <DataFolder>/Y/M/base.dat            month marker (creation time, never read)
//   <DataFolder>/Y/M/D/base.dat          day marker "%02d:%02d" (never read)
//   <DataFolder>/Y/M/D/saleslog.dat      SaleRecord per transaction, posting order
//   <DataFolder>/Y/M/D/itemslog.dat      SaleLineRecord per line, posting order
//   <DataFolder>/Y/M/D/ininvent.dat      ReceivedRecord per stock booking
//   <DataFolder>/Y/M/D.txt               the day's ActivityLog (CR LF text)
//
// Numbers in paths are decimal without leading zeros. Nothing is changed in
// place; the only removal is a purge of history.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/record_layout.h"

namespace kassio {

#pragma pack(push, 1)
struct TransactionIndexEntry {
    int32_t number;  // low 32 bits of the transaction number
    int32_t day;
    int32_t month;
};

struct SaleRecord {
    int64_t number;
    int64_t reserved8;
    int64_t customer;  // 0 = none
    int32_t clerk;
    int32_t line_count;  // SaleLineRecords written for it
    double non_taxable;
    double taxable;
    double subtotal;  // net of tax, all lines
    double tax1;
    double tax2;
    double cost;
    double total;     // a balance payment: the amount paid
    double discount;  // above 0 marks a discounted transaction
    double reserved_tender[5];
    double cash_back;
    double cash;
    double eft;
    double reserved_tender160;
    double cheque;
    double reserved_tender176[2];
    double balance_before;
    double balance_after;
    double reserved_tender208;
    char time[20];  // "%02d:%02d"
    char date[20];
    char customer_name[40];
    char customer_road[30];
    char customer_area[30];
    char customer_town[30];
    char customer_postcode[30];
    char customer_telephone[30];
    char payment[40];  // "Cash", "Credit", "CH", "EFT", "Split", "Refund", "Payment ..."
    char copied_texts[5][40];
    char copied_text686[20];
    char copied_text706[40];
    char copied_text746[40];
    char copied_text786[80];
    char copied_text866[40];
    char copied_text906[40];
    int32_t copied_value946;
    int32_t copied_value950;
    unsigned char copied_value954[8];
    unsigned char copied_value962[8];
    char note[80];
};

struct SaleLineRecord {
    int64_t number;            // transaction number
    int64_t display_category;  // 0..17, 18 for a line that is not an item
    int64_t customer;
    int64_t item;  // 0 for a non-inventory line
    char description[40];
    double non_taxable;
    double taxable;  // net of tax
    double tax1;
    double tax2;
    double cost;
    double discount;
    double total;  // including tax
    int32_t clerk;
};

struct ReceivedRecord {
    int64_t item;  // 0 or negative when no valid item was named
    int64_t quantity;
};
#pragma pack(pop)

inline constexpr std::size_t kTransactionIndexEntrySize = 12;
inline constexpr std::size_t kYearIndexHeaderSize = 4;
inline constexpr std::size_t kSaleRecordSize = 1050;
inline constexpr std::size_t kSaleLineRecordSize = 132;
inline constexpr std::size_t kReceivedRecordSize = 16;

static_assert(sizeof(TransactionIndexEntry) == kTransactionIndexEntrySize);
static_assert(sizeof(SaleRecord) == kSaleRecordSize);
static_assert(sizeof(SaleLineRecord) == kSaleLineRecordSize);
static_assert(sizeof(ReceivedRecord) == kReceivedRecordSize);

static_assert(offsetof(SaleRecord, customer) == 16);
static_assert(offsetof(SaleRecord, clerk) == 24);
static_assert(offsetof(SaleRecord, line_count) == 28);
static_assert(offsetof(SaleRecord, non_taxable) == 32);
static_assert(offsetof(SaleRecord, taxable) == 40);
static_assert(offsetof(SaleRecord, subtotal) == 48);
static_assert(offsetof(SaleRecord, tax1) == 56);
static_assert(offsetof(SaleRecord, tax2) == 64);
static_assert(offsetof(SaleRecord, cost) == 72);
static_assert(offsetof(SaleRecord, total) == 80);
static_assert(offsetof(SaleRecord, discount) == 88);
static_assert(offsetof(SaleRecord, reserved_tender) == 96);
static_assert(offsetof(SaleRecord, cash_back) == 136);
static_assert(offsetof(SaleRecord, cash) == 144);
static_assert(offsetof(SaleRecord, eft) == 152);
static_assert(offsetof(SaleRecord, reserved_tender160) == 160);
static_assert(offsetof(SaleRecord, cheque) == 168);
static_assert(offsetof(SaleRecord, balance_before) == 192);
static_assert(offsetof(SaleRecord, balance_after) == 200);
static_assert(offsetof(SaleRecord, time) == 216);
static_assert(offsetof(SaleRecord, date) == 236);
static_assert(offsetof(SaleRecord, customer_name) == 256);
static_assert(offsetof(SaleRecord, customer_road) == 296);
static_assert(offsetof(SaleRecord, customer_area) == 326);
static_assert(offsetof(SaleRecord, customer_town) == 356);
static_assert(offsetof(SaleRecord, customer_postcode) == 386);
static_assert(offsetof(SaleRecord, customer_telephone) == 416);
static_assert(offsetof(SaleRecord, payment) == 446);
static_assert(offsetof(SaleRecord, copied_texts) == 486);
static_assert(offsetof(SaleRecord, copied_text686) == 686);
static_assert(offsetof(SaleRecord, copied_text706) == 706);
static_assert(offsetof(SaleRecord, copied_text746) == 746);
static_assert(offsetof(SaleRecord, copied_text786) == 786);
static_assert(offsetof(SaleRecord, copied_text866) == 866);
static_assert(offsetof(SaleRecord, copied_text906) == 906);
static_assert(offsetof(SaleRecord, copied_value946) == 946);
static_assert(offsetof(SaleRecord, copied_value950) == 950);
static_assert(offsetof(SaleRecord, copied_value954) == 954);
static_assert(offsetof(SaleRecord, copied_value962) == 962);
static_assert(offsetof(SaleRecord, note) == 970);

static_assert(offsetof(SaleLineRecord, display_category) == 8);
static_assert(offsetof(SaleLineRecord, customer) == 16);
static_assert(offsetof(SaleLineRecord, item) == 24);
static_assert(offsetof(SaleLineRecord, description) == 32);
static_assert(offsetof(SaleLineRecord, non_taxable) == 72);
static_assert(offsetof(SaleLineRecord, taxable) == 80);
static_assert(offsetof(SaleLineRecord, tax1) == 88);
static_assert(offsetof(SaleLineRecord, tax2) == 96);
static_assert(offsetof(SaleLineRecord, cost) == 104);
static_assert(offsetof(SaleLineRecord, discount) == 112);
static_assert(offsetof(SaleLineRecord, total) == 120);
static_assert(offsetof(SaleLineRecord, clerk) == 128);

static_assert(offsetof(TransactionIndexEntry, day) == 4);
static_assert(offsetof(TransactionIndexEntry, month) == 8);
static_assert(offsetof(ReceivedRecord, quantity) == 8);

}  // namespace kassio
