// Every slot a handler may call, reached through the raw vtable with Palm
// Desktop's argument order, lands on its property. Slots, argument orders and
// interface identifiers come from Palm Desktop's table, not the shared
// declarations. Planned failures and readings are pinned by the section tests.

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "standin/standin_desktop.h"
#include "win/unique_bstr.h"

namespace {

using Object = win::ComPtr<IUnknown>;

template <typename... Args>
HRESULT callSlot(const Object& object, std::size_t slot, Args... args) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Args...);
    return reinterpret_cast<Method>((*reinterpret_cast<void***>(object.get()))[slot])(object.get(), args...);
}

GUID iid(const wchar_t* text) {
    GUID id{};
    EXPECT_EQ(::IIDFromString(text, &id), S_OK) << "bad identifier text";
    return id;
}

win::UniqueBstr bstr(const std::wstring& t) { return win::UniqueBstr(::SysAllocStringLen(t.data(), UINT(t.size()))); }
std::wstring text(const win::UniqueBstr& b) { return b.get() ? std::wstring(b.get(), ::SysStringLen(b.get())) : L""; }

/// The object that `slot` of `parent` answers (after `args`), as interface `id`.
template <typename... Args>
Object child(const Object& parent, std::size_t slot, const wchar_t* id, Args... args) {
    Object answer;
    EXPECT_EQ(callSlot(parent, slot, args..., answer.put()), S_OK) << "slot " << slot;
    return answer ? answer.query<IUnknown>(iid(id)) : Object();
}

long countAt(const Object& list, std::size_t slot) {
    long count = -1;
    EXPECT_EQ(callSlot(list, slot, &count), S_OK);
    return count;
}

/// The text that `slot` of `object` answers after `args`.
template <typename... Args>
std::wstring textAt(const Object& object, std::size_t slot, Args... args) {
    win::UniqueBstr answer;
    EXPECT_EQ(callSlot(object, slot, args..., answer.put()), S_OK) << "slot " << slot;
    return text(answer);
}

template <typename... T>
std::vector<double> values(T... v) { return {static_cast<double>(v)...}; }

/// A get/put pair: `put` (0 for none) stores into `field`, `get` (0 for
/// none) answers it; `index` (-1 for none) goes first when given.
struct Pair {
    std::size_t get, put;
    std::variant<std::wstring*, long*, DATE*> field;
    long index = -1;
};

void expectPairs(const Object& item, std::initializer_list<Pair> pairs) {
    ASSERT_TRUE(item);
    for (const Pair& p : pairs) std::visit([&](auto* field) {
        using T = std::remove_pointer_t<decltype(field)>;
        constexpr bool isText = std::is_same_v<T, std::wstring>;
        auto distinct = [](std::size_t n) {
            if constexpr (isText) return L"v" + std::to_wstring(n); else return T(40000 + n);
        };
        auto call = [&](std::size_t slot, auto arg) {
            return p.index < 0 ? callSlot(item, slot, arg) : callSlot(item, slot, p.index, arg);
        };
        SCOPED_TRACE("slots " + std::to_string(p.get) + "/" + std::to_string(p.put));
        if (p.put != 0) {
            const T value = distinct(p.put);
            if constexpr (isText) EXPECT_EQ(call(p.put, bstr(value).get()), S_OK);
            else EXPECT_EQ(call(p.put, value), S_OK);
            EXPECT_EQ(*field, value);
        }
        if (p.get != 0) {
            *field = distinct(1000 + p.get);
            T value{};
            win::UniqueBstr b;
            if constexpr (isText) {
                EXPECT_EQ(call(p.get, b.put()), S_OK);
                value = text(b);
            } else {
                EXPECT_EQ(call(p.get, &value), S_OK);
            }
            EXPECT_EQ(value, *field);
        }
    }, p.field);
}

class PalmDesktopSlots : public ::testing::Test {
protected:
    /// A section's collection and entry 1 of its two-item view of "B"; adds
    /// category "C" and reads the category names on the way.
    std::pair<Object, Object> walkTo(std::size_t collectionSlot, const wchar_t* collectionId, std::size_t viewSlot,
                                     const wchar_t* viewId, std::size_t viewCount, const wchar_t* itemId,
                                     std::size_t addCategory, std::size_t namesSlot, const wchar_t* namesId,
                                     std::size_t namesCount) {
        Object collection = child(app, collectionSlot, collectionId);
        Object names = child(collection, namesSlot, namesId);
        Object view = child(collection, viewSlot, viewId, bstr(L"B").get());
        EXPECT_EQ(countAt(view, viewCount), 2);
        Object item = child(view, viewCount + 1, itemId, 1L);
        EXPECT_EQ(callSlot(collection, addCategory, bstr(L"C").get()), S_OK);
        EXPECT_EQ(countAt(names, namesCount), 3);
        EXPECT_EQ(textAt(names, namesCount + 1, 1L) + textAt(names, namesCount + 1, 2L), L"BC");
        return {std::move(collection), std::move(item)};
    }

    standin::StandinDesktop desk;
    const wchar_t* applicationId = L"{5C42CA62-42E9-11D4-80F2-00C04FA03755}";
    Object app = Object::share(desk.application().get()).query<IUnknown>(iid(applicationId));
};

TEST_F(PalmDesktopSlots, Contacts) {
    for (auto name : {L"A", L"B"}) desk.contacts().addCategory(name);
    desk.addContact(L"B", L"", L"other");
    auto c = desk.addContact(L"B", L"", L"wanted");
    auto [contacts, item] = walkTo(10, L"{D665BDB4-4B85-11D4-80FB-00C04FA03755}", 9,
                                   L"{3EA65118-4B86-11D4-80FB-00C04FA03755}", 7,
                                   L"{3EE1EBE2-4B86-11D4-80FB-00C04FA03755}", 15, 7,
                                   L"{3E46F308-4B86-11D4-80FB-00C04FA03755}", 7);
    Object ex = item.query<IUnknown>(iid(L"{918A056F-ABE1-409C-8010-3E857523154D}"));
    auto& work = c->addresses[0];
    auto& third = c->addresses[2];
    expectPairs(item, {{7, 8, &c->firstName}, {9, 10, &c->lastName}, {11, 12, &c->jobTitle}, {13, 14, &c->company},
                       {15, 16, &work.street}, {17, 18, &work.city}, {19, 20, &work.state}, {21, 22, &work.zip},
                       {23, 24, &work.country}, {25, 26, &c->note}, {27, 28, &c->custom[5], 5},
                       {0, 31, &c->category}, {44, 45, &c->readingFirstName}, {46, 47, &c->readingLastName},
                       {48, 49, &c->readingCompany}, {38, 39, &c->isPrivate}});
    expectPairs(ex, {{50, 51, &c->webSite}, {52, 53, &third.street, 2}, {54, 55, &third.city, 2},
                     {56, 57, &third.state, 2}, {58, 59, &third.zip, 2}, {60, 61, &third.country, 2},
                     {62, 63, &c->birthday}});

    // Phone entries (position; label, text) and IM entries (index; kind, text).
    EXPECT_EQ(callSlot(item, 41, 3L, 5L, bstr(L"phone").get()), S_OK);
    EXPECT_EQ(std::to_wstring(c->phones[3].label) + c->phones[3].text, L"5phone");
    EXPECT_EQ(callSlot(ex, 67, 1L, 0L, bstr(L"im").get()), S_OK);
    EXPECT_EQ(c->ims[1].text, L"im");
    c->phones[4] = {6, L"pager"};
    c->ims[0] = {7, L"first"};
    long label = -1, kind = -1;
    EXPECT_EQ(textAt(item, 40, 4L, &label) + textAt(ex, 66, 0L, &kind), L"pagerfirst");
    EXPECT_EQ(values(label, kind), values(6, 7));

    // Refused: extension slots without the extension, Delete(1), IM kind 1.
    c->extended = false;
    win::UniqueBstr phone;
    for (HRESULT hr : {callSlot(item, 50, phone.put()), callSlot(item, 63, DATE(1)),
                       callSlot(item, 66, 0L, &kind, phone.put()), callSlot(item, 32, 1L)})
        EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(callSlot(item, 7, phone.put()), S_OK);
    c->extended = true;
    EXPECT_EQ(callSlot(ex, 67, 1L, 1L, BSTR(nullptr)), E_INVALIDARG);
    EXPECT_FALSE(c->deleted);

    // New contact (category, first name, last name); delete.
    child(contacts, 11, L"{3EE1EBE2-4B86-11D4-80FB-00C04FA03755}", bstr(L"cat").get(), bstr(L"first").get(),
          bstr(L"last").get());
    const auto& made = *desk.contacts().items().back();
    EXPECT_EQ(made.category + L"/" + made.firstName + L"/" + made.lastName, L"cat/first/last");
    EXPECT_EQ(callSlot(item, 32, 0L), S_OK);
    EXPECT_TRUE(c->deleted);
}

TEST_F(PalmDesktopSlots, MemosAndTodos) {
    for (auto name : {L"A", L"B"}) desk.memos().addCategory(name), desk.todos().addCategory(name);
    desk.addMemo(L"B", L"other");
    auto m = desk.addMemo(L"B", L"memo");
    desk.addTodo(L"B", L"other");
    auto t = desk.addTodo(L"B", L"wanted");
    auto [memos, memo] = walkTo(12, L"{DF86EBBE-6D79-11D4-811C-00C04FA03755}", 10,
                                L"{E1DAF7A2-6D79-11D4-811C-00C04FA03755}", 9,
                                L"{E182C0A0-6D79-11D4-811C-00C04FA03755}", 15, 8,
                                L"{E0F8783C-6D79-11D4-811C-00C04FA03755}", 9);
    auto [todos, todo] = walkTo(13, L"{AFD681C0-6F29-11D4-811E-00C04FA03755}", 10,
                                L"{B25577F8-6F29-11D4-811E-00C04FA03755}", 9,
                                L"{B21EA1E2-6F29-11D4-811E-00C04FA03755}", 15, 8,
                                L"{B1C66AE0-6F29-11D4-811E-00C04FA03755}", 9);
    Object todoEx = todo.query<IUnknown>(iid(L"{297CD813-4BA6-4645-B0BD-5AA4B0F54937}"));

    expectPairs(memo, {{10, 11, &m->text}, {0, 13, &m->category}, {16, 17, &m->isPrivate}});
    expectPairs(todo, {{10, 11, &t->description}, {20, 21, &t->note}, {0, 23, &t->category}, {12, 13, &t->priority},
                       {18, 19, &t->completed}, {26, 27, &t->isPrivate}, {16, 17, &t->dueDate}});
    expectPairs(todoEx, {{30, 0, &t->repeating}, {40, 41, &t->alarmFlag}, {46, 0, &t->repeat.extra}});

    // Repeat (kind, extra, interval, end, mask) read at 32, set at 34;
    // alarm (moment, days before) set at 44, read at 45.
    EXPECT_EQ(callSlot(todoEx, 34, 3L, 5L, 4L, DATE(40123), 0x15L), S_OK);
    EXPECT_EQ(callSlot(todoEx, 44, DATE(40001.25), 3L), S_OK);
    const auto& r = t->repeat;
    EXPECT_EQ(values(r.kind, r.extra, r.interval, r.end, r.mask, t->alarmMoment, t->alarmDaysBefore),
              values(3, 5, 4, 40123, 0x15, 40001.25, 3));
    t->repeat = {2, 6, 7, 40456, 0x2A};
    t->alarmMoment = 40002.5;
    t->alarmDaysBefore = 9;
    long kind = 0, extra = 0, interval = 0, mask = 0, days = 0;
    DATE end = 0, moment = 0;
    EXPECT_EQ(callSlot(todoEx, 32, &kind, &extra, &interval, &end, &mask), S_OK);
    EXPECT_EQ(callSlot(todoEx, 45, &moment, &days), S_OK);
    EXPECT_EQ(values(kind, extra, interval, end, mask, moment, days), values(2, 6, 7, 40456, 0x2A, 40002.5, 9));

    // New memo (category, text), new to-do (category, description); delete.
    child(memos, 12, L"{E182C0A0-6D79-11D4-811C-00C04FA03755}", bstr(L"cat").get(), bstr(L"text").get());
    child(todos, 12, L"{B21EA1E2-6F29-11D4-811E-00C04FA03755}", bstr(L"cat").get(), bstr(L"what").get());
    EXPECT_EQ(desk.memos().items().back()->category + L"/" + desk.memos().items().back()->text, L"cat/text");
    EXPECT_EQ(desk.todos().items().back()->category + L"/" + desk.todos().items().back()->description, L"cat/what");
    t->extended = false;
    for (HRESULT hr : {callSlot(todo, 40, &kind), callSlot(todo, 45, &moment, &days), callSlot(todo, 28, -1L)})
        EXPECT_TRUE(FAILED(hr));
    EXPECT_FALSE(t->deleted);
    EXPECT_EQ(callSlot(memo, 18, 0L), S_OK);
    EXPECT_EQ(callSlot(todo, 28, 0L), S_OK);
    EXPECT_TRUE(m->deleted && t->deleted);
}

TEST_F(PalmDesktopSlots, Calendar) {
    for (auto name : {L"A", L"B"}) desk.calendar().addCategory(name);
    desk.addEvent(40005, 40005, L"before");
    auto e = desk.addEvent(40010, 40010, L"wanted");
    e->exceptions = {40050, 40060};

    Object calendar = child(app, 11, L"{DBB9E436-4F89-11D4-8101-00C04FA03755}");
    Object names = child(calendar, 8, L"{B61FD96A-8D1D-11D5-820B-00C04FA03755}");
    EXPECT_EQ(countAt(names, 7), 2);
    EXPECT_EQ(textAt(names, 8, 1L), L"B");
    // Events (from, to): swapped bounds would hold nothing.
    Object list = child(calendar, 12, L"{DDEC8F2E-4F89-11D4-8101-00C04FA03755}", DATE(40000), DATE(40020));
    EXPECT_EQ(countAt(list, 9), 2);
    Object event = child(list, 10, L"{DD991CE0-4F89-11D4-8101-00C04FA03755}", 1L);
    Object ex = event.query<IUnknown>(iid(L"{81BAE1BD-D7E7-4F31-AF9E-90B3FF65A524}"));

    expectPairs(event, {{12, 13, &e->start}, {16, 17, &e->end}, {18, 19, &e->untimed}, {24, 0, &e->repeating},
                        {26, 27, &e->alarmFlag}, {47, 48, &e->isPrivate}, {20, 21, &e->description},
                        {22, 23, &e->note}, {43, 44, &e->category}});
    expectPairs(ex, {{50, 51, &e->location}});

    // Alarm lead (unit, count) set at 36, read at 37; repeat (kind,
    // interval, end, mask) read at 39, set at 41.
    EXPECT_EQ(callSlot(event, 36, 2L, 9L), S_OK);
    EXPECT_EQ(callSlot(event, 41, 3L, 4L, DATE(40123), 0x15L), S_OK);
    const auto& r = e->repeat;
    EXPECT_EQ(values(e->alarmLeadUnit, e->alarmLeadCount, r.kind, r.interval, r.end, r.mask),
              values(2, 9, 3, 4, 40123, 0x15));
    e->alarmLeadUnit = 1;
    e->alarmLeadCount = 30;
    e->repeat = {2, 7, 40456, 0x2A};
    long unit = 0, count = 0, kind = 0, interval = 0, mask = 0;
    DATE end = 0;
    EXPECT_EQ(callSlot(event, 37, &unit, &count), S_OK);
    EXPECT_EQ(callSlot(event, 39, &kind, &interval, &end, &mask), S_OK);
    EXPECT_EQ(values(unit, count, kind, interval, end, mask), values(1, 30, 2, 7, 40456, 0x2A));

    // Exceptions: add at 29, count at 25, search (from, to → cursor,
    // status) at 33, next (cursor, to → date, status) at 35.
    EXPECT_EQ(callSlot(event, 29, DATE(40070)), S_OK);
    EXPECT_EQ(e->exceptions.size(), 3u);
    e->exceptions.pop_back();
    long exceptions = 0, cursor = 0, first = 0, status = 0;
    DATE next = 0;
    EXPECT_EQ(callSlot(event, 25, &exceptions), S_OK);
    EXPECT_EQ(callSlot(event, 33, DATE(40055), DATE(40070), &cursor, &first), S_OK);
    EXPECT_EQ(callSlot(event, 35, cursor, DATE(40070), &next, &status), S_OK);
    EXPECT_EQ(values(exceptions, first, next, status), values(2, 1, 40060, 0));

    // New event (start, end, description); delete.
    child(calendar, 15, L"{DD991CE0-4F89-11D4-8101-00C04FA03755}", DATE(40100), DATE(40101), bstr(L"new").get());
    const auto& fresh = *desk.calendar().items().back();
    EXPECT_EQ(values(fresh.start, fresh.end), values(40100, 40101));
    EXPECT_EQ(fresh.description, L"new");
    e->extended = false;
    win::UniqueBstr place;
    for (HRESULT hr : {callSlot(event, 50, place.put()), callSlot(event, 51, BSTR(nullptr)), callSlot(event, 49, 1L)})
        EXPECT_TRUE(FAILED(hr));
    EXPECT_FALSE(e->deleted);
    EXPECT_EQ(callSlot(event, 49, 0L), S_OK);
    EXPECT_TRUE(e->deleted);
}

TEST(Standin, ObjectsOutliveTheDesktop) {
    Object app;
    {
        standin::StandinDesktop desk;
        desk.addMemo(L"Ideas", L"keep me");
        app = Object::share(desk.application().get());
    }
    Object view = child(child(app, 12, L"{DF86EBBE-6D79-11D4-811C-00C04FA03755}"), 10,
                        L"{E1DAF7A2-6D79-11D4-811C-00C04FA03755}", bstr(L"Ideas").get());
    EXPECT_EQ(textAt(child(view, 10, L"{E182C0A0-6D79-11D4-811C-00C04FA03755}", 0L), 10), L"keep me");
}

}  // namespace
