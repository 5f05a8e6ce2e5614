// The card terminal exchange settings: the exchange folder and five options.
#pragma once

#include <QDialog>
#include <optional>

#include "devices/card_exchange.h"

class QCheckBox;
class QLineEdit;

namespace kassio {

class CardExchangeDialog final : public QDialog {
    Q_OBJECT
  public:
    static std::optional<CardExchangeSettings> run(QWidget* parent,
                                                   const CardExchangeSettings& settings);

  private:
    CardExchangeDialog(QWidget* parent, const CardExchangeSettings& settings);
    CardExchangeSettings read() const;

    QLineEdit* m_folder;
    QCheckBox *m_exchange, *m_cashBack, *m_notPresent, *m_refundKind, *m_showApproval;
};

}  // namespace kassio
