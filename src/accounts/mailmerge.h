// Mail-merge: one letter per customer of a number range that passes the
// selection, and the letter text saved and loaded as a plain text file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "store/customer_record.h"
#include "store/data_store.h"

namespace kassio {

enum class MailmergeSelection {
    kAll,
    kOweMoney,           // balance above 0
    kNotActiveThisYear,  // last used in another year (or never)
};
std::optional<MailmergeSelection> mailmergeSelectionFrom(const std::string& text);

bool mailmergeSelects(MailmergeSelection selection, const CustomerRecord& customer,
                      const LocalTime& today);

// The customers from start to end (inclusive) in number order that pass
// the selection. The index is walked in chunks, each under its own hold of
// the DataMutex.
std::vector<CustomerRecord> mailmergeCustomers(DataStore& store, int64_t start, int64_t end,
                                               MailmergeSelection selection, const LocalTime& today,
                                               Status* error);

Status saveLetterText(const std::string& path, const std::string& text);
Status loadLetterText(const std::string& path, std::string* text);

}  // namespace kassio
