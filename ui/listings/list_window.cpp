#include "ui/listings/list_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/qt_ui.h"

namespace kassio {

ListWindow::ListWindow(QWidget* parent, const QString& title, ListPager& pager,
                       std::function<void(const std::string&)> open)
    : QDialog(parent), m_pager(pager), m_open(std::move(open)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    // Without a window manager the title bar is missing: the title is
    // repeated inside the window.
    layout->addWidget(new QLabel(title, this));
    m_table = new QTreeWidget(this);
    m_table->setObjectName("rows");
    m_table->setColumnCount(4);
    m_table->setHeaderHidden(true);
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (std::size_t i = 0; i < kListPageRows; ++i) new QTreeWidgetItem(m_table);
    m_table->setMinimumSize(640, 23 * static_cast<int>(kListPageRows) + 8);
    layout->addWidget(m_table);
    m_problem = new QLabel(this);
    m_problem->setObjectName("problem");
    layout->addWidget(m_problem);

    auto* buttons = new QHBoxLayout;
    m_back = new QPushButton("Back", this);
    m_more = new QPushButton("More", this);
    m_cancel = new QPushButton("Cancel", this);
    m_ok = new QPushButton("OK", this);
    for (QPushButton* b : {m_back, m_more, m_cancel, m_ok}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(m_more, &QPushButton::clicked, this, &ListWindow::more);
    connect(m_back, &QPushButton::clicked, this, &ListWindow::back);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_table, &QTreeWidget::itemClicked, this, &ListWindow::clicked);
    refresh();
}

void ListWindow::refresh() {
    const std::vector<ListRow> rows = m_pager.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = m_table->topLevelItem(static_cast<int>(i));
        item->setText(0, toQt(rows[i].number));
        item->setText(1, toQt(rows[i].name));
        item->setText(2, toQt(rows[i].second));
        item->setText(3, toQt(rows[i].third));
    }
    const bool onlyOk = m_pager.onlyOk();
    m_more->setVisible(!onlyOk);
    m_cancel->setVisible(!onlyOk);
    m_ok->setVisible(onlyOk);
    m_back->setEnabled(m_pager.canGoBack());
    QPushButton* focus = onlyOk ? m_ok : m_more;
    focus->setDefault(true);
    focus->setFocus();
}

void ListWindow::more() {
    if (Status s = m_pager.more(); !s) m_problem->setText(toQt(s.message()));
    refresh();
}

void ListWindow::back() {
    m_pager.back();
    refresh();
}

void ListWindow::clicked(QTreeWidgetItem* item) {
    const std::string number = fromQt(item->text(0));
    if (number.empty() || !m_open) return;
    m_open(number);
}

}  // namespace kassio
