// The on-screen lists of items, customers and suppliers: every list kind,
// 13 rows a page, "More" and "Back" over up to 200 saved page starts.
//
// A list kind is a source of rows from a position: an item or customer
// number for the lists in number order (the next page starts at the number
// after the last one shown, so records added or removed between pages do
// not shift the list), a slot for the searches, a row of the work file for
// the sorted lists. Each fetch holds the DataMutex only while it reads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "listings/sorted_list_file.h"
#include "store/data_store.h"

namespace kassio {

inline constexpr std::size_t kListPageRows = 13;
inline constexpr std::size_t kListHistoryPages = 200;

struct ListRow {
    std::string number;  // up to 40 characters
    std::string name;    // description or name, up to 40
    std::string second;  // quantity or second value, up to 30
    std::string third;   // price or third value, up to 30
};

enum class ListKind {
    kItemsFromNumber,
    kItemsAlphabetical,
    kItemsByCategory,
    kItemsBySku,
    kItemsTopVolume,
    kSuppliers,
    kCustomersFromNumber,
    kCustomersAlphabetical,
    kCustomersWithCredit,  // balance not zero
    kCustomersNotGroup1,   // "not category 1"
    kCustomersActive,      // used this year
    kCustomersOverdue,     // owing, no payment within the terms' period
    kCustomersTakings,     // total purchases
    kCustomersByName,
    kCustomersByAddress,
};

struct ListRequest {
    ListKind kind = ListKind::kItemsFromNumber;
    int64_t fromNumber = 1;
    std::string text;  // SKU or fragment, name, address, start character
    std::string endText;
    int category = -1;  // display category, -1 for all
    // Clerk logged on: decides whether items show the cost price.
    int64_t clerk = 1;
};

struct ListPage {
    std::vector<ListRow> rows;  // at most 13
    int64_t next = 0;           // position after the last row
    bool exhausted = false;     // fewer than 13 were found
};

class ListSource {
  public:
    virtual ~ListSource() = default;
    virtual int64_t start() const = 0;
    virtual ListPage fetch(int64_t from, Status* error) = 0;
};

// The window title of a list kind ("Inventory list", "Customer overdue
// list", "Top inventory for category ALC", ...).
std::string listTitle(DataStore& store, const ListRequest& request);
// Whether a click on a row opens details: items and customers do,
// suppliers do not.
bool listOpensDetails(ListKind kind);
bool listOfCustomers(ListKind kind);

// The source of a request. The sorted kinds build their work file first
// (f2.dat, m2.dat); nullptr with *error set when that fails, and nullptr
// with *error ok when the request ends silently (an alphabetical range
// that is no range).
std::unique_ptr<ListSource> makeListSource(DataStore& store, const ListRequest& request,
                                           Status* error);

// The list screen's state: the 13 rows shown, the buttons, the history.
class ListPager {
  public:
    explicit ListPager(ListSource& source) : m_source(source) {}

    // The first page. "No items on record." when it holds no row at all.
    Status open();
    // "More": the next 13 after the last shown. False when there are none
    // (the rows are blank and only "OK" is left).
    Status more();
    // "Back": the page before, from the history; false with none saved.
    bool back();

    // The 13 rows of the page, blank ones after the last found.
    std::vector<ListRow> rows() const;
    std::size_t found() const { return m_page.rows.size(); }
    // "OK" alone instead of "More" and "Cancel".
    bool onlyOk() const { return m_page.exhausted; }
    bool canGoBack() const { return !m_history.empty(); }
    std::size_t historySize() const { return m_history.size(); }

  private:
    Status load(int64_t from);

    ListSource& m_source;
    ListPage m_page;
    int64_t m_start = 0;
    std::vector<int64_t> m_history;  // starts of the pages before this one
};

}  // namespace kassio
