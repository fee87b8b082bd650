#include "standin/standin_data_file.h"

#include <windows.h>
#include <oleauto.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "win/ansi.h"

namespace standin {
namespace {

using Json = nlohmann::ordered_json;

// Each stored struct names its members once; the writer and the reader walk
// the same list.
template <typename T>
struct Fields;

template <>
struct Fields<PhoneEntry> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("label", s.label);
        f("text", s.text);
    }
};

template <>
struct Fields<PostalAddress> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("street", s.street);
        f("city", s.city);
        f("state", s.state);
        f("zip", s.zip);
        f("country", s.country);
    }
};

template <>
struct Fields<ImEntry> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("kind", s.kind);
        f("text", s.text);
    }
};

template <>
struct Fields<ContactData> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("category", s.category);
        f("firstName", s.firstName);
        f("lastName", s.lastName);
        f("jobTitle", s.jobTitle);
        f("company", s.company);
        f("addresses", s.addresses);
        f("note", s.note);
        f("custom", s.custom);
        f("private", s.isPrivate);
        f("phones", s.phones);
        f("readingFirstName", s.readingFirstName);
        f("readingLastName", s.readingLastName);
        f("readingCompany", s.readingCompany);
        f("webSite", s.webSite);
        f("birthday", s.birthday);
        f("ims", s.ims);
        f("extended", s.extended);
    }
};

template <>
struct Fields<MemoData> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("category", s.category);
        f("text", s.text);
        f("private", s.isPrivate);
    }
};

template <>
struct Fields<TodoRepeatRule> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("kind", s.kind);
        f("extra", s.extra);
        f("interval", s.interval);
        f("end", s.end);
        f("mask", s.mask);
    }
};

template <>
struct Fields<TodoData> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("category", s.category);
        f("description", s.description);
        f("priority", s.priority);
        f("dueDate", s.dueDate);
        f("completed", s.completed);
        f("note", s.note);
        f("private", s.isPrivate);
        f("repeating", s.repeating);
        f("repeat", s.repeat);
        f("alarmFlag", s.alarmFlag);
        f("alarmMoment", s.alarmMoment);
        f("alarmDaysBefore", s.alarmDaysBefore);
        f("extended", s.extended);
    }
};

template <>
struct Fields<EventRepeatRule> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("kind", s.kind);
        f("interval", s.interval);
        f("end", s.end);
        f("mask", s.mask);
    }
};

template <>
struct Fields<EventData> {
    template <typename S, typename F>
    static void visit(S& s, F&& f) {
        f("start", s.start);
        f("end", s.end);
        f("untimed", s.untimed);
        f("description", s.description);
        f("note", s.note);
        f("alarmFlag", s.alarmFlag);
        f("alarmLeadUnit", s.alarmLeadUnit);
        f("alarmLeadCount", s.alarmLeadCount);
        f("repeating", s.repeating);
        f("repeat", s.repeat);
        f("exceptions", s.exceptions);
        f("category", s.category);
        f("private", s.isPrivate);
        f("location", s.location);
        f("extended", s.extended);
    }
};

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw DataFileError(where + ": " + what); }

// ---- dates -----------------------------------------------------------------

/// The text naming `date` exactly, or nothing (empty) when none does.
std::string dateText(DATE date) {
    SYSTEMTIME fields = {};
    if (!::VariantTimeToSystemTime(date, &fields)) return {};
    char text[32];
    if (fields.wSecond != 0)
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", fields.wYear, fields.wMonth, fields.wDay,
                      fields.wHour, fields.wMinute, fields.wSecond);
    else if (fields.wHour != 0 || fields.wMinute != 0)
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", fields.wYear, fields.wMonth, fields.wDay,
                      fields.wHour, fields.wMinute);
    else
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", fields.wYear, fields.wMonth, fields.wDay);
    fields.wDayOfWeek = 0;
    fields.wMilliseconds = 0;
    DATE back = 0.0;
    if (!::SystemTimeToVariantTime(&fields, &back) || back != date) return {};
    return text;
}

/// The date value of a text "YYYY-MM-DD[ HH:MM[:SS]]"; false when the text
/// has another form or names no real moment.
bool parseDateText(const std::string& text, DATE& date) {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int used = 0;
    const int read = std::sscanf(text.c_str(), "%4u-%2u-%2u%n %2u:%2u%n:%2u%n", &year, &month, &day, &used, &hour,
                                 &minute, &used, &second, &used);
    if ((read != 3 && read != 5 && read != 6) || static_cast<size_t>(used) != text.size()) return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return false;
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    if (!::SystemTimeToVariantTime(&fields, &date)) return false;
    // SystemTimeToVariantTime rolls 31 April over into 1 May; refuse that.
    SYSTEMTIME back = {};
    return ::VariantTimeToSystemTime(date, &back) && back.wDay == fields.wDay;
}

// ---- writing ---------------------------------------------------------------

Json toJson(const std::wstring& text) { return win::toNarrow(text, CP_UTF8); }
Json toJson(long number) { return number; }
Json toJson(bool flag) { return flag; }
Json toJson(DATE date) {
    if (date == 0.0) return 0;
    std::string text = dateText(date);
    if (text.empty()) return date;
    return text;
}

template <typename T>
Json toJson(const T& value);

template <typename T, std::size_t N>
Json toJson(const std::array<T, N>& values) {
    Json out = Json::array();
    for (const T& value : values) out.push_back(toJson(value));
    return out;
}

template <typename T>
Json toJson(const std::vector<T>& values) {
    Json out = Json::array();
    for (const T& value : values) out.push_back(toJson(value));
    return out;
}

template <typename T>
Json toJson(const T& value) {
    Json out = Json::object();
    Fields<T>::visit(value, [&out](const char* name, const auto& member) { out[name] = toJson(member); });
    return out;
}

/// Drops from `value` what equals `defaults`: object members, and trailing
/// elements of positional arrays (arrays as long as their defaults).
void prune(Json& value, const Json& defaults) {
    if (value.is_object() && defaults.is_object()) {
        for (auto member = defaults.begin(); member != defaults.end(); ++member) {
            auto found = value.find(member.key());
            if (found == value.end()) continue;
            if (*found == *member)
                value.erase(found);
            else
                prune(*found, *member);
        }
    } else if (value.is_array() && defaults.is_array() && value.size() == defaults.size()) {
        size_t keep = value.size();
        while (keep > 0 && value[keep - 1] == defaults[keep - 1]) --keep;
        for (size_t i = 0; i < keep; ++i) prune(value[i], defaults[i]);
        value.erase(value.begin() + static_cast<std::ptrdiff_t>(keep), value.end());
    }
}

template <typename Data>
Json sectionToJson(const ItemSection<Data>& section) {
    Json out = Json::object();
    out["categories"] = toJson(section.categories());
    const Json defaults = toJson(Data{});
    Json items = Json::array();
    for (const auto& item : section.items()) {
        Json json = toJson(static_cast<const Data&>(*item));
        prune(json, defaults);
        items.push_back(std::move(json));
    }
    out["items"] = std::move(items);
    return out;
}

// ---- reading ---------------------------------------------------------------

void fromJson(const Json& json, std::wstring& text, const std::string& where) {
    if (!json.is_string()) fail(where, "must be a text");
    text = win::toWide(json.get<std::string>(), CP_UTF8);
}

void fromJson(const Json& json, long& number, const std::string& where) {
    if (!json.is_number_integer()) fail(where, "must be a whole number");
    const bool inRange = json.is_number_unsigned() ? json.get<unsigned long long>() <= LONG_MAX
                                                   : json.get<long long>() >= LONG_MIN;
    if (!inRange) fail(where, "is out of range");
    number = json.get<long>();
}

void fromJson(const Json& json, bool& flag, const std::string& where) {
    if (!json.is_boolean()) fail(where, "must be true or false");
    flag = json.get<bool>();
}

void fromJson(const Json& json, DATE& date, const std::string& where) {
    if (json.is_number()) {
        date = json.get<double>();
    } else if (!json.is_string() || !parseDateText(json.get<std::string>(), date)) {
        fail(where, "must be a date \"YYYY-MM-DD\", \"YYYY-MM-DD HH:MM\" or a date value");
    }
}

template <typename T>
void fromJson(const Json& json, T& value, const std::string& where);

template <typename T, std::size_t N>
void fromJson(const Json& json, std::array<T, N>& values, const std::string& where) {
    if (!json.is_array()) fail(where, "must be a list");
    if (json.size() > N) fail(where, "holds more than " + std::to_string(N) + " entries");
    for (size_t i = 0; i < json.size(); ++i) fromJson(json[i], values[i], where + "[" + std::to_string(i) + "]");
}

template <typename T>
void fromJson(const Json& json, std::vector<T>& values, const std::string& where) {
    if (!json.is_array()) fail(where, "must be a list");
    values.clear();
    for (size_t i = 0; i < json.size(); ++i) {
        values.emplace_back();
        fromJson(json[i], values.back(), where + "[" + std::to_string(i) + "]");
    }
}

template <typename T>
void fromJson(const Json& json, T& value, const std::string& where) {
    if (!json.is_object()) fail(where, "must be an object");
    std::set<std::string> known;
    Fields<T>::visit(value, [&](const char* name, auto& member) {
        known.insert(name);
        auto found = json.find(name);
        if (found != json.end()) fromJson(*found, member, where + "." + name);
    });
    for (auto member = json.begin(); member != json.end(); ++member)
        if (!known.count(member.key())) fail(where, "has no field \"" + member.key() + "\"");
}

template <typename Data>
ItemSection<Data> sectionFromJson(const Json& json, const std::string& where) {
    ItemSection<Data> section;
    if (!json.is_object()) fail(where, "must be an object");
    for (auto member = json.begin(); member != json.end(); ++member)
        if (member.key() != "categories" && member.key() != "items")
            fail(where, "has no member \"" + member.key() + "\"");
    if (auto categories = json.find("categories"); categories != json.end()) {
        std::vector<std::wstring> names;
        fromJson(*categories, names, where + ".categories");
        for (const std::wstring& name : names) section.addCategory(name);
    }
    if (auto items = json.find("items"); items != json.end()) {
        if (!items->is_array()) fail(where + ".items", "must be a list");
        for (size_t i = 0; i < items->size(); ++i) {
            Data data;
            fromJson((*items)[i], data, where + ".items[" + std::to_string(i) + "]");
            section.add(std::move(data));
        }
    }
    return section;
}

template <typename Data>
void adoptSection(ItemSection<Data>& target, ItemSection<Data>&& loaded) {
    loaded.extendNewItems = target.extendNewItems;
    target.clear();
    target = std::move(loaded);
}

}  // namespace

std::string dataSetToJson(const DesktopState& state) {
    Json json = Json::object();
    json["contacts"] = sectionToJson(state.contacts);
    json["calendar"] = sectionToJson(state.calendar);
    json["todos"] = sectionToJson(state.todos);
    json["memos"] = sectionToJson(state.memos);
    return json.dump(2) + "\n";
}

void dataSetFromJson(const std::string& text, DesktopState& state) {
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& error) {
        throw DataFileError(error.what());
    }
    if (!json.is_object()) fail("the data set", "must be an object");
    static const char* const sections[] = {"contacts", "calendar", "todos", "memos"};
    for (auto member = json.begin(); member != json.end(); ++member)
        if (std::find(std::begin(sections), std::end(sections), member.key()) == std::end(sections))
            fail("the data set", "has no section \"" + member.key() + "\"");
    const Json empty = Json::object();
    auto section = [&](const char* name) -> const Json& {
        auto found = json.find(name);
        return found == json.end() ? empty : *found;
    };
    auto contacts = sectionFromJson<ContactData>(section("contacts"), "contacts");
    auto calendar = sectionFromJson<EventData>(section("calendar"), "calendar");
    auto todos = sectionFromJson<TodoData>(section("todos"), "todos");
    auto memos = sectionFromJson<MemoData>(section("memos"), "memos");
    adoptSection(state.contacts, std::move(contacts));
    adoptSection(state.calendar, std::move(calendar));
    adoptSection(state.todos, std::move(todos));
    adoptSection(state.memos, std::move(memos));
}

void loadDataFile(const std::string& path, DesktopState& state) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw DataFileError("cannot open " + path);
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw DataFileError("cannot read " + path);
    try {
        dataSetFromJson(text.str(), state);
    } catch (const DataFileError& error) {
        throw DataFileError(path + ": " + error.what());
    }
}

void saveDataFile(const std::string& path, const DesktopState& state) {
    const std::string text = dataSetToJson(state);
    const std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            ::DeleteFileA(partial.c_str());
            throw DataFileError("cannot write " + partial);
        }
    }
    if (!::MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(partial.c_str());
        throw DataFileError("cannot replace " + path);
    }
}

}  // namespace standin
