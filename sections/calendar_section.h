#pragma once

#include <string>
#include <vector>

#include "sections/palm_desktop.h"
#include "sections/record_id_index.h"
#include "sections/section_handler.h"
#include "win/com_ptr.h"

/// The section handler of Palm Desktop's calendar. It works on the events
/// whose start lies in the window from 2 January 1970 to 30 December 2031;
/// events outside it are neither exported nor found for update or deletion.
/// An event keeps its record identifier at the head of its note. An update
/// deletes the event that carries the record's identifier and creates a new
/// one with the same identifier.
class CalendarSectionImpl : public SectionHandler {
public:
    /// A handler over `calendar` (which may be null: every operation that
    /// needs it then fails). Makes no call into Palm Desktop.
    explicit CalendarSectionImpl(CalendarCollection* calendar);
    /// Releases the event list, then the calendar.
    ~CalendarSectionImpl() override;

    /// Fetches the event list of the window for sendRecord's search.
    ResponseCode beginImport() override;
    /// Does nothing.
    ResponseCode endImport() override;
    /// Fetches the event list of the window and starts the export at its
    /// first event.
    ResponseCode beginExport() override;
    /// Does nothing.
    ResponseCode endExport() override;
    /// The number of events beginExport fetched. Where several of them carry
    /// one identifier, the event with the highest index keeps it and each
    /// other one gets a new identifier written into its note.
    ResponseCode getRecordCount(int& count) override;
    /// The next event of the export. When Palm Desktop fails, the position
    /// stays, so the next call tries the same event again.
    ResponseCode getNextRecord(Record& record) override;
    /// Deletes the event carrying the record's identifier (searched in the
    /// list beginImport fetched), creates the record's event and answers the
    /// identifier written into its note. Without beginImport there is no
    /// list to search, and a record that carries an identifier fails.
    ResponseCode sendRecord(const Record& record, std::string& recordId) override;
    /// Appends the calendar's category names; with no category list, none.
    ResponseCode readCategoryList(std::vector<std::string>& names) override;
    /// Writes nothing: the calendar offers no way to add a category.
    ResponseCode writeCategoryList(const std::vector<std::string>& names) override;
    /// Deletes the event of the window that carries `recordId`, if any.
    ResponseCode deleteRecord(const std::string& recordId) override;
    /// Deletes every event of the window.
    ResponseCode deleteAll() override;

    /// Fills `record` from `event`, writing the event's note back with its
    /// identifier (a new one when the note carries none).
    void exportEvent(EventItem& event, Record& record);

    /// The code of the last failure Palm Desktop reported; 0 when none.
    HRESULT getLastError() const { return lastError; }

private:
    /// The event list of the calendar window.
    win::ComPtr<EventList> fetchWindow();
    /// The event of `eventList` that carries `recordId`, or none.
    win::ComPtr<EventItem> findInEventList(const std::string& recordId);
    /// Creates the event of `record`; `recordId` receives the identifier as
    /// soon as it is in the event's note.
    void createEvent(const Record& record, std::string& recordId);

    win::ComPtr<CalendarCollection> collection;
    int eventIndex = 0;
    int eventCount = 0;
    win::ComPtr<EventList> eventList;
    HRESULT lastError = S_OK;
    /// The search by record id of an import bracket. Events created in the
    /// bracket are not added: the scan finds them only once the list has
    /// been fetched again, and a miss falls back to the scan.
    RecordIdIndex<EventItem> recordIds{recordIdIndexing()};
};
