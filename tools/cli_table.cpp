#include "tools/cli_table.h"

#include <algorithm>
#include <vector>

#include "sections/field_keys.h"

namespace cli {
namespace {

using Row = std::vector<std::string>;

/// Cells wider than this are cut, with an ellipsis.
constexpr std::size_t kMaxCellWidth = 36;
constexpr char kEllipsis[] = "\xE2\x80\xA6";

/// Characters in UTF-8 text (continuation bytes not counted).
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

/// `text` on one line and at most kMaxCellWidth characters wide.
std::string cell(std::string text) {
    for (std::size_t at; (at = text.find_first_of("\r\n\t")) != std::string::npos;) {
        const std::size_t end = text.find_first_not_of("\r\n\t", at);
        text.replace(at, (end == std::string::npos ? text.size() : end) - at, text[at] == '\t' ? " " : " / ");
    }
    if (displayWidth(text) <= kMaxCellWidth) return text;
    std::size_t kept = 0, at = 0;
    while (at < text.size() && kept < kMaxCellWidth - 1) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
        ++kept;
    }
    return text.substr(0, at) + kEllipsis;
}

std::string field(const Json& record, const char* key) {
    auto found = record.find(key);
    return found != record.end() && found->is_string() ? found->get<std::string>() : std::string();
}

/// "YYYYMMDD" as "YYYY-MM-DD"; other texts unchanged.
std::string dateOf(const std::string& text) {
    if (text.size() != 8) return text;
    return text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
}

/// "HHMM" as "HH:MM"; other texts unchanged.
std::string timeOf(const std::string& text) {
    if (text.size() != 4) return text;
    return text.substr(0, 2) + ":" + text.substr(2, 2);
}

std::string joined(std::initializer_list<std::string> parts, const char* separator = " ") {
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

std::string flag(const std::string& value) { return value == "0" || value.empty() ? "" : "yes"; }

/// The recurrence of a record's "Repeat" field, in either form; empty when
/// the record has none.
std::string repeatOf(const Json& record) {
    auto found = record.find(fieldkey::Repeat);
    if (found == record.end()) return {};
    try {
        if (found->is_object()) return describeRepeat(repeatFromJson(*found, "Repeat"));
        if (found->is_string() && !found->get<std::string>().empty()) {
            Repeat repeat;
            repeat.parse(utf8ToAnsi(found->get<std::string>(), "Repeat"));
            return describeRepeat(repeat);
        }
    } catch (const std::exception&) {
        return "?";
    }
    return {};
}

Row contactRow(const Json& r) {
    namespace key = fieldkey::contact;
    std::string phone;
    for (const char* phoneKey : {key::PhoneBusiness, key::PhoneMobile, key::PhoneHome, key::PhoneMain, key::PhoneOther})
        if (phone.empty()) phone = field(r, phoneKey);
    return {joined({field(r, key::FirstName), field(r, key::MiddleName), field(r, key::LastName)}),
            field(r, key::CompanyName),
            field(r, key::Category),
            phone,
            field(r, key::EMail1Address),
            joined({field(r, key::BusinessCity), field(r, key::BusinessCountry)}, ", ")};
}

Row eventRow(const Json& r) {
    namespace key = fieldkey::calendar;
    const std::string start = field(r, key::StartTime);
    const std::string time = start.empty() ? "(all day)" : timeOf(start) + "-" + timeOf(field(r, key::EndTime));
    const std::string alarm =
        field(r, key::AlarmFlag) == "1" ? dateOf(field(r, key::AlarmDate)) + " " + timeOf(field(r, key::AlarmTime)) : "";
    return {dateOf(field(r, key::StartDate)), time, field(r, key::Description), field(r, key::Location),
            repeatOf(r), alarm};
}

Row todoRow(const Json& r) {
    namespace key = fieldkey::todo;
    return {field(r, key::Description), dateOf(field(r, key::DueDate)), field(r, key::Priority),
            flag(field(r, key::CompletedFlag)), field(r, key::Category), repeatOf(r)};
}

Row memoRow(const Json& r) {
    namespace key = fieldkey::memo;
    const std::string body = field(r, key::Body);
    return {field(r, key::Title), field(r, key::Category), std::to_string(displayWidth(body)) + " chars",
            flag(field(r, key::Private)), body};
}

std::string render(const Row& heading, const std::vector<Row>& rows) {
    std::vector<std::size_t> widths(heading.size());
    for (std::size_t c = 0; c < heading.size(); ++c) widths[c] = displayWidth(heading[c]);
    for (const Row& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], displayWidth(row[c]));
    auto line = [&](const Row& row) {
        std::string out = " ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            out += row[c];
            if (c + 1 < row.size()) out += std::string(widths[c] - displayWidth(row[c]) + 2, ' ');
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        return out + "\n";
    };
    std::string out = line(heading);
    Row rule;
    for (std::size_t width : widths) rule.push_back(std::string(width, '-'));
    out += line(rule);
    for (const Row& row : rows) out += line(row);
    return out;
}

}  // namespace

std::string describeRepeat(const Repeat& repeat) {
    static const char* const weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const ordinals[] = {"1st", "2nd", "3rd", "4th", "last"};
    const long every = repeat.getFrequency();
    auto interval = [every](const char* single, const char* plural) {
        return every > 1 ? "every " + std::to_string(every) + " " + plural : std::string(single);
    };
    auto weekday = [](int day) { return day >= 1 && day <= 7 ? std::string(weekdays[day - 1]) : std::string("?"); };
    std::string text;
    switch (repeat.getRepeatType()) {
    case 1:
        text = interval("daily", "days");
        break;
    case 2:
        text = interval("weekly", "weeks") + ", " + std::to_string(repeat.getNumDaysToRepeat()) + " days from " +
               weekday(repeat.getDayOfWeek());
        break;
    case 3:
        text = interval("monthly", "months") + " on day " + std::to_string(repeat.getDayOfMonth());
        break;
    case 4: {
        const int week = repeat.getWeekOfMonth();
        text = interval("monthly", "months") + ", " + (week >= 1 && week <= 5 ? ordinals[week - 1] : "?") + " " +
               weekday(repeat.getDayOfWeek());
        break;
    }
    case 5: {
        const int month = repeat.getMonth();
        text = interval("yearly", "years") + " on " + std::to_string(repeat.getDayOfMonth()) + " " +
               (month >= 1 && month <= 12 ? months[month - 1] : "?");
        break;
    }
    case 12: {
        int pattern[Repeat::dayPatternSize] = {};
        repeat.getDayPattern(pattern);
        text = interval("weekly", "weeks");
        for (int day = 0; day < Repeat::dayPatternSize; ++day)
            if (pattern[day] != 0) text += std::string(" ") + weekdays[day];
        break;
    }
    default:
        text = "repeat type " + std::to_string(repeat.getRepeatType());
    }
    const std::string end = repeat.getEndDate();
    if (end.size() == 8) text += " until " + dateOf(end);
    const std::size_t skipped = repeat.getExclusionDates().size();
    if (skipped > 0) text += ", " + std::to_string(skipped) + " skipped";
    return text;
}

std::string recordTable(Section section, const Json& records) {
    Row heading;
    Row (*rowOf)(const Json&) = nullptr;
    switch (section) {
    case SectionContact:
        heading = {"Name", "Company", "Category", "Phone", "E-mail", "City"};
        rowOf = contactRow;
        break;
    case SectionCalendar:
        heading = {"Date", "Time", "Description", "Location", "Repeats", "Alarm"};
        rowOf = eventRow;
        break;
    case SectionTodo:
        heading = {"Description", "Due", "Priority", "Done", "Category", "Repeats"};
        rowOf = todoRow;
        break;
    default:
        heading = {"Title", "Category", "Length", "Private", "Text"};
        rowOf = memoRow;
        break;
    }
    std::vector<Row> rows;
    for (const Json& record : records) {
        Row row = rowOf(record);
        for (std::string& text : row) text = cell(std::move(text));
        rows.push_back(std::move(row));
    }
    return render(heading, rows) + " (" + std::to_string(rows.size()) + (rows.size() == 1 ? " record)\n" : " records)\n");
}

}  // namespace cli
