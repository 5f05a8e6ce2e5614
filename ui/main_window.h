// The till's main window: "KASSIO", 1024 x 746. For now it shows the shop
// it runs on (heading, record counts, next transaction) and offers Exit;
// the till screen grows into it.
#pragma once

#include <QLabel>
#include <QMainWindow>

namespace kassio {

class DataStore;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(DataStore& store, QWidget* parent = nullptr);

    // Redraws the shop summary from the store.
    void refresh();

private:
    DataStore& m_store;
    QLabel* m_heading;
    QLabel* m_summary;
};

}  // namespace kassio
