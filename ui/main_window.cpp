#include "ui/main_window.h"

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "store/data_store.h"
#include "ui/qt_ui.h"

namespace kassio {

MainWindow::MainWindow(DataStore& store, QWidget* parent)
    : QMainWindow(parent), m_store(store) {
    setWindowTitle("KASSIO");
    setFixedSize(1024, 746);
    setStyleSheet("QMainWindow { background: #d4d0c8; }");

    QMenu* file = menuBar()->addMenu("&File");
    QAction* exit = file->addAction("E&xit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_heading = new QLabel(central);
    m_heading->setAlignment(Qt::AlignCenter);
    QFont big = m_heading->font();
    big.setPointSize(20);
    big.setBold(true);
    m_heading->setFont(big);
    m_summary = new QLabel(central);
    m_summary->setAlignment(Qt::AlignCenter);
    QFont medium = m_summary->font();
    medium.setPointSize(14);
    m_summary->setFont(medium);
    layout->addStretch();
    layout->addWidget(m_heading);
    layout->addWidget(m_summary);
    layout->addStretch();
    setCentralWidget(central);
    statusBar()->showMessage(QString::fromStdString(store.folder()));
    refresh();
}

void MainWindow::refresh() {
    auto lock = m_store.lock();
    const StoreConfig& cfg = m_store.config();
    m_heading->setText(toQt(cfg.heading(1)) + "\n" + toQt(cfg.heading(2)));
    m_summary->setText(QString("Items: %1    Customers: %2    Suppliers: %3\nTransaction: %4")
                           .arg(m_store.items().index().liveCount())
                           .arg(m_store.customers().index().liveCount())
                           .arg(m_store.suppliers().index().liveCount())
                           .arg(cfg.nextTransaction()));
}

}  // namespace kassio
