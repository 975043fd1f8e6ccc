#pragma once

#include "core/TextUtil.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace ocable {

// An argument that may hold a key, a position or something else, as callers of
// the record classes pass it. Only text and 16/32-bit integers address an item.
struct ObjectArg {
    const void* object = nullptr;
};
using ItemArg = std::variant<std::string, std::int16_t, std::int32_t, double, ObjectArg>;

class CollectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An ordered collection whose items may carry a unique text key, compared
// without regard to ASCII letter case. Positions count from 1.
template <class T> class KeyedCollection {
public:
    // Adds at the end; an empty key adds without a key. Throws CollectionError
    // when the key is already used.
    T& Add(T item, const std::string& key = {}) {
        if (!key.empty()) {
            if (indexOf(key)) throw CollectionError("关键字已存在：" + key);
            if (!indexed_ && items_.size() + 1 > kLinearLimit) buildIndex();
            if (indexed_) byKey_.emplace(key, items_.size());
        }
        items_.push_back({key, std::move(item)});
        return items_.back().second;
    }

    std::size_t Count() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    // The item under the key, or null.
    T* find(std::string_view key) {
        auto i = indexOf(key);
        return i ? &items_[*i].second : nullptr;
    }
    const T* find(std::string_view key) const { return const_cast<KeyedCollection*>(this)->find(key); }
    // The item at a 1-based position, or null.
    T* at(std::int64_t position) {
        return position >= 1 && position <= static_cast<std::int64_t>(items_.size())
                   ? &items_[position - 1].second
                   : nullptr;
    }

    // By key or 1-based position; anything else, or a miss, gives null.
    T* Item(const ItemArg& arg) {
        if (auto* key = std::get_if<std::string>(&arg)) return find(*key);
        if (auto* i32 = std::get_if<std::int32_t>(&arg)) return at(*i32);
        if (auto* i16 = std::get_if<std::int16_t>(&arg)) return at(*i16);
        return nullptr;
    }

    // Removes by key or position; false when nothing was removed.
    bool Remove(const ItemArg& arg) {
        std::optional<std::size_t> index;
        if (auto* key = std::get_if<std::string>(&arg)) {
            index = indexOf(*key);
        } else if (auto* i32 = std::get_if<std::int32_t>(&arg)) {
            if (at(*i32)) index = static_cast<std::size_t>(*i32 - 1);
        } else if (auto* i16 = std::get_if<std::int16_t>(&arg)) {
            if (at(*i16)) index = static_cast<std::size_t>(*i16 - 1);
        }
        if (!index) return false;
        if (indexed_ && !items_[*index].first.empty())
            byKey_.erase(byKey_.find(std::string_view(items_[*index].first)));
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*index));
        for (auto& [k, pos] : byKey_)
            if (pos > *index) --pos;
        return true;
    }

    void Clear() {
        items_.clear();
        byKey_.clear();
        indexed_ = false;
    }

    // Items in order, with their keys.
    const std::vector<std::pair<std::string, T>>& entries() const { return items_; }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    // Small collections (the fields of one row) are searched in place; a
    // hash index is built once a collection outgrows this.
    static constexpr std::size_t kLinearLimit = 32;

    std::optional<std::size_t> indexOf(std::string_view key) const {
        if (key.empty()) return std::nullopt;
        if (indexed_) {
            auto it = byKey_.find(key);
            return it == byKey_.end() ? std::nullopt : std::optional<std::size_t>(it->second);
        }
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (text::equalsIgnoringAsciiCase(items_[i].first, key)) return i;
        return std::nullopt;
    }

    void buildIndex() {
        indexed_ = true;
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].first.empty()) byKey_.emplace(items_[i].first, i);
    }

    // The index hashes and compares keys as the linear search does, so a
    // look-up neither folds nor copies the key it is given.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept {
            std::uint64_t h = 0xcbf29ce484222325ull;
            for (char c : key) {
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
                h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
            }
            return static_cast<std::size_t>(h);
        }
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept {
            return text::equalsIgnoringAsciiCase(a, b);
        }
    };

    std::vector<std::pair<std::string, T>> items_;
    std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual> byKey_;
    bool indexed_ = false;
};

} // namespace ocable
