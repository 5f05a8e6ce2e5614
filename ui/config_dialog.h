// "Configuration": the General and Terms pages. The pages read their
// controls into the core's page values and apply them; the rules live in
// the core (GeneralPage, TermsPage).
#pragma once

#include <QDialog>

namespace kassio {

class DataStore;

class ConfigurationDialog final : public QDialog {
    Q_OBJECT
  public:
    ConfigurationDialog(DataStore& store, QWidget* parent);
    // Shows the pages; on OK stores them and rewrites kq.cfg. The failure
    // to write it, if any, is shown by the caller.
    static bool edit(DataStore& store, QWidget* parent, std::string* failure);
};

}  // namespace kassio
