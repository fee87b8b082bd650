#include "tools/cli_record_json.h"

#include <windows.h>

#include <climits>

#include "channel/travel_rules.h"
#include "sections/field_keys.h"
#include "tools/cli_failure.h"
#include "win/ansi.h"

namespace cli {
namespace {

/// Throws when `text` cannot travel in `place` (channel/travel_rules.h).
void refuseBytes(const std::string& text, TextPlace place, const std::string& where) {
    const std::size_t at = firstUntravellable(text, place);
    if (at == std::string::npos) return;
    if (text[at] == '\0') throw badInput(where + ": holds a NUL character, which cannot travel");
    throw badInput(where + ": the character \"" + ansiToUtf8(text.substr(at, 1)) +
                   "\" cannot travel to Palm Desktop (it separates the parts of the channel's text)");
}

std::string textMember(const Json& value, const std::string& where) {
    if (!value.is_string()) throw badInput(where + ": must be a text");
    return value.get<std::string>();
}

long numberMember(const Json& value, const std::string& where) {
    if (!value.is_number_integer()) throw badInput(where + ": must be a whole number");
    const bool inRange = value.is_number_unsigned() ? value.get<unsigned long long>() <= LONG_MAX
                                                    : value.get<long long>() >= LONG_MIN &&
                                                          value.get<long long>() <= LONG_MAX;
    if (!inRange) throw badInput(where + ": is out of range");
    return value.get<long>();
}

/// A recurrence text member, in ANSI, free of the recurrence's separators.
std::string repeatText(const Json& value, const std::string& where) {
    std::string text = utf8ToAnsi(textMember(value, where), where);
    refuseBytes(text, TextPlace::RepeatItem, where);
    return text;
}

/// The decoded form of the recurrence text `text`, or the text itself when
/// decoding would not give it back unchanged.
Json decodedRepeat(const std::string& text) {
    Repeat repeat;
    repeat.parse(text);
    if (repeat.save() != text) return ansiToUtf8(text);
    return repeatToJson(repeat);
}

}  // namespace

std::string ansiToUtf8(const std::string& ansi) { return win::ansiToUtf8(ansi); }

std::string utf8ToAnsi(const std::string& utf8, const std::string& where) {
    std::string ansi;
    if (!win::utf8ToAnsi(utf8, ansi))
        throw badInput(where + ": holds characters that the ANSI code page (" + std::to_string(::GetACP()) +
                       ") cannot represent");
    return ansi;
}

std::vector<std::pair<std::string, std::string>> fieldsOf(const Record& record) {
    std::vector<std::pair<std::string, std::string>> fields;
    record.forEachField([&](const std::string& key, const std::string& value) { fields.emplace_back(key, value); });
    return fields;
}

Json recordToJson(const Record& record, RepeatForm form) {
    Json object = Json::object();
    const auto fields = fieldsOf(record);
    for (const auto& [key, value] : fields)
        if (key == fieldkey::RecordId) object[key] = ansiToUtf8(value);
    for (const auto& [key, value] : fields) {
        if (key == fieldkey::RecordId) continue;
        const bool decode = key == fieldkey::Repeat && form == RepeatForm::Decoded && !value.empty();
        object[ansiToUtf8(key)] = decode ? decodedRepeat(value) : Json(ansiToUtf8(value));
    }
    return object;
}

Record recordFromJson(const Json& object, const std::string& where) {
    if (!object.is_object()) throw badInput(where + ": must be an object mapping field keys to values");
    Record record;
    for (auto member = object.begin(); member != object.end(); ++member) {
        const std::string fieldWhere = where + ", field \"" + member.key() + "\"";
        const std::string key = utf8ToAnsi(member.key(), fieldWhere);
        refuseBytes(key, TextPlace::FieldKey, fieldWhere);
        std::string value;
        if (key == fieldkey::Repeat && member->is_object())
            value = repeatFromJson(*member, fieldWhere).save();
        else if (member->is_string())
            value = utf8ToAnsi(member->get<std::string>(), fieldWhere);
        else
            throw badInput(fieldWhere + ": must be a text" +
                           (key == fieldkey::Repeat ? " or a decoded recurrence object" : ""));
        refuseBytes(value, TextPlace::FieldValue, fieldWhere);
        record.putField(key, value);
    }
    return record;
}

Json repeatToJson(const Repeat& repeat) {
    int pattern[Repeat::dayPatternSize] = {};
    repeat.getDayPattern(pattern);
    Json exclusions = Json::array();
    for (const std::string& date : repeat.getExclusionDates()) exclusions.push_back(ansiToUtf8(date));
    Json object = Json::object();
    object["startDate"] = ansiToUtf8(repeat.getStartDate());
    object["frequency"] = repeat.getFrequency();
    object["endDate"] = ansiToUtf8(repeat.getEndDate());
    object["numDaysToRepeat"] = repeat.getNumDaysToRepeat();
    object["repeatType"] = repeat.getRepeatType();
    object["dayPattern"] = Json(std::vector<int>(pattern, pattern + Repeat::dayPatternSize));
    object["dayOfWeek"] = repeat.getDayOfWeek();
    object["weekOfMonth"] = repeat.getWeekOfMonth();
    object["dayOfMonth"] = repeat.getDayOfMonth();
    object["month"] = repeat.getMonth();
    object["exclusionDates"] = std::move(exclusions);
    return object;
}

Repeat repeatFromJson(const Json& object, const std::string& where) {
    Repeat repeat;
    for (auto member = object.begin(); member != object.end(); ++member) {
        const std::string& name = member.key();
        const std::string at = where + ", \"" + name + "\"";
        const Json& value = *member;
        auto number = [&] { return static_cast<int>(numberMember(value, at)); };
        if (name == "startDate") {
            repeat.setStartDate(repeatText(value, at));
        } else if (name == "frequency") {
            repeat.setFrequency(numberMember(value, at));
        } else if (name == "endDate") {
            repeat.setEndDate(repeatText(value, at));
        } else if (name == "numDaysToRepeat") {
            repeat.setNumDaysToRepeat(number());
        } else if (name == "repeatType") {
            repeat.setRepeatType(number());
        } else if (name == "dayPattern") {
            if (!value.is_array() || value.size() != Repeat::dayPatternSize)
                throw badInput(at + ": must be a list of 7 numbers, Sunday first");
            int pattern[Repeat::dayPatternSize] = {};
            for (int day = 0; day < Repeat::dayPatternSize; ++day)
                pattern[day] = static_cast<int>(numberMember(value[day], at + "[" + std::to_string(day) + "]"));
            repeat.setDayPattern(pattern);
        } else if (name == "dayOfWeek") {
            repeat.setDayOfWeek(number());
        } else if (name == "weekOfMonth") {
            repeat.setWeekOfMonth(number());
        } else if (name == "dayOfMonth") {
            repeat.setDayOfMonth(number());
        } else if (name == "month") {
            repeat.setMonth(number());
        } else if (name == "exclusionDates") {
            if (!value.is_array()) throw badInput(at + ": must be a list of date texts");
            std::vector<std::string> dates;
            for (std::size_t i = 0; i < value.size(); ++i)
                dates.push_back(repeatText(value[i], at + "[" + std::to_string(i) + "]"));
            repeat.setExclusionDates(dates);
        } else {
            throw badInput(at + ": a recurrence has no such member");
        }
    }
    return repeat;
}

Json parseJson(const std::string& text, const std::string& source) {
    try {
        return Json::parse(text);
    } catch (const Json::parse_error& error) {
        // The position of the last byte read, as line and column (1-based).
        const std::size_t end = std::min<std::size_t>(error.byte, text.size());
        std::size_t line = 1, lineStart = 0;
        for (std::size_t i = 0; i + 1 < end; ++i)
            if (text[i] == '\n') ++line, lineStart = i + 1;
        const std::size_t column = end > lineStart ? end - lineStart : 1;
        std::string reason = error.what();
        const std::size_t syntax = reason.find("syntax error");
        if (syntax != std::string::npos) reason = reason.substr(syntax);
        throw badInput(source + ": bad JSON at line " + std::to_string(line) + ", column " + std::to_string(column) +
                       ": " + reason);
    }
}

std::vector<Record> recordsFromJson(const Json& document, const std::string& source) {
    if (!document.is_array()) throw badInput(source + ": must hold a JSON array of record objects");
    std::vector<Record> records;
    records.reserve(document.size());
    for (std::size_t i = 0; i < document.size(); ++i)
        records.push_back(recordFromJson(document[i], source + ", record " + std::to_string(i + 1)));
    return records;
}

}  // namespace cli
