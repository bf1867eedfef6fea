#pragma once
// The theme's keyed tables: a hash table of 83 chained buckets and a list searched from its head.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skin {

// h = c + 33 * h over the characters from the last to the first, 32-bit wrap-around; bucket = h mod 83.
inline uint32_t ThemeHash(std::wstring_view key) {
  uint32_t h = 0;
  for (size_t i = key.size(); i > 0; --i) h = static_cast<uint32_t>(static_cast<uint16_t>(key[i - 1])) + 33u * h;
  return h % 83u;
}

template <typename T>
class ThemeHashTable {
 public:
  static constexpr size_t kBuckets = 83;

  T* Find(std::wstring_view key) const {
    for (const auto& [k, v] : buckets_[ThemeHash(key)])
      if (k == key) return v.get();
    return nullptr;
  }
  // Stores `value` under `key`, destroying a value already there.
  T* Insert(std::wstring key, std::unique_ptr<T> value) {
    auto& chain = buckets_[ThemeHash(key)];
    for (auto& [k, v] : chain) {
      if (k == key) {
        v = std::move(value);
        return v.get();
      }
    }
    chain.emplace_back(std::move(key), std::move(value));
    return chain.back().second.get();
  }
  // Takes the value out of the table; none when the key is absent.
  std::unique_ptr<T> Remove(std::wstring_view key) {
    auto& chain = buckets_[ThemeHash(key)];
    for (auto it = chain.begin(); it != chain.end(); ++it) {
      if (it->first == key) {
        std::unique_ptr<T> v = std::move(it->second);
        chain.erase(it);
        return v;
      }
    }
    return nullptr;
  }
  void Clear() {
    for (auto& chain : buckets_) chain.clear();
  }
  size_t Size() const {
    size_t n = 0;
    for (const auto& chain : buckets_) n += chain.size();
    return n;
  }
  template <typename F>
  void ForEach(F&& f) const {
    for (const auto& chain : buckets_)
      for (const auto& [k, v] : chain) f(k, *v);
  }

 private:
  std::array<std::vector<std::pair<std::wstring, std::unique_ptr<T>>>, kBuckets> buckets_;
};

// A list searched from its head; the first exact match wins.
template <typename T>
class ThemeList {
 public:
  T* Find(std::wstring_view key) const {
    for (const auto& [k, v] : items_)
      if (k == key) return v.get();
    return nullptr;
  }
  // Adds a new entry at the tail; the caller decides whether an existing one is replaced instead.
  T* Append(std::wstring key, std::unique_ptr<T> value) {
    items_.emplace_back(std::move(key), std::move(value));
    return items_.back().second.get();
  }
  size_t Size() const { return items_.size(); }
  void Clear() { items_.clear(); }
  const std::vector<std::pair<std::wstring, std::unique_ptr<T>>>& Items() const { return items_; }

 private:
  std::vector<std::pair<std::wstring, std::unique_ptr<T>>> items_;
};

}  // namespace skin
