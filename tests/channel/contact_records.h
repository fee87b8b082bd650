#pragma once

#include "record/record.h"

#include <random>
#include <string>

// Contact and memo records with every field the sections write back filled
// with random text, for the round-trip and leak tests.

/// A contact whose exported record must equal it, key for key: names
/// (the first name without a blank, which Palm Desktop's one name field
/// would split), at most seven of the eight phones (Palm Desktop shows
/// seven positions), the notes, addresses, custom fields, a birthday, the
/// private flag and one of `categories`.
Record randomContact(std::mt19937& random, const std::vector<std::string>& categories);
/// A memo: a title of up to 255 bytes without a line break, a body of
/// several lines, the private flag and one of `categories`.
Record randomMemo(std::mt19937& random, const std::vector<std::string>& categories);
/// The keys a contact record carries, "RecordId" included.
const std::vector<std::string>& contactKeys();
/// The keys a memo record carries, "RecordId" included.
const std::vector<std::string>& memoKeys();
