#include "sections/calendar_section.h"

#include <set>

#include "record/date_time.h"
#include "record/new_guid.h"
#include "record/number_text.h"
#include "record/record_id_note.h"
#include "sections/calendar_recurrence.h"
#include "sections/field_keys.h"
#include "sections/guarded_operation.h"
#include "sections/record_id_search.h"
#include "sections/text_property.h"
#include "win/ansi.h"
#include "win/com_error.h"

namespace {

namespace key = fieldkey::calendar;

double windowStart()
{
    return calendarDateToDateValue(1970, 1, 2);
}

std::string eventNote(EventItem& event) { return getText(event, &EventItem::get_Note); }

void setEventNote(EventItem& event, const RecordIdNote& note)
{
    putText(event, &EventItem::put_Note, note.composeNote());
}

long eventCountOf(EventList& list)
{
    long count = 0;
    win::check(list.get_Count(&count));
    return count;
}

win::ComPtr<EventItem> eventAt(EventList& list, long index)
{
    win::ComPtr<EventItem> event;
    win::check(list.get_Item(index, event.put()));
    win::required(event);
    return event;
}

win::ComPtr<EventItem> eventCarrying(EventList& list, const std::string& recordId)
{
    return findByRecordId<EventItem>(list, recordId, eventNote);
}

std::string decimal(long value)
{
    return std::to_string(value);
}

long flagOf(const Record& record, const char* fieldKey)
{
    return number_text::readInt(record.getField(fieldKey));
}

}  // namespace

CalendarSectionImpl::CalendarSectionImpl(CalendarCollection* calendar)
    : collection(win::ComPtr<CalendarCollection>::share(calendar))
{
}

CalendarSectionImpl::~CalendarSectionImpl()
{
    eventList.reset();
    collection.reset();
}

win::ComPtr<EventList> CalendarSectionImpl::fetchWindow()
{
    win::ComPtr<EventList> list;
    win::check(win::required(collection)->Events(windowStart(), calendarWindowEnd(), list.put()));
    win::required(list);
    return list;
}

ResponseCode CalendarSectionImpl::beginImport()
{
    return guardedOperation(lastError, [&] {
        eventList = fetchWindow();
        return ResponseOk;
    });
}

ResponseCode CalendarSectionImpl::endImport()
{
    return ResponseOk;
}

ResponseCode CalendarSectionImpl::beginExport()
{
    return guardedOperation(lastError, [&] {
        eventIndex = 0;
        eventList = fetchWindow();
        eventCount = static_cast<int>(eventCountOf(*eventList.get()));
        return ResponseOk;
    });
}

ResponseCode CalendarSectionImpl::endExport()
{
    return ResponseOk;
}

ResponseCode CalendarSectionImpl::getRecordCount(int& count)
{
    return guardedOperation(lastError, [&] {
        count = eventCount;
        std::set<std::string> seen;
        for (int i = eventCount - 1; i >= 0; --i) {
            win::ComPtr<EventItem> event = eventAt(*win::required(eventList).get(), i);
            const std::string note = eventNote(*event.get());
            if (note.empty()) continue;
            RecordIdNote idNote(note);
            const std::string id = idNote.getRecordId();
            if (id.empty()) continue;
            if (seen.insert(id).second) continue;
            idNote.setRecordId(newRecordId());
            setEventNote(*event.get(), idNote);
        }
        return ResponseOk;
    });
}

ResponseCode CalendarSectionImpl::getNextRecord(Record& record)
{
    if (eventIndex >= eventCount) return ResponseNoMoreRecords;
    return guardedOperation(lastError, [&] {
        win::ComPtr<EventItem> event = eventAt(*win::required(eventList).get(), eventIndex);
        exportEvent(*event.get(), record);
        ++eventIndex;
        return ResponseOk;
    });
}

void CalendarSectionImpl::exportEvent(EventItem& event, Record& record)
{
    double start = 0.0, end = 0.0;
    win::check(event.get_Start(&start));
    win::check(event.get_End(&end));
    record.putField(key::StartDate, dateValueToDateText(start));

    long untimed = 0;
    win::check(event.get_Untimed(&untimed));
    if (untimed == 0) {
        record.putField(key::StartTime, dateValueToTimeText(start));
        record.putField(key::EndDate, dateValueToDateText(end));
        record.putField(key::EndTime, dateValueToTimeText(end));
    }

    record.putField(key::Description, getText(event, &EventItem::get_Description));

    long privateFlag = 0;
    win::check(event.get_Private(&privateFlag));
    record.putField(key::ConfidentialFlag, decimal(privateFlag));

    const RecordIdNote note(eventNote(event));
    setEventNote(event, note);
    record.putField(fieldkey::RecordId, note.getRecordId());
    record.putField(key::Notes, note.getNoteText());

    long alarm = 0;
    win::check(event.get_AlarmFlag(&alarm));
    record.putField(key::AlarmFlag, decimal(alarm));
    if (alarm != 0) {
        long unit = 0, count = 0;
        win::check(event.GetAlarmLead(&unit, &count));
        std::string alarmDate, alarmTime;
        alarmMomentFromLead(start, count, unit, alarmDate, alarmTime);
        record.putField(key::AlarmDate, alarmDate);
        record.putField(key::AlarmTime, alarmTime);
    }

    long repeating = 0;
    win::check(event.get_Repeating(&repeating));
    record.putField(key::RecurringFlag, decimal(repeating));
    if (repeating != 0) record.putField(fieldkey::Repeat, eventRecurrenceText(event));

    const win::ComPtr<EventItemEx> extended = win::ComPtr<EventItem>::share(&event).query<EventItemEx>(IID_EventItemEx);
    if (extended) {
        record.putField(key::Location, getText(*extended.get(), &EventItemEx::get_Location));
        record.putField(key::Category, getText(*extended.get(), &EventItemEx::get_Category));
    }
}

ResponseCode CalendarSectionImpl::sendRecord(const Record& record, std::string& recordId)
{
    return guardedOperation(lastError, [&] {
        const std::string wantedId = record.getField(fieldkey::RecordId);
        if (!wantedId.empty()) {
            win::ComPtr<EventItem> old = findInEventList(wantedId);
            if (old) {
                win::check(old->Delete(0));
                recordIds.removed(wantedId);
                eventList = fetchWindow();
            }
        }
        createEvent(record, recordId);
        return ResponseOk;
    });
}

win::ComPtr<EventItem> CalendarSectionImpl::findInEventList(const std::string& recordId)
{
    const auto scan = [&] { return eventCarrying(*win::required(eventList).get(), recordId); };
    const auto forTheList = [&](auto&& visit) { visit(*win::required(eventList).get()); };
    return recordIds.find(recordId, scan, forTheList, eventNote);
}

void CalendarSectionImpl::createEvent(const Record& record, std::string& recordId)
{
    const std::string startDate = record.getField(key::StartDate);
    const std::string startTime = record.getField(key::StartTime);
    const double start = dateTimeTextsToDateValue(startDate, startTime);
    double end = dateTimeTextsToDateValue(record.getField(key::EndDate), record.getField(key::EndTime));
    const bool untimed = end == 0.0;
    if (untimed) end = start;

    const std::string description = record.getField(key::Description);
    win::ComPtr<EventItem> event;
    win::check(win::required(collection)->NewEvent(start, end, win::makeBstr(description).get(), event.put()));
    win::required(event);
    if (untimed) win::check(event->put_Untimed(1));

    win::check(event->put_Start(start));
    win::check(event->put_End(end));
    putText(*event.get(), &EventItem::put_Description, description);
    win::check(event->put_Private(flagOf(record, key::ConfidentialFlag)));

    const long alarm = flagOf(record, key::AlarmFlag);
    win::check(event->put_AlarmFlag(alarm));
    if (alarm != 0) {
        int count = 0, unit = 0;
        leadFromAlarmMoment(record.getField(key::AlarmDate), record.getField(key::AlarmTime), startDate, startTime,
                            count, unit);
        win::check(event->SetAlarmLead(unit, count));
    }

    RecordIdNote note(eventNote(*event.get()));
    const std::string wantedId = record.getField(fieldkey::RecordId);
    if (!wantedId.empty()) note.setRecordId(wantedId);
    note.setNoteText(record.getField(key::Notes));
    setEventNote(*event.get(), note);
    recordId = note.getRecordId();

    applyRecurrenceText(record.getField(fieldkey::Repeat), *event.get());

    const win::ComPtr<EventItemEx> extended = event.query<EventItemEx>(IID_EventItemEx);
    if (extended) {
        const std::string location = record.getField(key::Location);
        const std::string category = record.getField(key::Category);
        if (!location.empty()) putText(*extended.get(), &EventItemEx::put_Location, location);
        if (!category.empty()) putText(*extended.get(), &EventItemEx::put_Category, category);
    }
}

ResponseCode CalendarSectionImpl::readCategoryList(std::vector<std::string>& names)
{
    return guardedOperation(lastError, [&] {
        win::ComPtr<CalendarCategoryList> categories;
        win::check(win::required(collection)->get_Categories(categories.put()));
        if (!categories) return ResponseOk;
        long count = 0;
        win::check(categories->get_Count(&count));
        for (long i = 0; i < count; ++i) {
            win::UniqueBstr name;
            win::check(categories->get_Item(i, name.put()));
            names.push_back(win::fromBstr(name.get()));
        }
        return ResponseOk;
    });
}

ResponseCode CalendarSectionImpl::writeCategoryList(const std::vector<std::string>&)
{
    return ResponseOk;
}

ResponseCode CalendarSectionImpl::deleteRecord(const std::string& recordId)
{
    return guardedOperation(lastError, [&] {
        eventList = fetchWindow();
        win::ComPtr<EventItem> event = findInEventList(recordId);
        if (event) {
            win::check(event->Delete(0));
            recordIds.removed(recordId);
            eventList = fetchWindow();
        }
        return ResponseOk;
    });
}

// Palm Desktop decides whether a deleted event leaves the list being walked;
// the count is read anew before every step, and a position that answers no
// event is passed over.
ResponseCode CalendarSectionImpl::deleteAll()
{
    return guardedOperation(lastError, [&] {
        win::ComPtr<EventList> list = fetchWindow();
        for (long i = 0; i < eventCountOf(*list.get()); ++i) {
            win::ComPtr<EventItem> event;
            if (list->get_Item(i, event.put()) == S_OK && event) win::check(event->Delete(0));
        }
        return ResponseOk;
    });
}
