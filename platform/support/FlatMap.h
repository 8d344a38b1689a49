// A map kept as one vector sorted by key, for the small tables of code the
// Windows program links: the standard map's tree code comes precompiled for
// newer processors than the program runs on, while this is compiled with
// the program.  An insertion or an erasure moves the entries, so references
// to them do not outlive one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace varlin {

template <typename Key, typename Value>
class FlatMap {
public:
    using value_type = std::pair<Key, Value>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    iterator begin() { return entries.begin(); }
    iterator end() { return entries.end(); }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }
    bool empty() const { return entries.empty(); }
    size_t size() const { return entries.size(); }
    void clear() { entries.clear(); }

    iterator find(const Key& key)
    {
        const iterator at = LowerBound(entries, key);
        return at != entries.end() && at->first == key ? at : entries.end();
    }
    const_iterator find(const Key& key) const
    {
        const const_iterator at = LowerBound(entries, key);
        return at != entries.end() && at->first == key ? at : entries.end();
    }
    size_t count(const Key& key) const { return find(key) == end() ? 0 : 1; }

    // The entry of the key; one with a default value is made when missing.
    Value& operator[](const Key& key)
    {
        iterator at = LowerBound(entries, key);
        if (at == entries.end() || !(at->first == key)) at = entries.insert(at, value_type(key, Value()));
        return at->second;
    }

    // The entry of a key that must be there.
    Value& at(const Key& key) { return find(key)->second; }
    const Value& at(const Key& key) const { return find(key)->second; }

    size_t erase(const Key& key)
    {
        const iterator at = find(key);
        if (at == entries.end()) return 0;
        entries.erase(at);
        return 1;
    }

private:
    template <typename Entries>
    static auto LowerBound(Entries& all, const Key& key)
    {
        return std::lower_bound(all.begin(), all.end(), key,
                                [](const value_type& entry, const Key& wanted) { return entry.first < wanted; });
    }

    std::vector<value_type> entries;
};

}  // namespace varlin
