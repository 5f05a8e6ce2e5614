// kq.cfg: the shop's whole configuration and a few running totals, one
// 15018-byte block read whole at start and written whole (atomically) after
// every change. There is no version or checksum; a shorter file is read as
// far as it goes and the rest stays zero.
//
// Switches are mostly int32 0/2 (2 = on); the option table holds int64 0/1.
// The int32 and int64 blocks are addressed by byte offset through the named
// index constants below, so each field's documented offset stays visible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "store/record_layout.h"

namespace kassio {

#pragma pack(push, 1)
struct StoreConfigRecord {
    char second_currency_symbol[4];
    char reserved4[5];
    char category_codes_1_9[9][3];  // three letters each, no terminator
    int32_t receipt_printer_choice;
    int32_t terms_discount[8];  // terms band n: discount code 1..8
    int32_t reserved72;
    int32_t first_start_day;
    char heading[7][80];      // store heading lines 1..7
    char client_texts[1752];  // passed to client stations only
    char custom_button_labels[8][80];
    char reserved3032[560];
    int64_t client_table1[20];
    int64_t client_table2[20];
    int32_t counters[100];     // see kCounter* below
    int64_t options[60];       // see kOpt* below
    int32_t next_transaction;  // 1..200000000
    int32_t reserved4796;
    char currency_symbol[5];
    uint8_t currency_initialised;  // 2 = taken from the locale once
    char reserved4806[8];
    char category_codes_10_18[9][3];
    char tax1_name[6];
    char tax2_name[6];
    char reserved4853;
    double default_till_float;
    char receipt_printer_name[200];
    char printer_driver_name[200];
    char invoice_texts[200];
    char custom_receipt_text[3][50];
    char cutter_code[50];
    int32_t custom_receipt_lines[20];  // line number per receipt element
    char pole_texts[200];              // six 32-byte texts and sequences
    int32_t client_ints[60];
    char client_text1[200];
    char client_text2[200];
    char drawer_code[200];  // sent through the receipt printer
    int64_t current_clerk;
    int32_t clerk_values[100];
    char clerk_names[100][30];      // clerk n at entry n - 1
    char clerk_passwords[100][10];  // clerk n at entry n; digits only
    int32_t client_ints2[10];
    double discounts[10];  // 0: trade discount percent
    char receipt_footer[254];
    char card_exchange_folder[254];
    int32_t settings_a[200];    // see kSetA* below
    int32_t settings_b[200];    // see kSetB* below
    double money[100];          // see kMoney* below
    double running_totals[20];  // 0: takings since the last closeout
    double sales_totals[80];    // 20..37: per display category
};
#pragma pack(pop)

inline constexpr std::size_t kStoreConfigSize = 15018;
static_assert(sizeof(StoreConfigRecord) == kStoreConfigSize);
static_assert(offsetof(StoreConfigRecord, category_codes_1_9) == 9);
static_assert(offsetof(StoreConfigRecord, receipt_printer_choice) == 36);
static_assert(offsetof(StoreConfigRecord, terms_discount) == 40);
static_assert(offsetof(StoreConfigRecord, reserved72) == 72);
static_assert(offsetof(StoreConfigRecord, first_start_day) == 76);
static_assert(offsetof(StoreConfigRecord, heading) == 80);
static_assert(offsetof(StoreConfigRecord, client_texts) == 640);
static_assert(offsetof(StoreConfigRecord, custom_button_labels) == 2392);
static_assert(offsetof(StoreConfigRecord, client_table1) == 3592);
static_assert(offsetof(StoreConfigRecord, client_table2) == 3752);
static_assert(offsetof(StoreConfigRecord, counters) == 3912);
static_assert(offsetof(StoreConfigRecord, options) == 4312);
static_assert(offsetof(StoreConfigRecord, next_transaction) == 4792);
static_assert(offsetof(StoreConfigRecord, reserved4796) == 4796);
static_assert(offsetof(StoreConfigRecord, currency_symbol) == 4800);
static_assert(offsetof(StoreConfigRecord, currency_initialised) == 4805);
static_assert(offsetof(StoreConfigRecord, category_codes_10_18) == 4814);
static_assert(offsetof(StoreConfigRecord, tax1_name) == 4841);
static_assert(offsetof(StoreConfigRecord, tax2_name) == 4847);
static_assert(offsetof(StoreConfigRecord, default_till_float) == 4854);
static_assert(offsetof(StoreConfigRecord, receipt_printer_name) == 4862);
static_assert(offsetof(StoreConfigRecord, printer_driver_name) == 5062);
static_assert(offsetof(StoreConfigRecord, invoice_texts) == 5262);
static_assert(offsetof(StoreConfigRecord, custom_receipt_text) == 5462);
static_assert(offsetof(StoreConfigRecord, cutter_code) == 5612);
static_assert(offsetof(StoreConfigRecord, custom_receipt_lines) == 5662);
static_assert(offsetof(StoreConfigRecord, pole_texts) == 5742);
static_assert(offsetof(StoreConfigRecord, client_ints) == 5942);
static_assert(offsetof(StoreConfigRecord, client_text1) == 6182);
static_assert(offsetof(StoreConfigRecord, client_text2) == 6382);
static_assert(offsetof(StoreConfigRecord, drawer_code) == 6582);
static_assert(offsetof(StoreConfigRecord, current_clerk) == 6782);
static_assert(offsetof(StoreConfigRecord, clerk_values) == 6790);
static_assert(offsetof(StoreConfigRecord, clerk_names) == 7190);
static_assert(offsetof(StoreConfigRecord, clerk_passwords) == 10190);
static_assert(offsetof(StoreConfigRecord, client_ints2) == 11190);
static_assert(offsetof(StoreConfigRecord, discounts) == 11230);
static_assert(offsetof(StoreConfigRecord, receipt_footer) == 11310);
static_assert(offsetof(StoreConfigRecord, card_exchange_folder) == 11564);
static_assert(offsetof(StoreConfigRecord, settings_a) == 11818);
static_assert(offsetof(StoreConfigRecord, settings_b) == 12618);
static_assert(offsetof(StoreConfigRecord, money) == 13418);
static_assert(offsetof(StoreConfigRecord, running_totals) == 14218);
static_assert(offsetof(StoreConfigRecord, sales_totals) == 14378);

// Index into a block from a documented byte offset, checked at compile time.
consteval int blockIndex(std::size_t offset, std::size_t base, std::size_t width,
                         std::size_t count) {
    if (offset < base || (offset - base) % width != 0 || (offset - base) / width >= count)
        throw "offset does not name an entry of this block";
    return static_cast<int>((offset - base) / width);
}
consteval int optionAt(std::size_t offset) {
    return blockIndex(offset, 4312, 8, 60);
}
consteval int settingA(std::size_t offset) {
    return blockIndex(offset, 11818, 4, 200);
}
consteval int settingB(std::size_t offset) {
    return blockIndex(offset, 12618, 4, 200);
}
consteval int moneyAt(std::size_t offset) {
    return blockIndex(offset, 13418, 8, 100);
}

// Counters and times (int32 block at 3912).
inline constexpr int kCounterLastStart = 0;    // 0..4: minute, hour, day, month, year
inline constexpr int kCounterLastBackup = 10;  // 10..14: minute, hour, day, month, year
inline constexpr int kCounterTipNumber = 15;
inline constexpr int kCounterTipsOff = 16;  // 2 = tips not shown at start
inline constexpr int kCounterCategorySales = 31;

// Option table (int64).
inline constexpr int kOptReserved4336 = optionAt(4336);
inline constexpr int kOptDrawerRepeat = optionAt(4344);
inline constexpr int kOptDrawerCharacter = optionAt(4360);
inline constexpr int kOptNoNewInventoryBox = optionAt(4368);
inline constexpr int kOptDrawerPort = optionAt(4376);
inline constexpr int kOptPrintConfirmation = optionAt(4384);
inline constexpr int kOptNoNewCustomerBox = optionAt(4400);
inline constexpr int kOptNoSummaryBox = optionAt(4408);
inline constexpr int kOptItemNumberBase = optionAt(4432);
inline constexpr int kOptCustomerNumberBase = optionAt(4440);
inline constexpr int kOptOpenDrawerAutomatically = optionAt(4448);
inline constexpr int kOptCustomerSearchAsList = optionAt(4456);
inline constexpr int kOptTermsPeriod = optionAt(4480);  // 8 entries, band 1..8
inline constexpr int kOptTax1InUse = optionAt(4544);
inline constexpr int kOptTax2InUse = optionAt(4560);
inline constexpr int kOptTax1Rate = optionAt(4576);  // hundredths of a percent
inline constexpr int kOptPermitInsufficientStock = optionAt(4584);
inline constexpr int kOptTax2Rate = optionAt(4592);
inline constexpr int kOptTax2OnTax1 = optionAt(4608);
inline constexpr int kOptInventorySearchAsList = optionAt(4632);
inline constexpr int kOptTradePrices = optionAt(4648);  // 2 = selling at trade prices
// Ordinary clerks' permissions (the command runs only when non-zero) ...
inline constexpr int kOptPermitConfiguration = optionAt(4472);
inline constexpr int kOptPermitDeleteItem = optionAt(4696);
inline constexpr int kOptPermitDeleteCustomer = optionAt(4704);
inline constexpr int kOptPermitPruneCustomers = optionAt(4712);
inline constexpr int kOptPermitActivitySummary = optionAt(4728);
inline constexpr int kOptPermitPrintLog = optionAt(4760);
inline constexpr int kOptPermitRestore = optionAt(4776);
// ... and prohibitions (the command is ignored when 2).
inline constexpr int kOptForbidTradeToggle = optionAt(4656);
inline constexpr int kOptForbidWeight = optionAt(4664);
inline constexpr int kOptForbidDiscount = optionAt(4680);
inline constexpr int kOptForbidPriceAdjust = optionAt(4688);

// Settings block A (int32).
inline constexpr int kSetAClerkAvailable = settingA(11818);  // clerk n at n - 1; 2 = not
inline constexpr int kSetAHistoryStart = settingA(12594);    // day, month, year
inline constexpr int kSetAFirstStart = settingA(12606);      // day, month, year

// Settings block B (int32).
inline constexpr int kSetBAutoPrint = settingB(12618);
inline constexpr int kSetBEntryModeSku = settingB(12642);
inline constexpr int kSetBReorderAlerts = settingB(12650);
inline constexpr int kSetBFooterWordWrap = settingB(12658);
inline constexpr int kSetBLimitDescription20 = settingB(12666);
inline constexpr int kSetBDiscountButtonRate = settingB(12678);
inline constexpr int kSetBSoundEffectsOff = settingB(12682);
inline constexpr int kSetBOmitMonthlyTotals = settingB(12686);
inline constexpr int kSetBQuickSelectCategory = settingB(12690);
inline constexpr int kSetBDefaultButtonCategory = settingB(12694);
inline constexpr int kSetBReceiptCopies = settingB(12698);
inline constexpr int kSetBDefaultNewCategory = settingB(12702);
inline constexpr int kSetBTradeDiscount = settingB(12706);
inline constexpr int kSetBLogoPageWidth = settingB(12710);
inline constexpr int kSetBDiscountOnTotal = settingB(12730);
inline constexpr int kSetBReceiptFontSize = settingB(12754);
inline constexpr int kSetBPoleInUse = settingB(13018);
inline constexpr int kSetBPolePort = settingB(13026);
inline constexpr int kSetBPoleColumns1 = settingB(13034);
inline constexpr int kSetBPoleColumns2 = settingB(13050);
inline constexpr int kSetBDrawerConnection = settingB(13054);  // 0 direct, 2 printer
inline constexpr int kSetBTax1Threshold = settingB(13098);
inline constexpr int kSetBSecondCurrency = settingB(13102);
inline constexpr int kSetBKitchenCopy = settingB(13106);
inline constexpr int kSetBReceiptLogo = settingB(13110);
inline constexpr int kSetBReceiptCentred = settingB(13114);
inline constexpr int kSetBReceiptBarcode = settingB(13118);
inline constexpr int kSetBCustomOmitLogo = settingB(13122);
inline constexpr int kSetBCustomBarcode = settingB(13126);  // "Include barcode"
inline constexpr int kSetBCustomCentred = settingB(13130);
inline constexpr int kSetBCartDescriptionOnly = settingB(13134);
inline constexpr int kSetBClientCustomButtons = settingB(13142);
inline constexpr int kSetBCashBackRestricted = settingB(13170);
inline constexpr int kSetBHideCostFromClerks = settingB(13174);
inline constexpr int kSetBReceiptLanguage = settingB(13162);
// Custom invoice line numbers, one per invoice element in the order of the
// "Invoices" dialog (store name first, transaction note last), then the
// standard-invoice logo and the custom invoice's barcode, box and logo flags.
inline constexpr int kSetBInvoiceLines = settingB(13178);
inline constexpr int kInvoiceLineCount = 19;
inline constexpr int kSetBInvoiceLogo = settingB(13254);  // "Use logo" (standard invoice)
inline constexpr int kSetBInvoiceBarcode = settingB(13258);
inline constexpr int kSetBInvoiceBoxEncased = settingB(13262);
inline constexpr int kSetBInvoiceCustomLogo = settingB(13266);
// The barcode labels' text size: the slider value 10..200, 0 for the
// printer's default font.
inline constexpr int kSetBLabelTextSize = settingB(13270);
inline constexpr int kSetBReceiptItemStyle = settingB(13278);
// The clerk permission flags of the till commands, in the unnamed run
// between the receipt item style and the pole line settings. Permissions
// (run only when non-zero): new line, amend, inventory received, new
// bundle, function button 2761. Prohibitions (ignored when 2): non-inventory
// sale, drawer, refund.
inline constexpr int kSetBPermitNewLine = settingB(13282);
inline constexpr int kSetBPermitAmend = settingB(13286);
inline constexpr int kSetBPermitReceived = settingB(13290);
inline constexpr int kSetBPermitNewBundle = settingB(13294);
inline constexpr int kSetBPermitFunction2761 = settingB(13298);
inline constexpr int kSetBForbidNonInventory = settingB(13302);
inline constexpr int kSetBForbidDrawer = settingB(13306);
inline constexpr int kSetBForbidRefund = settingB(13310);
// Listing and tooltip settings of the till window, in the same run.
inline constexpr int kSetBButtonTipsOff = settingB(13314);
inline constexpr int kSetBListingIndent = settingB(13318);  // characters, 0..40
inline constexpr int kSetBPoleStopBits = settingB(13322);
inline constexpr int kSetBPoleBaud = settingB(13326);
inline constexpr int kSetBPoleDataBits = settingB(13330);
inline constexpr int kSetBPoleParity = settingB(13334);
inline constexpr int kSetBCustomReceiptOptions = settingB(13338);  // to 13374
inline constexpr int kSetBReceiptExclusiveOfTax = settingB(13378);
inline constexpr int kSetBDefaultTaxCode = settingB(13386);
inline constexpr int kSetBCustomAddressLines = settingB(13394);  // to 13410

// Money values (double).
inline constexpr int kMoneyTax1Threshold = moneyAt(13418);
inline constexpr int kMoneyPettyCash = moneyAt(13426);
inline constexpr int kMoneyCashBack = moneyAt(13442);
inline constexpr int kMoneySecondCurrencyRate = moneyAt(13450);
inline constexpr int kMoneyCardTerminalMode = moneyAt(13498);     // 2.0 = exchange files
inline constexpr int kMoneyCardRefundKind = moneyAt(13546);       // money value 16
inline constexpr int kMoneyClientCategorySales = moneyAt(13578);  // 20..37

inline constexpr int kRunningTakings = 0;
inline constexpr int kSalesTotalsByCategory = 20;
inline constexpr int kDisplayCategories = 18;
inline constexpr int kClerkCount = 100;
inline constexpr int32_t kMaxTransactionNumber = 200000000;
inline constexpr int kEarliestHistoryYear = 2015;

// The in-memory StoreConfig with the rules that belong to its fields.
// Not synchronised: callers hold the DataMutex while they read or change it
// where a station-server thread may touch it too.
class StoreConfig {
  public:
    StoreConfig();  // all zero, as a missing or short file reads

    StoreConfigRecord& record() { return m_rec; }
    const StoreConfigRecord& record() const { return m_rec; }
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(&m_rec); }
    const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(&m_rec); }

    // Every value the first start writes, with the dates set from today.
    void setFirstRunDefaults(const LocalTime& today);

    // The repairs made after loading: tax names, transaction number, years,
    // and clerk permission flags outside 0..2 taken as unset.
    void repair();

    // The seven default heading lines when the first is empty.
    void fillEmptyHeading();

    // Takes the locale's currency symbol once (first four characters).
    void adoptLocaleCurrency(const std::string& localeSymbol);

    // Display category 0..17: its three-letter code.
    std::string categoryCode(int category) const;
    void setCategoryCode(int category, const std::string& code);

    std::string heading(int line) const;         // 1..7
    std::string clerkName(int64_t clerk) const;  // 1..100
    std::string tax1Name() const;
    std::string tax2Name() const;
    int32_t nextTransaction() const { return m_rec.next_transaction; }

    void stampLastStart(const LocalTime& t);
    LocalTime lastStart() const;

  private:
    StoreConfigRecord m_rec;
};

// "Use SKU 1 for cart item selection" (settings block B 12642): on only
// when 2, like every 0/2 switch; the one reading of it everywhere.
inline bool skuEntryMode(const StoreConfigRecord& r) {
    return r.settings_b[kSetBEntryModeSku] == 2;
}

// The number after a stored numbering base (options 4432 and 4440), or 0
// when the base is not a number a record can follow (below 0, or at or
// past the top of the record number range, where adding 1 would leave it
// or overflow): the callers then start again from 1.
int64_t numberAfterBase(int64_t base);

// The rules of the General and Terms configuration pages. The Qt pages read
// their controls into these values and call apply(); nothing is saved here.
struct GeneralPage {
    int64_t inventoryNextStart = 1;      // "Inventory next available start point"
    int64_t customerNextStart = 1;       // "Customer next available start point"
    int defaultButtonCategoryIndex = 0;  // list index
    int defaultNewCategoryIndex = 0;     // list index
    std::string defaultTillFloat;        // text as typed
    std::string tax1Name;
    std::string tax2Name;
    std::string categoryCodes[kDisplayCategories];
    int historyDay = 1, historyMonth = 1, historyYearIndex = 0;
    bool summaryBox = true;  // "Display summary box after each transaction ..."
    bool secondCurrency = false;
    std::string secondCurrencySymbol;
    double secondCurrencyRate = 0;
    bool tradeDiscount = false;
    double tradeDiscountPercent = 0;
    // "Use SKU 1 for cart item selection": the entry box takes SKU 1 codes.
    bool skuEntry = false;

    // Fills the page from the configuration, as it opens.
    static GeneralPage load(const StoreConfig& cfg);
    // Stores the page into the configuration; today bounds the history date.
    void apply(StoreConfig& cfg, const LocalTime& today) const;
};

struct TermsPage {
    int discountIndex[8] = {};  // list index per band
    int periodIndex[8] = {};

    static TermsPage load(const StoreConfig& cfg);
    void apply(StoreConfig& cfg) const;
};

// "No credit," ... and "Nett" ... : the customer form's text for a band 1..8.
std::string termsBandText(const StoreConfig& cfg, int band);

}  // namespace kassio
