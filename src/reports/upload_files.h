// The report files of the head-office upload: the activity report, the
// daily items CSV and the reorder list, each written into the DataFolder
// under its upload file name when the upload settings choose it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/status.h"
#include "store/data_store.h"

namespace kassio {

// Writes the chosen report files of `day` (today for the upload) and returns
// their full paths in upload order: daily overview, daily items, reorder
// list. `chosen` and `names` are the upload settings' boxes and file names
// in that order. A report not chosen, or whose file name is empty, is
// skipped. A file that cannot be produced does not stop the others; the
// first failure comes back, with the system's message, after all were tried.
Status writeUploadFiles(DataStore& store, const LocalTime& day, const std::array<bool, 3>& chosen,
                        const std::array<std::string, 3>& names, std::vector<std::string>* paths);

// The three texts, for the upload and for tests.
Status dailyItemsFileText(DataStore& store, const LocalTime& day, std::string* text);

}  // namespace kassio
