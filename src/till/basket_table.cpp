#include "till/basket_table.h"

#include <cstring>

namespace kassio {

BasketTable::BasketTable() : m_slots(kBasketTableSize) {
    std::memset(m_slots.data(), 0, m_slots.size() * sizeof(Basket));
}

Basket BasketTable::swap(const Basket& atTill, int number) {
    m_slots[static_cast<std::size_t>(m_current - 1)] = atTill;
    m_current = number;
    return m_slots[static_cast<std::size_t>(number - 1)];
}

std::optional<int> BasketTable::freeSlot() const {
    for (int n = 1; n <= kBasketTableSize; ++n)
        if (n != m_current && slot(n).line_count <= 0) return n;
    return std::nullopt;
}

void BasketTable::park(int number, const Basket& basket) {
    m_slots[static_cast<std::size_t>(number - 1)] = basket;
}

}  // namespace kassio
