#pragma once

// Shared pieces of the section handler tests: handlers over a stand-in desktop, record helpers.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "record/date_time.h"
#include "record/record.h"
#include "record/record_id_note.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "sections/record_id_index.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
#include "win/ansi.h"

namespace sectiontest {

/// The factory's handler of `section` over the desktop, as type `H`.
template <typename H>
std::unique_ptr<H> handlerOf(standin::StandinDesktop& desk, int section) {
    std::unique_ptr<SectionHandler> any = createSectionHandler(desk.application(), section);
    if (!dynamic_cast<H*>(any.get())) throw std::logic_error("the factory made no handler of the expected type");
    return std::unique_ptr<H>(static_cast<H*>(any.release()));
}

/// A record holding `fields`, in order.
inline Record withFields(std::initializer_list<std::pair<const char*, std::string>> fields) {
    Record record;
    for (const auto& [key, value] : fields) record.putField(key, value);
    return record;
}

/// Palm Desktop's date value of a calendar day and time of day.
inline DATE at(int year, int month, int day, int hour = 0, int minute = 0) {
    return calendarDateToDateValue(year, month, day) + (hour * 60 + minute) / 1440.0;
}

/// True when the record holds `key`, be its value empty or not.
inline bool hasKey(const Record& record, const std::string& key) {
    const std::string text = record.save(), entry = key + "\xB5";
    return text.compare(0, entry.size(), entry) == 0 || text.find("\xBA" + entry) != std::string::npos;
}

/// Expects each key's value in `record`, the key present; a null value: the key is absent.
inline void expectFields(const Record& record, std::initializer_list<std::pair<const char*, const char*>> fields) {
    for (const auto& [key, value] : fields)
        EXPECT_EQ(hasKey(record, key) ? record.getField(key) : "(absent)", value ? value : "(absent)") << key;
}

/// Every record an export delivers, after beginExport.
inline std::vector<Record> exportAll(SectionHandler& handler) {
    std::vector<Record> records;
    if (handler.beginExport() == ResponseOk)
        for (Record r; handler.getNextRecord(r) == ResponseOk; r = Record()) records.push_back(r);
    return records;
}

/// The composed note of an identifier and a user text, as wide text.
inline std::wstring composedNote(const std::string& recordId, const std::string& text) {
    return win::toWide(std::string(RecordIdNote::tag) + recordId + "\r\n" + text);
}

/// The identifier a note carries, or "".
inline std::string idInNote(const std::wstring& note) { return RecordIdNote(win::toNarrow(note)).getRecordId(); }

/// A "Repeat" text read back.
inline Repeat parsed(const std::string& text) {
    Repeat repeat;
    return repeat.parse(text), repeat;
}

/// The record-id index switched `on` for the handlers made while it lives; off again afterwards.
struct RecordIdIndexing {
    explicit RecordIdIndexing(bool on) { setRecordIdIndexing(on); }
    ~RecordIdIndexing() { setRecordIdIndexing(false); }
};

}  // namespace sectiontest
