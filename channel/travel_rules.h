#pragma once

// Which bytes a piece of text may hold where it travels through the channel,
// and how long it may be. None of the text forms escapes anything, so a text
// that holds a separator of the form it travels in (or a NUL, which ends the
// message in the zone) would arrive cut or merged with its neighbours; and a
// text as long as the zone can never fit into it with its message. Such text
// is refused before anything is sent.

#include "channel/command_processor.h"
#include "record/text_separators.h"

#include <cstddef>
#include <string_view>

/// The size, in bytes, with which a channel end creates the shared zone: a
/// message with its NUL must fit into it.
constexpr std::size_t sharedZoneSize = 1000000;

/// The places a text travels in.
enum class TextPlace {
    FieldKey,       ///< a record's field key
    FieldValue,     ///< a record's field value
    RepeatItem,     ///< a date or other text inside a recurrence
    RecordId,       ///< the record id of a delete command
    CategoryName,   ///< a category name in a list
};

namespace travel_rules_detail {
inline constexpr char fieldKey[] = {separator::recordKeyEnd, separator::recordEntryEnd};
inline constexpr char fieldValue[] = {separator::recordEntryEnd};
inline constexpr char repeatItem[] = {separator::repeatFieldEnd, separator::repeatItemEnd};
inline constexpr char recordId[] = {CommandProcessor::fieldEnd};
inline constexpr char categoryName[] = {CommandProcessor::elementEnd, CommandProcessor::fieldEnd};
}  // namespace travel_rules_detail

/// The bytes besides NUL that `place` cannot hold.
constexpr std::string_view forbiddenBytes(TextPlace place) noexcept
{
    namespace d = travel_rules_detail;
    switch (place) {
    case TextPlace::FieldKey:
        return {d::fieldKey, sizeof d::fieldKey};
    case TextPlace::FieldValue:
        return {d::fieldValue, sizeof d::fieldValue};
    case TextPlace::RepeatItem:
        return {d::repeatItem, sizeof d::repeatItem};
    case TextPlace::RecordId:
        return {d::recordId, sizeof d::recordId};
    case TextPlace::CategoryName:
        return {d::categoryName, sizeof d::categoryName};
    }
    return {};
}

/// The position of the first byte of `text` that cannot travel in `place`
/// (a NUL or one of forbiddenBytes(place)), or npos when it can travel.
inline std::size_t firstUntravellable(std::string_view text, TextPlace place) noexcept
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\0' || forbiddenBytes(place).find(text[i]) != std::string_view::npos)
            return i;
    return std::string_view::npos;
}

/// Whether a text of `length` bytes is short enough to travel: shorter than
/// the zone, which its message and NUL must fit into as well.
constexpr bool fitsTheZone(std::size_t length) noexcept { return length < sharedZoneSize; }

/// Whether `text` can travel in `place`: short enough, and free of bytes
/// that place cannot hold.
inline bool canTravel(std::string_view text, TextPlace place) noexcept
{
    return fitsTheZone(text.size()) && firstUntravellable(text, place) == std::string_view::npos;
}
