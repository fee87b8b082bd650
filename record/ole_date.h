#pragma once

#include "record/date_time.h"

#include <cstdint>

// The platform's date conversions: OLE Automation on Windows, the same
// arithmetic (including its roll-over of out-of-range fields) elsewhere.

/// As VariantTimeToSystemTime; false when the value is out of range.
bool variantTimeToFields(double date, DateTimeFields& fields);
/// As SystemTimeToVariantTime; false when the platform rejects the fields.
bool fieldsToVariantTime(const DateTimeFields& fields, double& date);
/// As FileTimeToSystemTime, for a count of 100-nanosecond intervals since
/// 1601-01-01 00:00.
void fileTimeToFields(std::uint64_t fileTime100ns, DateTimeFields& fields);
