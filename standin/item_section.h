#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "standin/standin_data.h"

namespace standin {

/// One section of the stand-in's data: its category names in order and its
/// items in the order they were created. An item's category is a plain name
/// and need not be in the category list (such an item is in no listed
/// category's view).
template <typename Data>
class ItemSection {
public:
    using Item = std::shared_ptr<Stored<Data>>;

    /// The category names, in the order they were added.
    const std::vector<std::wstring>& categories() const noexcept { return categories_; }
    bool hasCategory(const std::wstring& name) const {
        return std::find(categories_.begin(), categories_.end(), name) != categories_.end();
    }
    /// Appends `name`; false (and no duplicate) when it is there already.
    bool addCategory(const std::wstring& name) {
        if (hasCategory(name)) return false;
        categories_.push_back(name);
        return true;
    }

    /// Appends a new item and returns it.
    Item add(Data data) {
        items_.push_back(std::make_shared<Stored<Data>>(std::move(data)));
        return items_.back();
    }
    /// Every item not deleted, in creation order.
    const std::vector<Item>& items() const noexcept { return items_; }
    /// The items whose category is `category` exactly, in creation order.
    std::vector<Item> itemsIn(const std::wstring& category) const {
        std::vector<Item> out;
        for (const Item& item : items_)
            if (item->category == category) out.push_back(item);
        return out;
    }
    /// Marks `item` deleted and drops it; false when it was deleted already.
    bool remove(const Item& item) {
        if (item->deleted) return false;
        item->deleted = true;
        items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
        return true;
    }
    /// Deletes every item and forgets every category.
    void clear() {
        for (const Item& item : items_) item->deleted = true;
        items_.clear();
        categories_.clear();
    }

    /// Whether items created through COM answer the section's extension
    /// interface (`ContactItemEx`, `TodoItemEx`, `EventItemEx`).
    bool extendNewItems = true;

private:
    std::vector<std::wstring> categories_;
    std::vector<Item> items_;
};

}  // namespace standin
