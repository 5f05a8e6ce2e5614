// Whether a kq.cfg can be taken as it is, and how `kassio-admin repair`
// rebuilds one that cannot.
//
// kq.cfg carries no version or checksum, so a file cut short, grown, or
// overwritten with something else would otherwise load as zeros or noise:
// transaction numbers the journal already holds would be issued again and
// the clerks, passwords and taxes lost at the next save. A start therefore
// refuses such a file, naming the fault, and never writes over it; only the
// explicit repair replaces it, keeping the old bytes beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "store/store_files.h"

namespace kassio {

// The number of the last transaction the journal holds: the last whole
// entry of the newest year index from fromYear down to 2000; 0 when there
// is none. Reads through StoreFiles (committed postings included).
int32_t lastJournalledTransaction(const StoreFiles& files, int fromYear);

// Ok, or a Corruption naming the first fault of these kq.cfg bytes: a size
// other than 15018, a next transaction number below 0 or not above
// lastJournalled (after the documented repair of 0 and of numbers past
// 200000000; a journal that reached the last number wraps), a current
// clerk outside 0..100, a tax rate outside 0..100 %, or a total, money
// value, discount or till float that is no sum of money (isSaneMoney).
Status checkConfigBytes(const std::string& bytes, int32_t lastJournalled);

// The kq.cfg a repair writes in place of `old`. A file of the right size
// keeps every field but the faulty ones: the next transaction number
// becomes lastJournalled + 1, a bad clerk 0, a bad tax rate 0, a bad amount
// 0. A file of another size gives way to the first-start defaults with the
// next number taken from the journal. *done gets one line per change.
std::string repairedConfigBytes(const std::string& old, int32_t lastJournalled,
                                const LocalTime& today, std::vector<std::string>* done);

}  // namespace kassio
