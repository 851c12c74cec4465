#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace kestrane::spreadsheet {

// Values kept outside the cells that hold them (a sheet's texts, its doubles
// that need all eight bytes), each in a numbered slot; a slot given up is
// used again by the next value kept.
template <typename T>
class SlotPool {
public:
    const T &operator[](std::uint32_t slot) const { return m_values[slot]; }

    // The slot `value` is kept in.
    std::uint32_t keep(T value)
    {
        if (m_free.empty()) {
            m_values.push_back(std::move(value));
            return std::uint32_t(m_values.size() - 1);
        }
        const std::uint32_t slot = m_free.back();
        m_free.pop_back();
        m_values[slot] = std::move(value);
        return slot;
    }
    // The slot is free again; its value (a text's storage) goes at once.
    void giveUp(std::uint32_t slot)
    {
        m_values[slot] = T();
        m_free.push_back(slot);
    }
    // Every slot goes, and the storage with it.
    void clear()
    {
        std::vector<T>().swap(m_values);
        std::vector<std::uint32_t>().swap(m_free);
    }

private:
    std::vector<T> m_values;
    std::vector<std::uint32_t> m_free; // slots no cell holds
};

} // namespace kestrane::spreadsheet
