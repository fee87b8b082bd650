#pragma once

#include "record/record.h"

#include <random>
#include <string>
#include <vector>

/// A contact with every field filled that exports back equal: the first name without a blank (Palm Desktop's one
/// name field would split it), at most seven of the eight phones (Palm Desktop shows seven).
Record randomContact(std::mt19937& random, const std::vector<std::string>& categories);
/// A memo: a title of up to 255 bytes, a body of several lines.
Record randomMemo(std::mt19937& random, const std::vector<std::string>& categories);
/// The keys a contact record carries, "RecordId" included.
std::vector<std::string> contactKeys();
/// The keys a memo record carries, "RecordId" included.
std::vector<std::string> memoKeys();
/// `length` random bytes free of NUL and of the separators of records, messages and category lists.
std::string separatorFreeText(std::mt19937& random, std::size_t length);
