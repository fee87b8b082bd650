#include "record/repeat.h"

#include "record/number_text.h"
#include "record/text_separators.h"

#include <algorithm>
#include <string_view>

using number_text::appendDecimal;
using number_text::readInt;
using number_text::takeField;

namespace {
constexpr char fieldEnd = separator::repeatFieldEnd;
constexpr char itemEnd = separator::repeatItemEnd;

/// Calls `use` with every item of a list text that is ended by 0xBF; an
/// unterminated last item is dropped. Stops early when `use` returns false.
template <typename Use>
void forEachItem(std::string_view list, Use use)
{
    for (std::size_t end = list.find(itemEnd); end != std::string_view::npos;
         end = list.find(itemEnd)) {
        if (!use(list.substr(0, end)))
            return;
        list.remove_prefix(end + 1);
    }
}
}  // namespace

Repeat::Repeat() noexcept
    : frequency_(0), numDaysToRepeat_(0), repeatType_(0), dayPattern_{}, dayOfWeek_(0),
      weekOfMonth_(0), dayOfMonth_(0), month_(0)
{
}

Repeat::Repeat(const Repeat& other) noexcept = default;
Repeat& Repeat::operator=(const Repeat& other) noexcept = default;
Repeat::~Repeat() noexcept = default;

void Repeat::setStartDate(const std::string& startDate) noexcept { startDate_ = startDate; }
std::string Repeat::getStartDate() const noexcept { return startDate_; }
void Repeat::setFrequency(long frequency) noexcept { frequency_ = frequency; }
long Repeat::getFrequency() const noexcept { return frequency_; }
void Repeat::setEndDate(const std::string& endDate) noexcept { endDate_ = endDate; }
std::string Repeat::getEndDate() const noexcept { return endDate_; }
void Repeat::setNumDaysToRepeat(int numDaysToRepeat) noexcept { numDaysToRepeat_ = numDaysToRepeat; }
int Repeat::getNumDaysToRepeat() const noexcept { return numDaysToRepeat_; }
void Repeat::setRepeatType(int repeatType) noexcept { repeatType_ = repeatType; }
int Repeat::getRepeatType() const noexcept { return repeatType_; }

void Repeat::setDayPattern(int* dayPattern) noexcept
{
    std::copy(dayPattern, dayPattern + dayPatternSize, dayPattern_);
}

void Repeat::getDayPattern(int* dayPattern) const noexcept
{
    std::copy(dayPattern_, dayPattern_ + dayPatternSize, dayPattern);
}

void Repeat::setDayOfWeek(int dayOfWeek) noexcept { dayOfWeek_ = dayOfWeek; }
int Repeat::getDayOfWeek() const noexcept { return dayOfWeek_; }
void Repeat::setWeekOfMonth(int weekOfMonth) noexcept { weekOfMonth_ = weekOfMonth; }
int Repeat::getWeekOfMonth() const noexcept { return weekOfMonth_; }
void Repeat::setDayOfMonth(int dayOfMonth) noexcept { dayOfMonth_ = dayOfMonth; }
int Repeat::getDayOfMonth() const noexcept { return dayOfMonth_; }
void Repeat::setMonth(int month) noexcept { month_ = month; }
int Repeat::getMonth() const noexcept { return month_; }

void Repeat::setExclusionDates(const std::vector<std::string>& exclusionDates) noexcept
{
    exclusionDates_ = exclusionDates;
}

std::vector<std::string> Repeat::getExclusionDates() const noexcept
{
    return exclusionDates_;
}

std::string Repeat::save() const noexcept
{
    std::string text;
    const auto number = [&text](long long value) {
        appendDecimal(text, value);
        text += fieldEnd;
    };
    const auto bytes = [&text](const std::string& value) {
        text += value;
        text += fieldEnd;
    };
    bytes(startDate_);
    number(frequency_);
    bytes(endDate_);
    number(numDaysToRepeat_);
    number(repeatType_);
    bytes(saveIntArray(dayPatternSize, dayPattern_));
    number(dayOfWeek_);
    number(weekOfMonth_);
    number(dayOfMonth_);
    number(month_);
    bytes(saveStringVector(exclusionDates_));
    return text;
}

// A text with fewer than eleven fields leaves the missing string fields
// empty, the missing numbers 0, and the lists as they were.
void Repeat::parse(const std::string& text) noexcept
{
    if (text.empty())
        return;
    std::string_view cursor(text);
    const auto next = [&cursor] { return takeField(cursor, fieldEnd); };
    startDate_ = std::string(next());
    frequency_ = readInt(next());
    endDate_ = std::string(next());
    numDaysToRepeat_ = readInt(next());
    repeatType_ = readInt(next());
    parseIntArray(std::string(next()), dayPatternSize, dayPattern_);
    dayOfWeek_ = readInt(next());
    weekOfMonth_ = readInt(next());
    dayOfMonth_ = readInt(next());
    month_ = readInt(next());
    parseStringVector(std::string(next()), exclusionDates_);
}

std::string Repeat::saveIntArray(int n, const int* values) const noexcept
{
    std::string text;
    for (int i = 0; i < n; ++i) {
        appendDecimal(text, values[i]);
        text += itemEnd;
    }
    return text;
}

void Repeat::parseIntArray(const std::string& text, int n, int* values) const noexcept
{
    int stored = 0;
    forEachItem(text, [&](std::string_view item) {
        if (stored >= n)
            return false;
        values[stored++] = readInt(item);
        return true;
    });
}

std::string Repeat::saveStringVector(const std::vector<std::string>& strings) const noexcept
{
    std::string text;
    for (const std::string& value : strings) {
        text += value;
        text += itemEnd;
    }
    return text;
}

void Repeat::parseStringVector(const std::string& text, std::vector<std::string>& strings) const noexcept
{
    forEachItem(text, [&strings](std::string_view item) {
        strings.emplace_back(item);
        return true;
    });
}
