#pragma once

#include <string>

/// A freshly generated GUID in registry form: 38 characters, braces around
/// groups of 8, 4, 4, 4 and 12 upper-case hexadecimal digits joined by
/// hyphens, as bytes of the ANSI code page.
std::string newRecordId();
