#pragma once

// Shared pieces of the section handler tests: handlers made over a stand-in
// desktop, and small record helpers.

#include <memory>
#include <string>
#include <vector>

#include "record/date_time.h"
#include "record/record.h"
#include "record/record_id_note.h"
#include "record_fields.h"
#include "standin/standin_desktop.h"
#include "win/ansi.h"
#include "win/com_error.h"

namespace sectiontest {

/// The collection `getter` of the desktop's application, as interface `C`.
template <typename C>
win::ComPtr<C> collectionOf(standin::StandinDesktop& desk, HRESULT (STDMETHODCALLTYPE PalmApplication::*getter)(IDispatch**),
                            const IID& iid) {
    win::ComPtr<IDispatch> answer;
    win::check((desk.application().get()->*getter)(answer.put()));
    return answer.query<C>(iid);
}

/// A handler of type `H` over the desktop's collection `C`.
template <typename H, typename C>
std::unique_ptr<H> handlerOver(standin::StandinDesktop& desk,
                               HRESULT (STDMETHODCALLTYPE PalmApplication::*getter)(IDispatch**), const IID& iid) {
    return std::make_unique<H>(collectionOf<C>(desk, getter, iid).get());
}

/// Palm Desktop's date value of a calendar day and time of day.
inline DATE at(int year, int month, int day, int hour = 0, int minute = 0) {
    return calendarDateToDateValue(year, month, day) + (hour * 60 + minute) / 1440.0;
}

/// True when the record holds `key`, be its value empty or not.
inline bool hasKey(const Record& record, const std::string& key) {
    const std::string text = record.save();
    const std::string entry = key + "\xB5";
    return text.compare(0, entry.size(), entry) == 0 || text.find("\xBA" + entry) != std::string::npos;
}

/// Every record an export delivers, after beginExport.
template <typename H>
std::vector<Record> exportAll(H& handler) {
    std::vector<Record> records;
    if (handler.beginExport() != ResponseOk) return records;
    for (;;) {
        Record record;
        if (handler.getNextRecord(record) != ResponseOk) break;
        records.push_back(record);
    }
    return records;
}

/// The composed note of an identifier and a user text, as wide text.
inline std::wstring composedNote(const std::string& recordId, const std::string& text) {
    return win::toWide(std::string(RecordIdNote::tag) + recordId + "\r\n" + text);
}

/// The identifier a note carries, or "".
inline std::string idInNote(const std::wstring& note) { return RecordIdNote(win::toNarrow(note)).getRecordId(); }

}  // namespace sectiontest
