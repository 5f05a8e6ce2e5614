// ClientConfig: the part of the StoreConfig (kq.cfg) a client station works
// from (procedure 2): headings, category codes, tax options and rates,
// clerks, receipt settings, settings blocks A and B and the money values.
// 14938 bytes packed; on the wire the runs below decide the padding.
//
// Members marked "not filled" carry nothing from this station: they are
// sent as zero, and clients must not rely on them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "server/ndr.h"
#include "store/store_config.h"

namespace kassio {

#pragma pack(push, 1)
struct ClientConfig {
    char headings[8][60];  // store heading lines 1..6; 7 and 8 empty
    char second_currency_symbol[6];
    char category_codes_1_9[30];  // StoreConfig bytes 6..35
    int32_t config_ints36[10];    // StoreConfig 36..75: printer choice, terms discounts
    int32_t first_start_day;      // StoreConfig 76
    char client_text640[200];
    char client_text840[20];
    char client_text860[20];
    char client_texts880[6][252];  // 880, 1132, 1384, 1636; 5 and 6 not filled
    char custom_button_labels[8][80];
    char unfilled_texts[4][120];  // not filled
    double unfilled_doubles[10];  // not filled
    int64_t client_table1[20];    // StoreConfig 3592
    int64_t client_table2[20];    // StoreConfig 3752
    int32_t unfilled_longs[100];  // not filled
    int64_t options[60];          // the option table (tax rates at 4576, 4592, ...)
    int32_t next_transaction;
    int32_t reserved4796;
    char currency_symbol[6];
    int32_t zero4726;  // always 0
    int32_t config_int4810;
    char codes_and_tax_names[40];  // StoreConfig 4814..4853: codes 10..18, tax names
    double default_till_float;
    char printer_names[400];  // StoreConfig 4862: printer and driver name
    char invoice_texts[400];  // StoreConfig 5262 .. 5661
    int32_t custom_receipt_lines[20];
    char pole_texts[200];
    int32_t client_ints[60];  // StoreConfig 5942
    char client_text1[200];   // StoreConfig 6182
    char client_text2[200];   // StoreConfig 6382
    char drawer_code[200];    // StoreConfig 6582
    int64_t current_clerk;
    int32_t clerk_values[100];
    char clerk_names[100][30];
    char clerk_passwords[100][10];
    int32_t client_ints2[10];  // StoreConfig 11190
    double discounts[10];      // StoreConfig 11230
    char receipt_footer[254];
    char card_exchange_folder[254];
    int32_t settings_a[200];
    int32_t settings_b[200];
    double money[100];
    double unfilled_totals[20];  // not filled
    double zero_totals[80];      // always 0
};
#pragma pack(pop)

struct ClientConfigFormat {
    using Packed = ClientConfig;
    static constexpr ndr::Runs<35> kRuns{{
        {1, 480},   // char[60] x 8
        {1, 6},     // char[6]
        {1, 30},    // char[30]
        {4, 10},    // long[10]
        {4, 1},     // long
        {1, 200},   // char[200]
        {1, 40},    // char[20] x 2
        {1, 1512},  // char[252] x 6
        {1, 640},   // char[80] x 8
        {1, 480},   // char[120] x 4
        {8, 10},    // double[10]
        {8, 40},    // hyper[20] x 2
        {4, 100},   // long[100]
        {8, 60},    // hyper[60]
        {4, 2},     // long x 2
        {1, 6},     // char[6]
        {4, 2},     // long x 2
        {1, 40},    // char[40]
        {8, 1},     // double
        {1, 800},   // char[400] x 2
        {4, 20},    // long[20]
        {1, 200},   // char[200]
        {4, 60},    // long[60]
        {1, 600},   // char[200] x 3
        {8, 1},     // hyper
        {4, 100},   // long[100]
        {1, 3000},  // char[30][100]
        {1, 1000},  // char[10][100]
        {4, 10},    // long[10]
        {8, 10},    // double[10]
        {1, 508},   // char[254] x 2
        {4, 400},   // long[200] x 2
        {8, 100},   // double[100]
        {8, 20},    // double x 20
        {8, 80},    // double[80]
    }};
};

static_assert(sizeof(ClientConfig) == 14938);
static_assert(offsetof(ClientConfig, second_currency_symbol) == 480);
static_assert(offsetof(ClientConfig, category_codes_1_9) == 486);
static_assert(offsetof(ClientConfig, config_ints36) == 516);
static_assert(offsetof(ClientConfig, first_start_day) == 556);
static_assert(offsetof(ClientConfig, client_text640) == 560);
static_assert(offsetof(ClientConfig, client_text840) == 760);
static_assert(offsetof(ClientConfig, client_texts880) == 800);
static_assert(offsetof(ClientConfig, custom_button_labels) == 2312);
static_assert(offsetof(ClientConfig, unfilled_texts) == 2952);
static_assert(offsetof(ClientConfig, unfilled_doubles) == 3432);
static_assert(offsetof(ClientConfig, client_table1) == 3512);
static_assert(offsetof(ClientConfig, unfilled_longs) == 3832);
static_assert(offsetof(ClientConfig, options) == 4232);
static_assert(offsetof(ClientConfig, next_transaction) == 4712);
static_assert(offsetof(ClientConfig, currency_symbol) == 4720);
static_assert(offsetof(ClientConfig, zero4726) == 4726);
static_assert(offsetof(ClientConfig, codes_and_tax_names) == 4734);
static_assert(offsetof(ClientConfig, default_till_float) == 4774);
static_assert(offsetof(ClientConfig, printer_names) == 4782);
static_assert(offsetof(ClientConfig, custom_receipt_lines) == 5582);
static_assert(offsetof(ClientConfig, pole_texts) == 5662);
static_assert(offsetof(ClientConfig, client_ints) == 5862);
static_assert(offsetof(ClientConfig, client_text1) == 6102);
static_assert(offsetof(ClientConfig, current_clerk) == 6702);
static_assert(offsetof(ClientConfig, clerk_values) == 6710);
static_assert(offsetof(ClientConfig, clerk_names) == 7110);
static_assert(offsetof(ClientConfig, clerk_passwords) == 10110);
static_assert(offsetof(ClientConfig, client_ints2) == 11110);
static_assert(offsetof(ClientConfig, discounts) == 11150);
static_assert(offsetof(ClientConfig, receipt_footer) == 11230);
static_assert(offsetof(ClientConfig, settings_a) == 11738);
static_assert(offsetof(ClientConfig, money) == 13338);
static_assert(offsetof(ClientConfig, unfilled_totals) == 14138);
static_assert(offsetof(ClientConfig, zero_totals) == 14298);
static_assert(ndr::validRuns(ClientConfigFormat::kRuns));
static_assert(ndr::packedOffset(ClientConfigFormat::kRuns, 13) == offsetof(ClientConfig, options));
static_assert(ndr::packedOffset(ClientConfigFormat::kRuns, 16) == offsetof(ClientConfig, zero4726));
static_assert(ndr::packedOffset(ClientConfigFormat::kRuns, 24) ==
              offsetof(ClientConfig, current_clerk));
static_assert(ndr::packedOffset(ClientConfigFormat::kRuns, 31) ==
              offsetof(ClientConfig, settings_a));
static_assert(ndr::alignment(ClientConfigFormat::kRuns) == 8);

// Fills every member from the StoreConfig as the table of the wire format
// says; the members not filled are zero. The caller holds the DataMutex.
void fillClientConfig(const StoreConfig& config, ClientConfig& out);
// The other way, at a client station: every member filled from the
// StoreConfig goes back to its place in `config`; the rest of it stays.
void applyClientConfig(const ClientConfig& in, StoreConfig& config);

}  // namespace kassio
