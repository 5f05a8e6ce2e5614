// The basket table: 16 saved Basket images beside the one at the till, so
// a clerk can park a customer's basket and serve the next. Kept in memory
// for the run only, zero-filled at start.
#pragma once

#include <optional>
#include <vector>

#include "store/basket.h"

namespace kassio {

inline constexpr int kBasketTableSize = 16;

class BasketTable {
  public:
    BasketTable();

    // The number (1..16) of the basket at the till.
    int current() const { return m_current; }
    static bool valid(int number) { return number >= 1 && number <= kBasketTableSize; }
    const Basket& slot(int number) const { return m_slots[static_cast<std::size_t>(number - 1)]; }

    // Keeps `atTill` under the current number and makes `number` current;
    // returns the image kept under it. `number` must be valid.
    Basket swap(const Basket& atTill, int number);
    // The lowest slot other than the current one that holds no lines.
    std::optional<int> freeSlot() const;
    // Keeps `basket` in slot `number` (valid, not the current one).
    void park(int number, const Basket& basket);

  private:
    std::vector<Basket> m_slots;
    int m_current = 1;
};

}  // namespace kassio
