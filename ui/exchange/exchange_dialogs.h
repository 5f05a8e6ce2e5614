// The windows of export, import, backup, restore and the upload settings.
// Each is a small dialog with one static entry that returns a core value,
// or nullopt when the person cancels.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "exchange/record_export.h"
#include "exchange/record_import.h"
#include "exchange/upload_settings.h"

class QWidget;

namespace kassio {

// "Export": range, file, format, category and the HTML options.
std::optional<ExportChoice> runExportDialog(QWidget* parent, const ExportChoice& initial,
                                            const std::vector<std::string>& categories);
// "Inventory database" / "Customer database": the ten field boxes.
std::optional<ExportChoice> runFieldChoiceDialog(QWidget* parent, const ExportChoice& choice);
// The column map of an import.
std::optional<ImportMap> runImportMapDialog(QWidget* parent, const ImportMap& initial,
                                            const std::string& firstLine);
// A choice panel: the index of the chosen option.
std::optional<int> runScopeDialog(QWidget* parent, const std::string& title,
                                  const std::vector<std::string>& options, int preselected,
                                  const std::string& note);
// "Upload configuration".
std::optional<UploadSettings> runUploadDialog(QWidget* parent, const UploadSettings& initial);

}  // namespace kassio
