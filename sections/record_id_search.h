#pragma once

#include <string>

#include "record/record_id_note.h"
#include "win/com_error.h"
#include "win/com_ptr.h"

/// Walks `list` (a Palm Desktop list with get_Count and get_Item) from
/// index 0 upward and calls `visit(item, recordId)` for every item whose
/// identifier text, as `textOf(Item&)` reads it, carries a record
/// identifier, until `visit` answers true; answers that item, or none.
template <typename Item, typename List, typename TextOf, typename Visit>
win::ComPtr<Item> visitRecordIds(List& list, TextOf&& textOf, Visit&& visit)
{
    long count = 0;
    win::check(list.get_Count(&count));
    for (long i = 0; i < count; ++i) {
        win::ComPtr<Item> item;
        win::check(list.get_Item(i, item.put()));
        const std::string text = textOf(*win::required(item).get());
        if (text.find(RecordIdNote::tag) == std::string::npos) continue;
        if (visit(item, RecordIdNote(text).getRecordId())) return item;
    }
    return nullptr;
}

/// The first item of `list` whose identifier text, as `textOf(Item&)` reads
/// it, carries `recordId`; none when no item does. A text without the
/// record identifier tag matches nothing.
template <typename Item, typename List, typename TextOf>
win::ComPtr<Item> findByRecordId(List& list, const std::string& recordId, TextOf&& textOf)
{
    return visitRecordIds<Item>(list, textOf,
                                [&](const win::ComPtr<Item>&, const std::string& id) { return id == recordId; });
}
