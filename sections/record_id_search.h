#pragma once

#include <string>

#include "record/record_id_note.h"
#include "win/com_error.h"
#include "win/com_ptr.h"

/// The first item of `list` (a Palm Desktop list with get_Count and
/// get_Item) whose identifier text, as `textOf(Item&)` reads it, carries
/// `recordId`; none when no item does. Items are fetched from index 0
/// upward; a text without the record identifier tag matches nothing.
template <typename Item, typename List, typename TextOf>
win::ComPtr<Item> findByRecordId(List& list, const std::string& recordId, TextOf&& textOf)
{
    long count = 0;
    win::check(list.get_Count(&count));
    for (long i = 0; i < count; ++i) {
        win::ComPtr<Item> item;
        win::check(list.get_Item(i, item.put()));
        const std::string text = textOf(*win::required(item).get());
        if (text.find(RecordIdNote::tag) == std::string::npos) continue;
        if (RecordIdNote(text).getRecordId() == recordId) return item;
    }
    return nullptr;
}
