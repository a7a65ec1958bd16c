#pragma once

#include "Core/StringHashMap.h"

#include <string>
#include <utility>
#include <vector>

// The items of one shop catalogue: found by name, and listed in the order
// they were added.
template <class Item>
class ItemCatalogue {
public:
    // Adds the item under its name; false (and nothing added) when the name
    // is already there, so the first item of a name stays.
    bool Add(const Item& item) {
        if (lookup.Find(item.name))
            return false;
        lookup[item.name] = item;
        order.emplace_back(item.name, item);
        return true;
    }

    const Item* Find(const std::string& name) const { return lookup.Find(name); }

    // The item's price; 0 for a name the catalogue does not hold.
    int32_t Price(const std::string& name) const {
        const Item* item = Find(name);
        return item ? item->price : 0;
    }

    const std::vector<std::pair<std::string, Item>>& Items() const { return order; }
    std::size_t Size() const { return order.size(); }

private:
    StringHashMap<Item> lookup;
    std::vector<std::pair<std::string, Item>> order;
};
