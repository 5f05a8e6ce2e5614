// "Transaction committed, summary": the figures of the sale and the print
// buttons, over the bottom of the main window.
#pragma once

#include <QDialog>

#include "devices/summary_box.h"

namespace kassio {

class SummaryBoxDialog final : public QDialog {
    Q_OBJECT
  public:
    // Shows the box until "OK"; the automatic document is printed as it opens.
    static void run(QWidget* parent, SummaryBox& box);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    SummaryBoxDialog(QWidget* parent, SummaryBox& box);
    SummaryBox& m_box;
    bool m_pressed = false;
};

}  // namespace kassio
