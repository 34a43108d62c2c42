// An ordered list that owns its entries, with checked access by a 0-based index.
#pragma once

#include "platform/exception.h"

#include <memory>
#include <string>
#include <vector>

// An index outside a list: "List index out of bounds (%d)".
class EListError : public Exception {
public:
    using Exception::Exception;
};

template <class T> class TOwnedList {
public:
    TOwnedList() = default;
    TOwnedList(const TOwnedList&) = delete;
    TOwnedList& operator=(const TOwnedList&) = delete;
    TOwnedList(TOwnedList&&) noexcept = default;
    TOwnedList& operator=(TOwnedList&&) noexcept = default;

    int Count() const { return static_cast<int>(m_items.size()); }
    bool Empty() const { return m_items.empty(); }
    T& Items(int index) const { return *m_items[Checked(index)]; }
    T& operator[](int index) const { return Items(index); }
    // Appends the entry; the list owns it from now on.
    T& Add(std::unique_ptr<T> item) {
        m_items.push_back(std::move(item));
        return *m_items.back();
    }
    template <class... Args> T& Emplace(Args&&... args) {
        return Add(std::make_unique<T>(std::forward<Args>(args)...));
    }
    // Copies of the entries, in order.
    std::vector<T> Values() const {
        std::vector<T> values;
        values.reserve(m_items.size());
        for (const auto& item : m_items)
            values.push_back(*item);
        return values;
    }
    // Destroys the entry at `index`.
    void Delete(int index) { m_items.erase(m_items.begin() + Checked(index)); }
    void Clear() { m_items.clear(); }

private:
    std::size_t Checked(int index) const {
        if (index < 0 || index >= Count())
            throw EListError("List index out of bounds (" + std::to_string(index) + ")");
        return static_cast<std::size_t>(index);
    }

    std::vector<std::unique_ptr<T>> m_items;
};
