// The platform-free half of the C interface: records, recurrences and
// category lists with their text in the ANSI code page.

#include "capi/capi_handles.h"

#include <charconv>
#include <climits>
#include <string>

namespace capi {

int putField(brannock_record& record, std::string_view key, std::string_view value)
{
    if (!canTravel(key, TextPlace::FieldKey) || !canTravel(value, TextPlace::FieldValue))
        return BRANNOCK_CANNOT_TRAVEL;
    const std::string ownKey(key);
    const std::string oldValue = record.record.getField(ownKey);
    const std::size_t fields = record.record.fieldCount();
    record.record.putField(ownKey, std::string(value));
    // Record cannot tell a key without a value from an absent one before
    // the put; the field count tells after it.
    const bool added = record.record.fieldCount() > fields;
    const std::size_t before = added ? 0 : ownKey.size() + oldValue.size() + 2;
    const std::size_t length = record.textLength - before + key.size() + value.size() + 2;
    if (!fitsTheZone(length)) {
        if (!added) {
            record.record.putField(ownKey, oldValue);
        } else {
            Record rest;
            record.record.forEachField([&](const std::string& k, const std::string& v) {
                if (k != ownKey)
                    rest.putField(k, v);
            });
            record.record = rest;
        }
        return BRANNOCK_CANNOT_TRAVEL;
    }
    record.textLength = length;
    record.keysCurrent = false;
    return BRANNOCK_OK;
}

std::size_t textLength(const Record& fields) noexcept
{
    std::size_t length = 0;
    fields.forEachField([&](const std::string& key, const std::string& value) { length += key.size() + value.size() + 2; });
    return length;
}

void replaceFields(brannock_record& record, const Record& fields)
{
    record.record = fields;
    record.textLength = textLength(fields);
    record.keysCurrent = false;
}

const std::string* keyAt(brannock_record& record, std::size_t index)
{
    if (!record.keysCurrent) {
        record.keys.clear();
        record.keys.reserve(record.record.fieldCount());
        record.record.forEachField([&](const std::string& key, const std::string&) { record.keys.push_back(&key); });
        record.keysCurrent = true;
    }
    return index < record.keys.size() ? record.keys[index] : nullptr;
}

int addName(brannock_list& list, std::string_view name)
{
    if (!canTravel(name, TextPlace::CategoryName))
        return BRANNOCK_CANNOT_TRAVEL;
    list.names.emplace_back(name);
    return BRANNOCK_OK;
}

}  // namespace capi

namespace {

using capi::guarded;
using capi::present;
using capi::textArgument;
using capi::textArguments;

/// A whole decimal number in [low, high], nothing else.
bool readNumber(std::string_view text, long low, long high, long& out)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < low || value > high)
        return false;
    out = value;
    return true;
}

/// Splits `text` at commas; the empty text has no items.
std::vector<std::string_view> commaItems(std::string_view text)
{
    std::vector<std::string_view> items;
    if (text.empty())
        return items;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return items;
        start = comma + 1;
    }
}

/// One named field of a recurrence: how it is read and written as text.
struct RepeatField {
    const char* name;
    std::string (*get)(const Repeat&);
    int (*put)(Repeat&, std::string_view);
};

template <int (Repeat::*Get)() const, void (Repeat::*Set)(int)>
constexpr RepeatField intField(const char* name)
{
    return {name, [](const Repeat& r) { return std::to_string((r.*Get)()); },
            [](Repeat& r, std::string_view text) {
                long value = 0;
                if (!readNumber(text, INT_MIN, INT_MAX, value))
                    return BRANNOCK_BAD_ARGUMENT;
                (r.*Set)(static_cast<int>(value));
                return BRANNOCK_OK;
            }};
}

template <std::string (Repeat::*Get)() const, void (Repeat::*Set)(const std::string&)>
constexpr RepeatField dateField(const char* name)
{
    return {name, [](const Repeat& r) { return (r.*Get)(); },
            [](Repeat& r, std::string_view text) {
                if (!canTravel(text, TextPlace::RepeatItem))
                    return BRANNOCK_CANNOT_TRAVEL;
                (r.*Set)(std::string(text));
                return BRANNOCK_OK;
            }};
}

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += items[i];
    }
    return text;
}

const RepeatField repeatFields[] = {
    dateField<&Repeat::getStartDate, &Repeat::setStartDate>("startDate"),
    {"frequency", [](const Repeat& r) { return std::to_string(r.getFrequency()); },
     [](Repeat& r, std::string_view text) {
         long value = 0;
         if (!readNumber(text, LONG_MIN, LONG_MAX, value))
             return BRANNOCK_BAD_ARGUMENT;
         r.setFrequency(value);
         return BRANNOCK_OK;
     }},
    dateField<&Repeat::getEndDate, &Repeat::setEndDate>("endDate"),
    intField<&Repeat::getNumDaysToRepeat, &Repeat::setNumDaysToRepeat>("numDaysToRepeat"),
    intField<&Repeat::getRepeatType, &Repeat::setRepeatType>("repeatType"),
    {"dayPattern",
     [](const Repeat& r) {
         int days[Repeat::dayPatternSize] = {};
         r.getDayPattern(days);
         std::vector<std::string> items;
         for (int day : days)
             items.push_back(std::to_string(day));
         return joined(items);
     },
     [](Repeat& r, std::string_view text) {
         const std::vector<std::string_view> items = commaItems(text);
         if (items.size() != Repeat::dayPatternSize)
             return BRANNOCK_BAD_ARGUMENT;
         int days[Repeat::dayPatternSize] = {};
         for (int day = 0; day < Repeat::dayPatternSize; ++day) {
             long value = 0;
             if (!readNumber(items[day], INT_MIN, INT_MAX, value))
                 return BRANNOCK_BAD_ARGUMENT;
             days[day] = static_cast<int>(value);
         }
         r.setDayPattern(days);
         return BRANNOCK_OK;
     }},
    intField<&Repeat::getDayOfWeek, &Repeat::setDayOfWeek>("dayOfWeek"),
    intField<&Repeat::getWeekOfMonth, &Repeat::setWeekOfMonth>("weekOfMonth"),
    intField<&Repeat::getDayOfMonth, &Repeat::setDayOfMonth>("dayOfMonth"),
    intField<&Repeat::getMonth, &Repeat::setMonth>("month"),
    {"exclusionDates", [](const Repeat& r) { return joined(r.getExclusionDates()); },
     [](Repeat& r, std::string_view text) {
         std::vector<std::string> dates;
         for (std::string_view date : commaItems(text)) {
             if (!canTravel(date, TextPlace::RepeatItem))
                 return BRANNOCK_CANNOT_TRAVEL;
             dates.emplace_back(date);
         }
         r.setExclusionDates(dates);
         return BRANNOCK_OK;
     }},
};
constexpr std::size_t repeatFieldCount = sizeof repeatFields / sizeof repeatFields[0];

const RepeatField* repeatField(std::string_view name)
{
    for (const RepeatField& field : repeatFields)
        if (name == field.name)
            return &field;
    return nullptr;
}

/// Creates a handle of type T into *out.
template <typename T>
int create(T** out) noexcept
{
    if (!out)
        return BRANNOCK_BAD_ARGUMENT;
    *out = new (std::nothrow) T;
    return *out ? BRANNOCK_OK : BRANNOCK_OUT_OF_MEMORY;
}

template <typename T>
int destroy(T* handle) noexcept
{
    if (!handle)
        return BRANNOCK_BAD_ARGUMENT;
    delete handle;
    return BRANNOCK_OK;
}

}  // namespace

extern "C" {

int BRANNOCK_CALL brannock_record_create(brannock_record** record) { return create(record); }

int BRANNOCK_CALL brannock_record_free(brannock_record* record) { return destroy(record); }

int BRANNOCK_CALL brannock_record_clear(brannock_record* record)
{
    if (!record)
        return BRANNOCK_BAD_ARGUMENT;
    record->record.clear();
    record->textLength = 0;
    record->keysCurrent = false;
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_record_put(brannock_record* record, const char* key, size_t key_length, const char* value,
                                      size_t value_length)
{
    std::string_view k, v;
    if (!record)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArguments(sharedZoneSize - 1, key, key_length, k, value, value_length, v))
        return refused;
    return guarded([&] { return capi::putField(*record, k, v); });
}

int BRANNOCK_CALL brannock_record_get(brannock_record* record, const char* key, size_t key_length, const char** value,
                                      size_t* value_length)
{
    std::string_view k;
    if (!present(record, value, value_length))
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArgument(key, key_length, k))
        return refused;
    return guarded([&] {
        record->scratch = record->record.getField(std::string(k));
        return capi::handOut(record->scratch, value, value_length);
    });
}

int BRANNOCK_CALL brannock_record_count(brannock_record* record, size_t* count)
{
    if (!present(record, count))
        return BRANNOCK_BAD_ARGUMENT;
    *count = record->record.fieldCount();
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_record_key(brannock_record* record, size_t index, const char** key, size_t* key_length)
{
    if (!present(record, key, key_length))
        return BRANNOCK_BAD_ARGUMENT;
    return guarded([&] {
        const std::string* found = capi::keyAt(*record, index);
        return found ? capi::handOut(*found, key, key_length) : BRANNOCK_NO_MORE;
    });
}

int BRANNOCK_CALL brannock_repeat_create(brannock_repeat** repeat) { return create(repeat); }

int BRANNOCK_CALL brannock_repeat_free(brannock_repeat* repeat) { return destroy(repeat); }

int BRANNOCK_CALL brannock_repeat_put(brannock_repeat* repeat, const char* name, size_t name_length,
                                      const char* value, size_t value_length)
{
    std::string_view n, v;
    if (!repeat)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArguments(sharedZoneSize - 1, name, name_length, n, value, value_length, v))
        return refused;
    const RepeatField* field = repeatField(n);
    if (!field)
        return BRANNOCK_BAD_ARGUMENT;
    return guarded([&] { return field->put(repeat->repeat, v); });
}

int BRANNOCK_CALL brannock_repeat_get(brannock_repeat* repeat, const char* name, size_t name_length,
                                      const char** value, size_t* value_length)
{
    std::string_view n;
    if (!present(repeat, value, value_length))
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArgument(name, name_length, n))
        return refused;
    const RepeatField* field = repeatField(n);
    if (!field)
        return BRANNOCK_BAD_ARGUMENT;
    return guarded([&] {
        repeat->scratch = field->get(repeat->repeat);
        return capi::handOut(repeat->scratch, value, value_length);
    });
}

int BRANNOCK_CALL brannock_repeat_count(brannock_repeat* repeat, size_t* count)
{
    if (!present(repeat, count))
        return BRANNOCK_BAD_ARGUMENT;
    *count = repeatFieldCount;
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_repeat_key(brannock_repeat* repeat, size_t index, const char** name, size_t* name_length)
{
    if (!present(repeat, name, name_length))
        return BRANNOCK_BAD_ARGUMENT;
    if (index >= repeatFieldCount)
        return BRANNOCK_NO_MORE;
    *name = repeatFields[index].name;
    *name_length = std::char_traits<char>::length(*name);
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_repeat_parse(brannock_repeat* repeat, const char* text, size_t text_length)
{
    std::string_view t;
    if (!repeat)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArgument(text, text_length, t))
        return refused;
    return guarded([&] {
        Repeat parsed;
        parsed.parse(std::string(t));
        repeat->repeat = parsed;
        return BRANNOCK_OK;
    });
}

int BRANNOCK_CALL brannock_repeat_text(brannock_repeat* repeat, const char** text, size_t* text_length)
{
    if (!present(repeat, text, text_length))
        return BRANNOCK_BAD_ARGUMENT;
    return guarded([&] {
        repeat->scratch = repeat->repeat.save();
        return capi::handOut(repeat->scratch, text, text_length);
    });
}

int BRANNOCK_CALL brannock_list_create(brannock_list** list) { return create(list); }

int BRANNOCK_CALL brannock_list_free(brannock_list* list) { return destroy(list); }

int BRANNOCK_CALL brannock_list_clear(brannock_list* list)
{
    if (!list)
        return BRANNOCK_BAD_ARGUMENT;
    list->names.clear();
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_list_add(brannock_list* list, const char* name, size_t name_length)
{
    std::string_view n;
    if (!list)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArgument(name, name_length, n))
        return refused;
    return guarded([&] { return capi::addName(*list, n); });
}

int BRANNOCK_CALL brannock_list_count(brannock_list* list, size_t* count)
{
    if (!present(list, count))
        return BRANNOCK_BAD_ARGUMENT;
    *count = list->names.size();
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_list_get(brannock_list* list, size_t index, const char** name, size_t* name_length)
{
    if (!present(list, name, name_length))
        return BRANNOCK_BAD_ARGUMENT;
    if (index >= list->names.size())
        return BRANNOCK_NO_MORE;
    return capi::handOut(list->names[index], name, name_length);
}

}  // extern "C"
