// The calendar part of the stand-in: CalendarCollection, its category list,
// its event lists and EventItem / EventItemEx with the exception search.

#include <algorithm>

#include "standin/item_object.h"
#include "standin/list_objects.h"
#include "standin/standin_objects.h"

namespace standin {
namespace {

using CalendarNames = CategoryNamesObject<CalendarCategoryList, EventData>;
using EventListObject = ListAtSlot9<ItemListObject<EventList, EventItem, EventData>>;

class EventItemObject final : public ItemObject<EventItemEx, EventData> {
public:
    EventItemObject(std::shared_ptr<DesktopState> state, Item item)
        : ItemObject(std::move(state), "EventItem", std::move(item)) {}

    STANDIN_RESERVED(7)
    STANDIN_RESERVED(8)
    STANDIN_RESERVED(9)
    STANDIN_RESERVED(10)
    STANDIN_RESERVED(11)
    HRESULT STDMETHODCALLTYPE get_Start(DATE* d) override { return get(kBase, "get_Start", &EventData::start, d); }
    HRESULT STDMETHODCALLTYPE put_Start(DATE d) override { return put(kBase, "put_Start", &EventData::start, d); }
    STANDIN_RESERVED(14)
    STANDIN_RESERVED(15)
    HRESULT STDMETHODCALLTYPE get_End(DATE* d) override { return get(kBase, "get_End", &EventData::end, d); }
    HRESULT STDMETHODCALLTYPE put_End(DATE d) override { return put(kBase, "put_End", &EventData::end, d); }
    HRESULT STDMETHODCALLTYPE get_Untimed(long* f) override { return get(kBase, "get_Untimed", &EventData::untimed, f); }
    HRESULT STDMETHODCALLTYPE put_Untimed(long f) override { return put(kBase, "put_Untimed", &EventData::untimed, f); }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* t) override { return getText(kBase, "get_Description", &EventData::description, t); }
    HRESULT STDMETHODCALLTYPE put_Description(BSTR t) override { return putText(kBase, "put_Description", &EventData::description, t); }
    HRESULT STDMETHODCALLTYPE get_Note(BSTR* t) override { return getText(kBase, "get_Note", &EventData::note, t); }
    HRESULT STDMETHODCALLTYPE put_Note(BSTR t) override { return putText(kBase, "put_Note", &EventData::note, t); }
    HRESULT STDMETHODCALLTYPE get_Repeating(long* f) override { return get(kBase, "get_Repeating", &EventData::repeating, f); }
    HRESULT STDMETHODCALLTYPE get_ExceptionCount(long* count) override {
        return onItem(kBase, "get_ExceptionCount",
                      [&] { return answerValue(static_cast<long>(item().exceptions.size()), count); });
    }
    HRESULT STDMETHODCALLTYPE get_AlarmFlag(long* f) override { return get(kBase, "get_AlarmFlag", &EventData::alarmFlag, f); }
    HRESULT STDMETHODCALLTYPE put_AlarmFlag(long f) override { return put(kBase, "put_AlarmFlag", &EventData::alarmFlag, f); }
    STANDIN_RESERVED(28)
    HRESULT STDMETHODCALLTYPE AddException(DATE date) override {
        return onItem(kBase, "AddException", [&] {
            std::vector<DATE>& dates = item().exceptions;
            auto at = std::lower_bound(dates.begin(), dates.end(), date);
            if (at != dates.end() && *at == date) return S_FALSE;
            dates.insert(at, date);
            return S_OK;
        });
    }
    STANDIN_RESERVED(30)
    STANDIN_RESERVED(31)
    STANDIN_RESERVED(32)
    HRESULT STDMETHODCALLTYPE FirstException(DATE from, DATE to, long* cursor, long* status) override {
        return onItem(kBase, "FirstException", [&] {
            if (!cursor || !status) return E_POINTER;
            long id = state().nextSearchCursor++;
            ExceptionSearch& search = state().exceptionSearches[id] = ExceptionSearch{handle(), from, false, 0.0};
            *cursor = id;
            const DATE* first = firstAfter(from, false, to);
            *status = first ? 1 : -1;
            if (first && state().readings.beginSearchDelivers) {
                search.delivered = true;
                search.last = *first;
                *status = firstAfter(*first, true, to) ? 1 : 0;
            }
            return S_OK;
        });
    }
    STANDIN_RESERVED(34)
    HRESULT STDMETHODCALLTYPE NextException(long cursor, DATE to, DATE* date, long* status) override {
        return onItem(kBase, "NextException", [&] {
            if (!date || !status) return E_POINTER;
            auto search = state().exceptionSearches.find(cursor);
            if (search == state().exceptionSearches.end() || search->second.event != handle()) return E_INVALIDARG;
            ExceptionSearch& s = search->second;
            const DATE* next = s.delivered ? firstAfter(s.last, true, to) : firstAfter(s.from, false, to);
            if (!next) {
                *date = 0.0;
                *status = -1;
                return S_OK;
            }
            s.delivered = true;
            s.last = *next;
            *date = *next;
            *status = firstAfter(*next, true, to) ? 1 : 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetAlarmLead(long unit, long count) override {
        return onItem(kBase, "SetAlarmLead", [&] {
            item().alarmLeadUnit = unit;
            item().alarmLeadCount = count;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetAlarmLead(long* unit, long* count) override {
        return onItem(kBase, "GetAlarmLead", [&] {
            if (!unit || !count) return E_POINTER;
            *unit = item().alarmLeadUnit;
            *count = item().alarmLeadCount;
            return S_OK;
        });
    }
    STANDIN_RESERVED(38)
    HRESULT STDMETHODCALLTYPE GetRepeat(long* kind, long* interval, DATE* end, long* mask) override {
        return onItem(kBase, "GetRepeat", [&] {
            if (!kind || !interval || !end || !mask) return E_POINTER;
            const EventRepeatRule& rule = item().repeat;
            *kind = rule.kind;
            *interval = rule.interval;
            *end = rule.end;
            *mask = rule.mask;
            return S_OK;
        });
    }
    STANDIN_RESERVED(40)
    HRESULT STDMETHODCALLTYPE SetRepeat(long kind, long interval, DATE end, long mask) override {
        return onItem(kBase, "SetRepeat", [&] {
            item().repeat = {kind, interval, end, mask};
            item().repeating = kind != 0 ? 1 : 0;
            return S_OK;
        });
    }
    STANDIN_RESERVED(42)
    HRESULT STDMETHODCALLTYPE get_Category(BSTR* t) override { return getText(kBase, "get_Category", &EventData::category, t); }
    HRESULT STDMETHODCALLTYPE put_Category(BSTR name) override {
        return onItem(kBase, "put_Category", [&] {
            if (state().readings.calendarCategoryMustExist && !state().calendar.hasCategory(textOf(name)))
                return E_INVALIDARG;
            item().category = textOf(name);
            state().calendar.addCategory(item().category);
            return S_OK;
        });
    }
    STANDIN_RESERVED(45)
    STANDIN_RESERVED(46)
    HRESULT STDMETHODCALLTYPE get_Private(long* f) override { return get(kBase, "get_Private", &EventData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE put_Private(long f) override { return put(kBase, "put_Private", &EventData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE Delete(long argument) override { return deleteFrom(kBase, state().calendar, argument); }
    HRESULT STDMETHODCALLTYPE get_Location(BSTR* t) override { return getText(kEx, "get_Location", &EventData::location, t); }
    HRESULT STDMETHODCALLTYPE put_Location(BSTR t) override { return putText(kEx, "put_Location", &EventData::location, t); }

protected:
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_EventItem) || (item().extended && IsEqualIID(iid, IID_EventItemEx));
    }

private:
    static constexpr const char* kBase = "EventItem";
    static constexpr const char* kEx = "EventItemEx";

    /// The first exception after `bound` (or at it, unless `strictly`) that
    /// lies at or before `to`; none when there is no such exception.
    const DATE* firstAfter(DATE bound, bool strictly, DATE to) const {
        const std::vector<DATE>& dates = item().exceptions;
        auto at = strictly ? std::upper_bound(dates.begin(), dates.end(), bound)
                           : std::lower_bound(dates.begin(), dates.end(), bound);
        return at != dates.end() && *at <= to ? &*at : nullptr;
    }
};

class CalendarCollectionObject final : public ComObject<CalendarCollection> {
public:
    explicit CalendarCollectionObject(std::shared_ptr<DesktopState> state)
        : ComObject(std::move(state), "CalendarCollection") {}

    STANDIN_RESERVED(7)
    HRESULT STDMETHODCALLTYPE get_Categories(CalendarCategoryList** list) override {
        if (list) *list = nullptr;
        return guarded("get_Categories", [&] {
            if (!list) return E_POINTER;
            return handOut(makeObject<CalendarNames>(sharedState(), "CalendarCategoryList", IID_CalendarCategoryList,
                                                     &DesktopState::calendar),
                           list);
        });
    }
    STANDIN_RESERVED(9)
    STANDIN_RESERVED(10)
    STANDIN_RESERVED(11)
    HRESULT STDMETHODCALLTYPE Events(DATE from, DATE to, EventList** list) override {
        if (list) *list = nullptr;
        return guarded("Events", [&] {
            if (!list) return E_POINTER;
            return handOut(makeObject<EventListObject>(sharedState(), "EventList", IID_EventList,
                                                       eventsInWindow(state().calendar, from, to), makeEventItem),
                           list);
        });
    }
    STANDIN_RESERVED(13)
    STANDIN_RESERVED(14)
    HRESULT STDMETHODCALLTYPE NewEvent(DATE start, DATE end, BSTR description, EventItem** event) override {
        if (event) *event = nullptr;
        return guarded("NewEvent", [&] {
            if (!event) return E_POINTER;
            EventData data;
            data.start = start;
            data.end = end;
            data.description = textOf(description);
            data.extended = state().calendar.extendNewItems;
            return handOut(makeEventItem(sharedState(), state().calendar.add(std::move(data))), event);
        });
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_CalendarCollection); }
};

}  // namespace

std::vector<CalendarSection::Item> eventsInWindow(const CalendarSection& calendar, DATE from, DATE to) {
    std::vector<CalendarSection::Item> events;
    for (const CalendarSection::Item& event : calendar.items())
        if (event->start >= from && event->start <= to) events.push_back(event);
    std::stable_sort(events.begin(), events.end(),
                     [](const CalendarSection::Item& a, const CalendarSection::Item& b) { return a->start < b->start; });
    return events;
}

win::ComPtr<CalendarCollection> makeCalendarCollection(const std::shared_ptr<DesktopState>& state) {
    return makeAs<CalendarCollection, CalendarCollectionObject>(state);
}

win::ComPtr<EventItem> makeEventItem(const std::shared_ptr<DesktopState>& state, const CalendarSection::Item& item) {
    return makeAs<EventItem, EventItemObject>(state, item);
}

}  // namespace standin
