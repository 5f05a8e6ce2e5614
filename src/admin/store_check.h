// What `kassio-admin check` looks for beyond what opening the data refuses:
// an amount that is no sum of money (NaN, an infinity, beyond kMoneyLimit)
// anywhere the shop keeps money, a transaction number out of its range,
// and a partial record at the end of a record file or a journal file (the
// mark of an append torn by a full disk or a power cut: every record
// appended after it would be read out of step).
#pragma once

#include <string>
#include <vector>

#include "store/data_store.h"

namespace kassio {

// One line per finding, naming the file and the record ("inventory.dat
// item 12: retail price is nan"); empty when all is well. The store must be
// open (openData succeeded); takes the DataMutex while it reads.
std::vector<std::string> checkStoredValues(DataStore& store);

}  // namespace kassio
