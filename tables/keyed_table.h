// Tables with one row per value of an enum, each row naming its own `key`:
// the compiler checks that the rows follow the enum, so a row is found by
// its key without a search and no table is kept in step with another by hand.
#pragma once

#include <array>
#include <cstddef>

namespace tables {

template <typename Row, std::size_t N> constexpr bool inKeyOrder(const std::array<Row, N>& rows)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].key) != i)
            return false;
    }
    return true;
}

template <typename Row, std::size_t N, typename Key> constexpr const Row& rowOf(const std::array<Row, N>& rows, Key key)
{
    return rows[static_cast<std::size_t>(key)];
}

}  // namespace tables
