#include "sections/section_factory.h"

#include "sections/calendar_section.h"
#include "sections/contact_section.h"
#include "sections/memo_section.h"
#include "sections/todo_section.h"

#include "win/com_error.h"

#include <iterator>

namespace {

/// Constructs `Handler` from the interface `Collection` of the object the
/// application handed out; with no such interface, from null.
template <typename Handler, typename Collection>
std::unique_ptr<SectionHandler> makeSection(const win::ComPtr<IDispatch>& answer,
                                            const IID& collectionIid)
{
    const win::ComPtr<Collection> collection = answer.template query<Collection>(collectionIid);
    return std::make_unique<Handler>(collection.get());
}

/// One section: how to get its collection from the application, the
/// collection's interface and the handler's constructor. A row whose
/// `make` is null has no handler in this module.
struct SectionRow {
    HRESULT (*getCollection)(PalmApplication& application, IDispatch** collection);
    const IID* collectionIid;
    std::unique_ptr<SectionHandler> (*make)(const win::ComPtr<IDispatch>& answer, const IID& iid);
};

// Indexed by Section. A section's row is completed by its handler, e.g.
// &makeSection<ContactSectionImpl, ContactCollection>.
const SectionRow sectionRows[] = {
    /* SectionCalendar */
    {[](PalmApplication& a, IDispatch** c) { return a.get_Calendar(c); }, &IID_CalendarCollection,
     &makeSection<CalendarSectionImpl, CalendarCollection>},
    /* SectionContact */
    {[](PalmApplication& a, IDispatch** c) { return a.get_Contacts(c); }, &IID_ContactCollection,
     &makeSection<ContactSectionImpl, ContactCollection>},
    /* SectionTodo */
    {[](PalmApplication& a, IDispatch** c) { return a.get_TodoList(c); }, &IID_TodoCollection,
     &makeSection<TodoSectionImpl, TodoCollection>},
    /* SectionMemo */
    {[](PalmApplication& a, IDispatch** c) { return a.get_Memos(c); }, &IID_MemoCollection,
     &makeSection<MemoSectionImpl, MemoCollection>},
};

}  // namespace

win::ComPtr<PalmApplication>& sharedApplication()
{
    static win::ComPtr<PalmApplication> application;
    return application;
}

std::unique_ptr<SectionHandler> createSectionHandler(const win::ComPtr<PalmApplication>& application,
                                                     int section)
{
    if (section < 0 || section >= static_cast<int>(std::size(sectionRows)))
        return nullptr;
    const SectionRow& row = sectionRows[section];
    if (!row.make)
        return nullptr;
    win::ComPtr<IDispatch> answer;
    try {
        win::check(row.getCollection(*win::required(application).get(), answer.put()));
    } catch (const win::ComError&) {
        // The application failed (or is not there yet): no handler, which
        // the dispatch answers with ResponseFailed.
        return nullptr;
    }
    return row.make(answer, *row.collectionIid);
}
