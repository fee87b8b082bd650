#pragma once

#include <string>
#include <unordered_map>
#include <utility>

#include "record/record_id_note.h"
#include "sections/record_id_search.h"
#include "win/com_error.h"
#include "win/com_ptr.h"

/// Turns the record-id index on or off for the handlers made from now on
/// (the add-in turns it on with the prompt hand-over). Off by default.
void setRecordIdIndexing(bool on) noexcept;
/// Whether handlers made now search by record id through an index.
bool recordIdIndexing() noexcept;

/// The search by record identifier of one handler, for the length of its
/// bracket. Switched off, every search is the handler's full scan, and
/// nothing else touches Palm Desktop. Switched on, the first search builds
/// an index of the section's items from their texts, in the scan's order,
/// the first item of an identifier winning as in the scan. A hit is checked
/// by reading that item's text again; a miss, or a hit whose item no longer
/// carries the identifier (or cannot be read), is answered by the full scan,
/// whose finding the index then keeps. When the index cannot be built,
/// the scan does every search of the bracket.
template <typename Item>
class RecordIdIndex {
public:
    /// An index that is used when `enabled`.
    explicit RecordIdIndex(bool enabled) noexcept : enabled_(enabled) {}

    /// The item carrying `recordId`, or none. `scan()` is the full scan;
    /// `forEachList(visit)` calls `visit(list)` for the lists the scan walks,
    /// in its order; `textOf(Item&)` reads the text an item keeps its id in.
    template <typename Scan, typename ForEachList, typename TextOf>
    win::ComPtr<Item> find(const std::string& recordId, Scan&& scan, ForEachList&& forEachList, TextOf&& textOf)
    {
        if (!enabled_)
            return scan();
        if (!built_) {
            try {
                forEachList([&](auto& list) {
                    visitRecordIds<Item>(list, textOf, [this](const win::ComPtr<Item>& item, const std::string& id) {
                        items_.emplace(id, item.copy());
                        return false;
                    });
                });
            } catch (const win::ComError&) {
                // An item that cannot be read: the scans go on alone, and
                // fail where they meet it.
                items_.clear();
                enabled_ = false;
                return scan();
            }
            built_ = true;
        }
        const auto known = items_.find(recordId);
        if (known != items_.end() && carries(*known->second.get(), recordId, textOf))
            return known->second.copy();
        win::ComPtr<Item> found = scan();
        if (found)
            items_[recordId] = found.copy();
        else if (known != items_.end())
            items_.erase(known);
        return found;
    }

    /// Remembers `item`, created with `recordId`, unless an item of that
    /// identifier is known already.
    void added(const std::string& recordId, const win::ComPtr<Item>& item)
    {
        if (built_)
            items_.emplace(recordId, item.copy());
    }

    /// Forgets the item of `recordId`, which was deleted.
    void removed(const std::string& recordId)
    {
        if (built_)
            items_.erase(recordId);
    }

private:
    template <typename TextOf>
    static bool carries(Item& item, const std::string& recordId, TextOf&& textOf)
    {
        std::string text;
        try {
            text = textOf(item);
        } catch (const win::ComError&) {
            return false;  // deleted in Palm Desktop meanwhile, for instance
        }
        return text.find(RecordIdNote::tag) != std::string::npos && RecordIdNote(text).getRecordId() == recordId;
    }

    bool enabled_;
    bool built_ = false;
    std::unordered_map<std::string, win::ComPtr<Item>> items_;
};
