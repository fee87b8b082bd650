// The contact handler and the category walk it shares, against the stand-in.
#include <gtest/gtest.h>

#include "sections/contact_section.h"
#include "sections/memo_section.h"
#include "sections/section_factory.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::contact;

class ContactSection : public ::testing::Test {
protected:
    std::unique_ptr<ContactSectionImpl> handler() {
        return handlerOver<ContactSectionImpl, ContactCollection>(desk, &PalmApplication::get_Contacts,
                                                                 IID_ContactCollection);
    }
    std::string send(const Record& record) {
        std::string id;
        EXPECT_EQ(handler()->sendRecord(record, id), ResponseOk);
        return id;
    }
    standin::StandinDesktop desk;
};

Record named(const std::string& first, const std::string& last, const std::string& category = "Work") {
    return withFields({{key::FirstName, first}, {key::LastName, last}, {key::Category, category}});
}

TEST_F(ContactSection, ExportWalksCategoriesInListOrder) {
    for (auto name : {L"Empty", L"Two", L"One"}) desk.contacts().addCategory(name);
    desk.addContact(L"Two", L"Ann", L"A");
    desk.addContact(L"Unlisted", L"Zed", L"Z");
    desk.addContact(L"One", L"Cid", L"C");
    desk.addContact(L"Two", L"Bob", L"B");

    auto contacts = handler();
    int count = -1;
    EXPECT_EQ(contacts->getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 3);
    std::vector<std::string> seen;
    for (const Record& record : exportAll(*contacts))
        seen.push_back(record.getField(key::LastName) + "/" + record.getField(key::Category));
    EXPECT_EQ(seen, (std::vector<std::string>{"A/Two", "B/Two", "C/One"}));
    Record record;
    record.putField("untouched", "yes");
    EXPECT_EQ(contacts->getNextRecord(record), ResponseNoMoreRecords);
    EXPECT_EQ(record.getField("untouched"), "yes");
}

TEST_F(ContactSection, ExportGivesIdentifierOnceAndMapsFields) {
    desk.contacts().addCategory(L"Work");
    auto mary = desk.addContact(L"Work", L"Mary Ann Lou", L"Smith");
    mary->note = L"call back";
    mary->isPrivate = 1;
    mary->custom[3] = L"c4";
    mary->custom[8] = L"c9";
    mary->addresses[2].city = L"Oslo";
    mary->ims[1].text = L"mary@im";
    mary->birthday = 39508.0;  // 1 March 2008
    auto plain = desk.addContact(L"Work", L" Lee", L"Plain");
    plain->extended = false;

    const std::vector<Record> first = exportAll(*handler());
    ASSERT_EQ(first.size(), 2u);
    const Record& m = first[0];
    const std::string id = m.getField(fieldkey::RecordId);
    EXPECT_EQ(id.size(), 38u);
    EXPECT_EQ(m.getField(key::Notes), "call back");
    EXPECT_EQ(mary->note, composedNote(id, "call back"));
    EXPECT_EQ(m.getField(key::FirstName), "Mary");
    EXPECT_EQ(m.getField(key::MiddleName), "Ann Lou");
    for (const char* empty : {key::EmptyFirstName, key::EmptyLastName, key::EmptyCompanyName})
        EXPECT_TRUE(hasKey(m, empty) && m.getField(empty).empty());
    const std::pair<const char*, const char*> mapped[] = {{key::ConfidentialFlag, "1"}, {key::Custom4, "c4"},
        {key::Custom9, "c9"}, {key::City3, "Oslo"}, {key::Im2, "mary@im"}, {key::Birthday, "20080301"}};
    for (const auto& [k, value] : mapped) EXPECT_EQ(m.getField(k), value) << k;
    for (const char* k : key::all) EXPECT_TRUE(hasKey(m, k)) << k;

    const Record& p = first[1];
    EXPECT_EQ(p.getField(key::FirstName), "");
    EXPECT_EQ(p.getField(key::MiddleName), "Lee");
    for (const char* absent : {key::Im, key::Im2, key::WebSite, key::Birthday, key::Custom5, key::Address2,
                               key::Country3})
        EXPECT_FALSE(hasKey(p, absent)) << absent;

    const std::vector<Record> second = exportAll(*handler());
    EXPECT_EQ(second[0].save(), first[0].save());
    EXPECT_EQ(second[1].getField(fieldkey::RecordId), p.getField(fieldkey::RecordId));
    EXPECT_EQ(mary->note, composedNote(id, "call back"));
}

TEST_F(ContactSection, SendUpdatesByIdentifierOrCreates) {
    desk.contacts().addCategory(L"Work");
    desk.addContact(L"Work", L"Mary", L"Smith");
    Record exported = exportAll(*handler()).at(0);
    const std::string id = exported.getField(fieldkey::RecordId);

    exported.putField(key::JobTitle, "Boss");
    exported.putField(key::Notes, "new note");
    exported.putField(key::MiddleName, "");
    EXPECT_EQ(send(exported), id);
    ASSERT_EQ(desk.contacts().items().size(), 1u);
    auto& mary = *desk.contacts().items()[0];
    EXPECT_EQ(mary.jobTitle, L"Boss");
    EXPECT_EQ(mary.firstName, L"Mary ");
    EXPECT_EQ(mary.note, composedNote(id, "new note"));

    Record fresh = named("Ann", "Lee", "Travel");
    fresh.putField(key::MiddleName, "Marie");
    const std::string newId = send(fresh);
    fresh.putField(fieldkey::RecordId, "{00000000-0000-0000-0000-000000000000}");
    const std::string otherId = send(fresh);
    ASSERT_EQ(desk.contacts().items().size(), 3u);
    EXPECT_NE(newId, id);
    EXPECT_NE(otherId, newId);
    EXPECT_NE(otherId, fresh.getField(fieldkey::RecordId));
    auto& ann = *desk.contacts().items()[1];
    EXPECT_EQ(ann.firstName, L"Ann Marie");
    EXPECT_EQ(ann.category, L"Travel");
    EXPECT_EQ(ann.note, composedNote(newId, ""));
    EXPECT_EQ(desk.contacts().categories(), (std::vector<std::wstring>{L"Work", L"Travel"}));
    EXPECT_EQ(desk.faults().calls("ContactCollection.AddCategory"), 1);
}

TEST_F(ContactSection, PhonesByLabelWithSpareLabels) {
    desk.contacts().addCategory(L"Work");
    auto twice = desk.addContact(L"Work", L"Two", L"Homes");
    twice->phones[2] = {1, L"home-1"};
    twice->phones[4] = {1, L"home-2"};
    twice->phones[5] = {9, L"odd label"};
    twice->phones[6] = {7, L"mobile"};
    Record exported = exportAll(*handler()).at(0);
    EXPECT_EQ(exported.getField(key::PhoneHome), "home-1");
    EXPECT_EQ(exported.getField(key::PhoneMobile), "mobile");
    EXPECT_EQ(exported.getField(key::PhoneOther), "");

    // A new contact: filled phones from position 0, nothing else touched.
    Record fresh = named("New", "Contact");
    fresh.putField(key::PhoneFax, "fax");
    fresh.putField(key::PhoneHome, "home");
    send(fresh);
    const auto& created = desk.contacts().items().back()->phones;
    EXPECT_EQ(created[0].text + L"/" + created[1].text, L"home/fax");
    for (long p = 0; p < 8; ++p) EXPECT_EQ(created[p].label, p + (p < 2)) << p;

    // An existing contact: the rest is cleared with the spare labels after the first.
    Record update = exported;
    for (const char* k : {key::PhoneHome, key::PhoneMobile}) update.putField(k, "");
    update.putField(key::PhoneHome, "only home");
    send(update);
    const auto& updated = twice->phones;
    EXPECT_EQ(updated[0].text, L"only home");
    const long labels[] = {1, 4, 7, 5, 3, 6, 2};
    for (long p = 0; p <= 6; ++p) EXPECT_EQ(updated[p].label, labels[p]) << p;
    for (long p = 1; p <= 6; ++p) EXPECT_EQ(updated[p].text, L"") << p;
}

TEST_F(ContactSection, FailuresAreReportedAndNothingIsRolledBack) {
    desk.contacts().addCategory(L"Work");
    desk.addContact(L"Work", L"First", L"One");
    auto second = desk.addContact(L"Work", L"Second", L"Two");

    auto contacts = handler();
    ASSERT_EQ(contacts->beginExport(), ResponseOk);
    desk.faults().failOn("ContactItem.get_JobTitle", 1, E_ACCESSDENIED);
    Record record;
    EXPECT_EQ(contacts->getNextRecord(record), ResponseFailed);
    EXPECT_EQ(contacts->getLastError(), E_ACCESSDENIED);
    record.clear();
    EXPECT_EQ(contacts->getNextRecord(record), ResponseOk);
    EXPECT_EQ(record.getField(key::LastName), "Two");

    // A record without names is created as "Unnamed"; a failing write leaves it so.
    desk.faults().failOn("ContactItem.put_LastName", 1, E_OUTOFMEMORY);
    std::string id = "unchanged";
    EXPECT_EQ(contacts->sendRecord(named("", "", "Lost"), id), ResponseFailed);
    EXPECT_EQ(contacts->getLastError(), E_OUTOFMEMORY);
    EXPECT_EQ(id, "unchanged");
    EXPECT_EQ(desk.contacts().items().back()->firstName, L"Unnamed");
    EXPECT_TRUE(desk.contacts().hasCategory(L"Lost"));

    // Views are snapshots: the second deletion is the second contact's.
    desk.faults().failOn("ContactItem.Delete", 2, E_FAIL);
    EXPECT_EQ(contacts->deleteAll(), ResponseFailed);
    EXPECT_EQ(desk.contacts().items().size(), 2u);
    EXPECT_EQ(desk.contacts().items()[0], second);

    auto broken = std::make_unique<ContactSectionImpl>(nullptr);
    EXPECT_EQ(broken->getLastError(), E_POINTER);
    EXPECT_EQ(broken->beginExport(), ResponseFailed);
    EXPECT_EQ(broken->sendRecord(named("a", "b"), id), ResponseFailed);
    EXPECT_EQ(broken->writeCategoryList({"x"}), ResponseOk);
}

// Deleting one and all, and the category lists, run end to end as well.
TEST_F(ContactSection, UnknownIdentifiersCategoryListsAndTheFactory) {
    desk.contacts().addCategory(L"Work");
    desk.addContact(L"Work", L"A", L"A");
    EXPECT_EQ(handler()->deleteRecord("{no such id}"), ResponseOk);
    EXPECT_EQ(desk.contacts().items().size(), 1u);

    EXPECT_EQ(handler()->writeCategoryList({"Work", "Golf", ""}), ResponseOk);
    std::vector<std::string> names{"kept"};
    EXPECT_EQ(handler()->readCategoryList(names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Work", "Golf", ""}));

    EXPECT_NE(dynamic_cast<ContactSectionImpl*>(createSectionHandler(desk.application(), SectionContact).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<MemoSectionImpl*>(createSectionHandler(desk.application(), SectionMemo).get()), nullptr);
}

}  // namespace
