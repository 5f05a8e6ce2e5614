// A client station's customer panels: a new customer and a change of one
// made at the counter through the main station (procedures 5, 12 and 13).
// The same customer form as the main station's; the main station checks
// the number again, writes the record and logs the change.
#pragma once

#include "customers/customer_forms.h"
#include "platform/ui.h"
#include "server/station_client.h"
#include "store/data_store.h"
#include "till/till_data.h"

namespace kassio {

class ClientCustomers {
  public:
    // local: the client station's configuration (the terms list, the
    // option that leaves the number box empty).
    ClientCustomers(StationClient& client, TillData& data, DataStore& local, Ui& ui,
                    CustomerForms& forms)
        : m_client(client), m_data(data), m_local(local), m_ui(ui), m_forms(forms) {}

    void add();
    void amend();

  private:
    std::string offeredNumber();
    // The main station's answer to an add or a change, in the clerk's
    // words; ok when it was made.
    Status answer(const Status& call, int32_t result, bool adding) const;

    StationClient& m_client;
    TillData& m_data;
    DataStore& m_local;
    Ui& m_ui;
    CustomerForms& m_forms;
};

}  // namespace kassio
