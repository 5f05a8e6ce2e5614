#include "accounts/mailmerge.h"

#include <fstream>
#include <sstream>

#include "base/fixed_text.h"
#include "base/numbers.h"

namespace kassio {

std::optional<MailmergeSelection> mailmergeSelectionFrom(const std::string& text) {
    if (text == "all" || text == "All") return MailmergeSelection::kAll;
    if (text == "owe" || text == "Owe money") return MailmergeSelection::kOweMoney;
    if (text == "inactive" || text == "Not active this year")
        return MailmergeSelection::kNotActiveThisYear;
    return std::nullopt;
}

bool mailmergeSelects(MailmergeSelection selection, const CustomerRecord& c,
                      const LocalTime& today) {
    switch (selection) {
        case MailmergeSelection::kAll:
            return true;
        case MailmergeSelection::kOweMoney:
            return c.balance > 0;
        case MailmergeSelection::kNotActiveThisYear: {
            // The timestamp's date begins at the sixth character: "DD/MM/YYYY".
            const std::string used = fieldText(c.last_used);
            if (used.size() < 15) return true;
            return integerFromText(used.substr(11, 4)) != today.year;
        }
    }
    return false;
}

std::vector<CustomerRecord> mailmergeCustomers(DataStore& store, int64_t start, int64_t end,
                                               MailmergeSelection selection, const LocalTime& today,
                                               Status* error) {
    std::vector<CustomerRecord> out;
    int64_t from = start < 1 ? 1 : start;
    constexpr std::size_t kChunk = 1024;
    while (from <= end) {
        auto lock = store.lock();
        RecordFile& file = store.customers();
        const auto& entries = file.index().entries();
        std::size_t i = file.index().lowerBound(from);
        std::size_t taken = 0;
        for (; i < entries.size() && taken < kChunk; ++i, ++taken) {
            const IndexEntry& e = entries[i];
            if (e.number > end) return out;
            CustomerRecord c;
            if (Status s = file.read(e.slot, &c); !s) {
                if (error) *error = file.notPresent();
                return out;
            }
            if (mailmergeSelects(selection, c, today)) out.push_back(c);
        }
        if (i >= entries.size()) break;
        from = entries[i].number;
    }
    return out;
}

Status saveLetterText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f || !(f << text) || !f.flush()) return Status::ioError("Unable to save " + path);
    return Status::ok();
}

Status loadLetterText(const std::string& path, std::string* text) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return Status::ioError("Unable to open " + path);
    std::ostringstream s;
    s << f.rdbuf();
    *text = s.str();
    return Status::ok();
}

}  // namespace kassio
