// The contact handler and the category walk it shares, against the stand-in.
#include <gtest/gtest.h>

#include "sections/contact_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::contact;
using Names = std::vector<std::string>;

class ContactSection : public ::testing::Test {
protected:
    ContactSection() { desk.contacts().addCategory(L"Work"); }
    std::unique_ptr<ContactSectionImpl> handler() { return handlerOf<ContactSectionImpl>(desk, SectionContact); }
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

// The walk goes through the listed categories in list order and moves on
// before it converts an item, so a failed one is skipped. Failures part-way
// leave what was done: the count and names got so far, a created contact.
TEST_F(ContactSection, ExportWalksListedCategoriesAndFailuresRollNothingBack) {
    for (auto name : {L"Two", L"One"}) desk.contacts().addCategory(name);  // "Work" stays empty
    desk.addContact(L"Two", L"Ann", L"A");
    desk.addContact(L"Unlisted", L"Zed", L"Z");
    desk.addContact(L"One", L"Cid", L"C");
    auto bob = desk.addContact(L"Two", L"Bob", L"B");

    auto contacts = handler();
    int count = -1;
    EXPECT_EQ(contacts->getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(contacts->beginExport(), ResponseOk);
    desk.faults().failOn("ContactItem.get_JobTitle", 2, E_ACCESSDENIED);
    Names seen;
    Record r;
    for (ResponseCode code; seen.size() < 5 && (code = contacts->getNextRecord(r)) != ResponseNoMoreRecords; r.clear())
        seen.push_back(code == ResponseOk ? r.getField(key::LastName) + "/" + r.getField(key::Category) : "-");
    EXPECT_EQ(seen, (Names{"A/Two", "-", "C/One"}));
    EXPECT_EQ(contacts->getLastError(), E_ACCESSDENIED);
    r = withFields({{"untouched", "yes"}});
    EXPECT_EQ(contacts->getNextRecord(r), ResponseNoMoreRecords);
    EXPECT_EQ(r.getField("untouched"), "yes");

    desk.faults().failOn("ContactCollection.get_CategoryView", 3, E_FAIL);
    EXPECT_EQ(contacts->getRecordCount(count), ResponseFailed);
    EXPECT_EQ(count, 2);
    desk.faults().failOn("ContactCategoryList.get_Item", 3, E_FAIL);
    Names names{"kept"};
    EXPECT_EQ(contacts->readCategoryList(names), ResponseFailed);
    EXPECT_EQ(names, (Names{"kept", "Work", "Two"}));

    // A record without identifier is created without looking at any view; one
    // without names as "Unnamed", which a failing write leaves.
    const int views = desk.faults().calls("ContactCollection.get_CategoryView");
    desk.faults().failOn("ContactItem.put_LastName", 1, E_OUTOFMEMORY);
    std::string id = "unchanged";
    EXPECT_EQ(contacts->sendRecord(named("", "", "Lost"), id), ResponseFailed);
    EXPECT_EQ(contacts->getLastError(), E_OUTOFMEMORY);
    EXPECT_EQ(id, "unchanged");
    EXPECT_EQ(desk.contacts().items().back()->firstName, L"Unnamed");
    EXPECT_TRUE(desk.contacts().hasCategory(L"Lost"));
    EXPECT_EQ(desk.faults().calls("ContactCollection.get_CategoryView"), views);

    // Views are snapshots: the second deletion is Bob's.
    desk.faults().failOn("ContactItem.Delete", 2, E_FAIL);
    EXPECT_EQ(contacts->deleteAll(), ResponseFailed);
    EXPECT_EQ(desk.contacts().items().size(), 4u);
    EXPECT_FALSE(bob->deleted);
    desk.faults().failOn("ContactItem.put_LastName", 1, E_OUTOFMEMORY);
    EXPECT_EQ(contacts->sendRecord(named("", "Solo"), id), ResponseFailed);
    EXPECT_EQ(desk.contacts().items().back()->firstName, L"") << "a last name alone is a name";

    ContactSectionImpl broken(nullptr);
    EXPECT_EQ(broken.getLastError(), E_POINTER);
    EXPECT_EQ(broken.beginExport(), ResponseFailed);
    EXPECT_EQ(broken.sendRecord(named("a", "b"), id), ResponseFailed);
    EXPECT_EQ(broken.writeCategoryList({"x"}), ResponseOk);
}

/// The contact property behind each plain text key, in both directions.
std::vector<std::pair<const char*, std::wstring*>> textFields(standin::ContactData& c) {
    auto& a = c.addresses;
    return {{key::LastName, &c.lastName}, {key::YomiLastName, &c.readingLastName},
            {key::YomiFirstName, &c.readingFirstName}, {key::JobTitle, &c.jobTitle}, {key::CompanyName, &c.company},
            {key::YomiCompanyName, &c.readingCompany}, {key::BusinessStreet, &a[0].street},
            {key::BusinessCity, &a[0].city}, {key::BusinessState, &a[0].state}, {key::BusinessZip, &a[0].zip},
            {key::BusinessCountry, &a[0].country}, {key::Custom1, &c.custom[0]}, {key::Custom2, &c.custom[1]},
            {key::Custom3, &c.custom[2]}, {key::Custom4, &c.custom[3]}, {key::Custom5, &c.custom[4]},
            {key::Custom6, &c.custom[5]}, {key::Custom7, &c.custom[6]}, {key::Custom8, &c.custom[7]},
            {key::Custom9, &c.custom[8]}, {key::Im, &c.ims[0].text}, {key::Im2, &c.ims[1].text},
            {key::WebSite, &c.webSite}, {key::Address2, &a[1].street}, {key::City2, &a[1].city},
            {key::State2, &a[1].state}, {key::ZipCode2, &a[1].zip}, {key::Country2, &a[1].country},
            {key::Address3, &a[2].street}, {key::City3, &a[2].city}, {key::State3, &a[2].state},
            {key::ZipCode3, &a[2].zip}, {key::Country3, &a[2].country}};
}

// Every key with a value of its own, so that two swapped keys show; the first
// name splits at its first blank; export gives the identifier once.
TEST_F(ContactSection, EveryFieldMapsToItsOwnPropertyBothWays) {
    auto c = desk.addContact(L"Work", L"Mary Ann Lou", L"");
    auto fields = textFields(*c);
    for (std::size_t i = 0; i < fields.size(); ++i) *fields[i].second = L"t" + std::to_wstring(i);
    c->isPrivate = 7;
    c->birthday = at(2008, 3, 1);
    c->note = L"call back";
    for (long p = 0; p < 7; ++p) c->phones[p] = {7 - p, L"p" + std::to_wstring(7 - p)};
    auto lee = desk.addContact(L"Work", L" Lee", L"");
    lee->extended = false;
    lee->phones[0] = {0, L"p0"};
    lee->phones[2] = {1, L"home-1"};  // of one label the first non-empty entry counts
    lee->phones[4] = {1, L"home-2"};
    lee->phones[5] = {9, L"odd label"};

    const std::vector<Record> out = exportAll(*handler());
    ASSERT_EQ(out.size(), 2u);
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(out[0].getField(fields[i].first), "t" + std::to_string(i)) << fields[i].first;
    expectFields(out[0], {{key::FirstName, "Mary"}, {key::MiddleName, "Ann Lou"}, {key::ConfidentialFlag, "7"},
                          {key::Birthday, "20080301"}, {key::Category, "Work"}, {key::Notes, "call back"},
                          {key::EmptyFirstName, ""}, {key::EmptyLastName, ""}, {key::EmptyCompanyName, ""},
                          {key::PhoneBusiness, ""}, {key::PhoneHome, "p1"}, {key::PhoneFax, "p2"},
                          {key::PhoneOther, "p3"}, {key::EMail1Address, "p4"}, {key::PhoneMain, "p5"},
                          {key::PhonePager, "p6"}, {key::PhoneMobile, "p7"}});
    expectFields(out[1], {{key::FirstName, ""}, {key::MiddleName, "Lee"}, {key::PhoneBusiness, "p0"},
                          {key::PhoneHome, "home-1"}, {key::PhoneOther, ""}, {key::EMail1Address, ""},
                          {key::Im, nullptr}, {key::Im2, nullptr}, {key::WebSite, nullptr}, {key::Birthday, nullptr},
                          {key::Custom5, nullptr}, {key::Address2, nullptr}, {key::Country3, nullptr}});
    const std::string exportedId = out[0].getField(fieldkey::RecordId);
    EXPECT_EQ(exportedId.size(), 38u);
    EXPECT_EQ(c->note, composedNote(exportedId, "call back"));
    const std::vector<Record> again = exportAll(*handler());
    EXPECT_EQ(again[0].save(), out[0].save());
    EXPECT_EQ(again[1].getField(fieldkey::RecordId), out[1].getField(fieldkey::RecordId));
    EXPECT_EQ(c->note, composedNote(exportedId, "call back"));

    // Import into a new contact; the keys that export always leaves empty are not read.
    Record in = withFields({{key::FirstName, "f"}, {key::MiddleName, "m"}, {key::ConfidentialFlag, "9"},
                            {key::Birthday, "20090704"}, {key::Category, "Work"}, {key::Notes, "note"},
                            {key::EmptyFirstName, "x"}, {key::EmptyLastName, "x"}, {key::EmptyCompanyName, "x"}});
    for (std::size_t i = 0; i < fields.size(); ++i) in.putField(fields[i].first, "u" + std::to_string(i));
    const char* const phoneOfLabel[] = {key::PhoneBusiness, key::PhoneHome, key::PhoneFax, key::PhoneOther,
                                        key::EMail1Address, key::PhoneMain, key::PhonePager, key::PhoneMobile};
    for (long label = 0; label < 8; ++label) in.putField(phoneOfLabel[label], "q" + std::to_string(label));
    const std::string id = send(in);
    auto& made = *desk.contacts().items().back();
    fields = textFields(made);
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(*fields[i].second, L"u" + std::to_wstring(i)) << fields[i].first;
    EXPECT_EQ(made.firstName + L"/" + made.category + L"/" + std::to_wstring(made.isPrivate), L"f m/Work/9");
    EXPECT_EQ(made.birthday, at(2009, 7, 4));
    EXPECT_EQ(made.note, composedNote(id, "note"));
    const long order[] = {0, 1, 4, 7, 5, 3, 6, 2};  // the positions filled in import order
    for (long p = 0; p < 8; ++p)
        EXPECT_EQ(std::to_wstring(made.phones[p].label) + made.phones[p].text,
                  std::to_wstring(order[p]) + L"q" + std::to_wstring(order[p])) << p;
    // Without ContactItemEx only the base interface's fields are written.
    desk.contacts().extendNewItems = false;
    send(in);
    const auto& plain = *desk.contacts().items().back();
    EXPECT_EQ(plain.lastName + L"|" + plain.webSite + plain.custom[4] + plain.ims[0].text + plain.addresses[2].city,
              L"u0|");
}

// An update writes the filled phones from position 0 and clears the rest with
// the spare labels after the first, never position 7; a new contact's other
// positions stay as made.
TEST_F(ContactSection, SendUpdatesByIdentifierOrCreates) {
    auto mary = desk.addContact(L"Work", L"Mary", L"Smith");
    Record exported = exportAll(*handler()).at(0);
    const std::string id = exported.getField(fieldkey::RecordId);
    exported.putField(key::JobTitle, "Boss");
    exported.putField(key::Notes, "new note");
    exported.putField(key::MiddleName, "");
    exported.putField(key::PhoneHome, "only home");
    const auto eighth = mary->phones[7];
    EXPECT_EQ(send(exported), id);
    ASSERT_EQ(desk.contacts().items().size(), 1u);
    EXPECT_EQ(mary->jobTitle + L"/" + mary->firstName, L"Boss/Mary ");
    EXPECT_EQ(mary->note, composedNote(id, "new note"));
    const long labels[] = {1, 4, 7, 5, 3, 6, 2, eighth.label};
    for (long p = 0; p < 8; ++p)
        EXPECT_EQ(std::to_wstring(mary->phones[p].label) + mary->phones[p].text,
                  std::to_wstring(labels[p]) + (p == 0 ? L"only home" : p == 7 ? eighth.text : L"")) << p;

    Record fresh = named("Ann", "Lee", "Travel");
    fresh.putField(key::MiddleName, "Marie");
    fresh.putField(key::PhoneFax, "fax");
    fresh.putField(key::PhoneHome, "home");
    const std::string newId = send(fresh);
    fresh.putField(fieldkey::RecordId, "{00000000-0000-0000-0000-000000000000}");
    const std::string otherId = send(fresh);
    ASSERT_EQ(desk.contacts().items().size(), 3u);
    EXPECT_TRUE(newId != id && otherId != newId && otherId != fresh.getField(fieldkey::RecordId));
    auto& ann = *desk.contacts().items()[1];
    EXPECT_EQ(ann.firstName + L"/" + ann.category, L"Ann Marie/Travel");
    EXPECT_EQ(ann.note, composedNote(newId, ""));
    EXPECT_EQ(ann.phones[0].text + L"/" + ann.phones[1].text, L"home/fax");
    for (long p = 0; p < 8; ++p) EXPECT_EQ(ann.phones[p].label, p + (p < 2)) << p;
    EXPECT_EQ(desk.contacts().categories(), (std::vector<std::wstring>{L"Work", L"Travel"}));
    EXPECT_EQ(desk.faults().calls("ContactCollection.AddCategory"), 1);

    // Unknown identifiers delete nothing; category lists are written and read.
    EXPECT_EQ(handler()->deleteRecord("{no such id}"), ResponseOk);
    EXPECT_EQ(desk.contacts().items().size(), 3u);
    EXPECT_EQ(handler()->writeCategoryList({"Work", "Golf", ""}), ResponseOk);
    Names names{"kept"};
    EXPECT_EQ(handler()->readCategoryList(names), ResponseOk);
    EXPECT_EQ(names, (Names{"kept", "Work", "Travel", "Golf", ""}));
}

// Two contacts carry X, the first in walk order wins. Switched off, the
// search is the full scan, call for call; switched on, one pass builds the
// index, each hit reads its note once more, a hit whose note the user
// changed falls back to the scan, and a contact made in the bracket is found.
TEST_F(ContactSection, SearchByIdentifierThroughTheIndexFindsWhatTheScanFinds) {
    desk.contacts().addCategory(L"Home");
    const std::string x = "{0000000X-0000-0000-0000-000000000000}", y = "{0000000Y-0000-0000-0000-000000000000}",
                      z = "{0000000Z-0000-0000-0000-000000000000}";
    auto first = desk.addContact(L"Work", L"A", L"first");
    desk.addContact(L"Work", L"B", L"y")->note = composedNote(y, "");
    auto second = desk.addContact(L"Work", L"C", L"second");
    desk.addContact(L"Home", L"D", L"z")->note = composedNote(z, "");
    first->note = second->note = composedNote(x, "");
    const auto calls = [&] {
        return std::to_string(desk.faults().calls("ContactCollection.get_CategoryView")) + " views, " +
               std::to_string(desk.faults().calls("ContactView.get_Item")) + " items, " +
               std::to_string(desk.faults().calls("ContactItem.get_Note")) + " notes";
    };
    const auto update = [&](ContactSectionImpl& contacts, const std::string& id, const std::string& title) {
        Record record = named("N", "L");
        record.putField(fieldkey::RecordId, id);
        record.putField(key::JobTitle, title);
        std::string stored;
        EXPECT_EQ(contacts.sendRecord(record, stored), ResponseOk);
        return stored;
    };

    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "index" : "scan");
        const RecordIdIndexing indexing(indexed);
        auto contacts = handler();
        desk.faults() = standin::FaultTable();
        update(*contacts, y, "y1");
        update(*contacts, z, "z1");
        update(*contacts, x, "x1");
        // The scan: Work's view for y (2 items), Work's and Home's for z
        // (3 + 1), Work's for x (1); each item's note, and one more per
        // write. The index: both views once, each hit's note once more.
        EXPECT_EQ(calls(), indexed ? "2 views, 4 items, 10 notes" : "4 views, 7 items, 10 notes");
        EXPECT_EQ(first->jobTitle + L"/" + second->jobTitle, L"x1/");
        second->jobTitle.clear();
    }

    const RecordIdIndexing indexing(true);
    auto contacts = handler();
    update(*contacts, y, "");
    first->note = composedNote("{changed by the user}", "");
    update(*contacts, x, "x2");
    EXPECT_EQ(first->jobTitle + L"/" + second->jobTitle, L"x1/x2") << "the stale hit fell back to the scan";
    const std::string made = update(*contacts, "", "made");
    const int items = desk.faults().calls("ContactView.get_Item");
    EXPECT_EQ(update(*contacts, made, "made again"), made);
    EXPECT_EQ(desk.faults().calls("ContactView.get_Item"), items) << "found without a scan";
    EXPECT_EQ(desk.contacts().items().back()->jobTitle, L"made again");
    EXPECT_EQ(contacts->deleteRecord(z), ResponseOk);
    EXPECT_NE(update(*contacts, z, "z2"), z) << "deleted, so the update made a new contact";
    EXPECT_EQ(desk.contacts().items().size(), 5u);
}

}  // namespace
