#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "record/record.h"

namespace sectiontest {

/// A record holding `fields`, in order.
inline Record withFields(std::initializer_list<std::pair<const char*, std::string>> fields) {
    Record record;
    for (const auto& [key, value] : fields) record.putField(key, value);
    return record;
}

}  // namespace sectiontest
