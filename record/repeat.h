#pragma once

#include "record/brannock_api.h"

#include <string>
#include <vector>

/// How a calendar event or a to-do item recurs, with its own text form:
/// eleven fields, each ended by the byte 0xA7; the day pattern and the
/// exclusion dates are lists whose items are each ended by the byte 0xBF.
/// Setters store without any check of range or form.
///
/// Every member is noexcept: running out of memory ends the process (see
/// brannock_api.h).
class BRANNOCK_API Repeat {
public:
    /// Number of entries of the day pattern, index 0 = Sunday.
    static constexpr int dayPatternSize = 7;

    /// Empty strings, every number 0, no exclusion dates.
    Repeat() noexcept;
    Repeat(const Repeat& other) noexcept;
    Repeat& operator=(const Repeat& other) noexcept;
    ~Repeat() noexcept;

    /// Date text of the first occurrence.
    void setStartDate(const std::string& startDate) noexcept;
    std::string getStartDate() const noexcept;
    /// Interval in days, weeks, months or years, by repeat type.
    void setFrequency(long frequency) noexcept;
    long getFrequency() const noexcept;
    /// Date text of the last possible occurrence, or a no-end marker.
    void setEndDate(const std::string& endDate) noexcept;
    std::string getEndDate() const noexcept;
    /// Length of the run of weekdays for repeat type 2.
    void setNumDaysToRepeat(int numDaysToRepeat) noexcept;
    int getNumDaysToRepeat() const noexcept;
    /// Kind of recurrence: 1 daily, 2 weekly run, 3 monthly by date,
    /// 4 monthly by weekday, 5 yearly, 12 weekly by day pattern.
    void setRepeatType(int repeatType) noexcept;
    int getRepeatType() const noexcept;
    /// Copies exactly seven flags from `dayPattern`. The array is only read;
    /// the parameter is a plain `int*` because engines link against that
    /// exported signature.
    void setDayPattern(int* dayPattern) noexcept;
    /// Copies exactly seven flags into `dayPattern`.
    void getDayPattern(int* dayPattern) const noexcept;
    /// Weekday, 1 = Sunday ... 7 = Saturday.
    void setDayOfWeek(int dayOfWeek) noexcept;
    int getDayOfWeek() const noexcept;
    /// Which occurrence of the weekday within the month, 1 ... 5.
    void setWeekOfMonth(int weekOfMonth) noexcept;
    int getWeekOfMonth() const noexcept;
    /// Day of the month, 1 ... 31.
    void setDayOfMonth(int dayOfMonth) noexcept;
    int getDayOfMonth() const noexcept;
    /// Month, 1 = January ... 12 = December.
    void setMonth(int month) noexcept;
    int getMonth() const noexcept;
    /// Replaces the date texts of skipped occurrences.
    void setExclusionDates(const std::vector<std::string>& exclusionDates) noexcept;
    std::vector<std::string> getExclusionDates() const noexcept;

    /// The recurrence text.
    std::string save() const noexcept;
    /// Reads a recurrence text into this object; the empty text changes
    /// nothing, and exclusion dates are appended to those already held.
    void parse(const std::string& text) noexcept;

private:
    /// Each of the first n values in decimal followed by 0xBF.
    std::string saveIntArray(int n, const int* values) const noexcept;
    /// Stores the first n items ended by 0xBF, read as by atoi, into values.
    void parseIntArray(const std::string& text, int n, int* values) const noexcept;
    /// Each string followed by 0xBF.
    std::string saveStringVector(const std::vector<std::string>& strings) const noexcept;
    /// Appends every item ended by 0xBF to strings.
    void parseStringVector(const std::string& text, std::vector<std::string>& strings) const noexcept;

    std::string startDate_;
    long frequency_;
    std::string endDate_;
    int numDaysToRepeat_;
    int repeatType_;
    int dayPattern_[dayPatternSize];
    int dayOfWeek_;
    int weekOfMonth_;
    int dayOfMonth_;
    int month_;
    std::vector<std::string> exclusionDates_;
};
