// The discount and price panels: modeless state machines over the Basket
// that the Qt panels drive, amounts typed in cents as at the tenders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/inventory_record.h"
#include "till/tender_session.h"

namespace kassio {

class Till;

// The percent list of the discount panels: "0.00", then 0.50 up to 80.00 in
// 0.5 % steps. Entry i is i x 0.5 %, which is what choosePercent(i) takes.
inline constexpr int kDiscountPercentEntries = 161;
std::vector<std::string> discountPercentList();

// "Discount total": before tax (shared between the non-taxable and taxable
// subtotals, taxes scaled) or on the total amount, by a StoreConfig switch.
class DiscountPanel final : public TillPanel {
  public:
    DiscountPanel(Till& till, bool onTotal);

    bool onTotal() const { return m_onTotal; }
    // The list entry shown at opening: the default rate of the discount
    // button (before tax only), else 0.
    int initialPercentEntry() const { return m_initialEntry; }
    // Percent list entry 0..160 (0.5 % steps): fills the discount box.
    void choosePercent(int entry);
    void typed(const std::string& cents);
    const std::string& typedText() const { return m_typed; }
    // "Amended total before tax" (the subtotal at opening) or "Amended
    // total"; empty when the discount is out of range.
    const std::string& amendedText() const { return m_amended; }
    // "Invalid discount" keeps the panel open; otherwise applies and closes.
    bool ok();
    void cancel();

  private:
    Till& m_till;
    bool m_onTotal;
    double m_openingDiscount;
    double m_openingTotal;
    int m_initialEntry = 0;
    std::string m_typed;
    std::string m_amended;
};

// Applies a before-tax discount d to the Basket's totals; lines unchanged.
void applyDiscountBeforeTax(Till& till, double d);

// "Adjust item price" and "Adjust by weight", for the last line.
class PricePanel final : public TillPanel {
  public:
    PricePanel(Till& till, const InventoryRecord& item, bool byWeight);

    bool byWeight() const { return m_byWeight; }
    const InventoryRecord& item() const { return m_item; }
    bool showCost() const;
    // Adjust item price: the amended price before tax, in cents; an empty
    // box is a price of 0.00.
    void typed(const std::string& cents);
    void zero() { typed("000000"); }
    // Adjust by weight: 1..100000 units; the price is retail / 100 x weight.
    // The quick list offers 1..kWeightListEntries, 100 chosen at opening.
    static constexpr int kWeightListEntries = 2000;
    void setWeight(int weight);
    const std::string& priceBeforeTaxText() const { return m_priceText; }

    // The new line values as the panel shows them.
    double nonTaxable() const { return m_nonTaxable; }
    double taxable() const { return m_taxable; }
    double tax1() const { return m_tax1; }
    double tax2() const { return m_tax2; }
    double lineTotal() const { return m_lineTotal; }

    bool ok();
    void cancel();

  private:
    void compute(double price);

    Till& m_till;
    InventoryRecord m_item;
    bool m_byWeight;
    bool m_valid = false;
    double m_price = 0;
    std::string m_priceText;
    double m_nonTaxable = 0, m_taxable = 0, m_tax1 = 0, m_tax2 = 0, m_lineTotal = 0;
};

}  // namespace kassio
