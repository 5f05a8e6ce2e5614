// The list screen: 13 rows of a list at a time with "More", "Back" and
// "Cancel", or a single "OK" once the list has run out. A click on a row
// with a number opens that record's read-only details.
#pragma once

#include <QDialog>
#include <functional>

#include "listings/record_list.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kassio {

class ListWindow : public QDialog {
    Q_OBJECT
  public:
    // open: called with a clicked row's number text; empty for lists whose
    // rows open nothing. The pager has been opened.
    ListWindow(QWidget* parent, const QString& title, ListPager& pager,
               std::function<void(const std::string& number)> open);

    QTreeWidget* table() const { return m_table; }

  private:
    void refresh();
    void more();
    void back();
    void clicked(QTreeWidgetItem* item);

    ListPager& m_pager;
    std::function<void(const std::string&)> m_open;
    QTreeWidget* m_table;
    QLabel* m_problem;
    QPushButton* m_more;
    QPushButton* m_back;
    QPushButton* m_cancel;
    QPushButton* m_ok;
};

}  // namespace kassio
