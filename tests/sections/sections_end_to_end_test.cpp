// Contacts and memos end to end: CommandMaster in this process, the real
// handlers behind CommandSlave and the timer hand-over in
// section_slave_host, over a stand-in seeded as section_host_seed.h says.
#include <windows.h>

#include <gtest/gtest.h>

#include "channel/command_master.h"
#include "channel_test_support.h"
#include "section_host.h"
#include "sections/field_keys.h"

namespace {

namespace contact = fieldkey::contact;
namespace memo = fieldkey::memo;

class SectionsEndToEnd : public ::testing::Test {
protected:
    std::vector<Record> exportAll(Section section) {
        std::vector<Record> records;
        EXPECT_EQ(master.beginExport(section), ResponseOk);
        int count = -1;
        EXPECT_EQ(master.getRecordCount(count), ResponseOk);
        for (Record record; master.getNextRecord(record) == ResponseOk;) records.push_back(record);
        EXPECT_EQ(master.endExport(), ResponseOk);
        EXPECT_EQ(count, static_cast<int>(records.size()));
        return records;
    }
    static std::vector<std::string> fields(const std::vector<Record>& records, const char* key) {
        std::vector<std::string> values;
        for (const Record& r : records) values.push_back(r.getField(key));
        return values;
    }

    sectiontest::SectionHost host{isolateChannel()};
    CommandMaster master;
};

TEST_F(SectionsEndToEnd, ExportsEveryContactAndMemo) {
    const std::vector<Record> contacts = exportAll(SectionContact);
    EXPECT_EQ(fields(contacts, contact::LastName), (std::vector<std::string>{"Archer", "Baker", "Cole"}));
    EXPECT_EQ(fields(contacts, contact::Category), (std::vector<std::string>{"Business", "Business", "Personal"}));
    EXPECT_EQ(contacts[0].getField(contact::PhoneBusiness), "555-0100");
    EXPECT_EQ(contacts[2].getField(contact::Notes), "friend");

    const std::vector<Record> memos = exportAll(SectionMemo);
    EXPECT_EQ(fields(memos, memo::Title), (std::vector<std::string>{"Shopping", "Plain title", "Garden"}));
    EXPECT_EQ(fields(memos, memo::Body), (std::vector<std::string>{"milk", "", "roses"}));

    // The identifiers given on the first export stay.
    EXPECT_EQ(fields(exportAll(SectionContact), fieldkey::RecordId), fields(contacts, fieldkey::RecordId));
    EXPECT_EQ(fields(exportAll(SectionMemo), fieldkey::RecordId), fields(memos, fieldkey::RecordId));
}

TEST_F(SectionsEndToEnd, ImportsNewAndUpdatedRecords) {
    Record baker = exportAll(SectionContact).at(1);
    baker.putField(contact::JobTitle, "Baker in chief");
    Record fresh;
    fresh.putField(contact::LastName, "Dunn");
    fresh.putField(contact::Category, "Travel");

    std::string bakerId, freshId;
    ASSERT_EQ(master.beginImport(SectionContact), ResponseOk);
    EXPECT_EQ(master.sendRecord(baker, bakerId), ResponseOk);
    EXPECT_EQ(master.sendRecord(fresh, freshId), ResponseOk);
    EXPECT_EQ(master.endImport(), ResponseOk);
    EXPECT_EQ(bakerId, baker.getField(fieldkey::RecordId));
    EXPECT_EQ(freshId.size(), 38u);

    const std::vector<Record> contacts = exportAll(SectionContact);
    ASSERT_EQ(contacts.size(), 4u);
    EXPECT_EQ(contacts[1].getField(contact::JobTitle), "Baker in chief");
    EXPECT_EQ(contacts[3].getField(contact::LastName), "Dunn");
    EXPECT_EQ(contacts[3].getField(contact::Category), "Travel");
    EXPECT_EQ(contacts[3].getField(fieldkey::RecordId), freshId);

    Record garden = exportAll(SectionMemo).at(2);
    garden.putField(memo::Body, "roses and tulips");
    Record note;
    note.putField(memo::Title, "Note");
    note.putField(memo::Category, "Ideas");
    std::string gardenId, noteId;
    ASSERT_EQ(master.beginImport(SectionMemo), ResponseOk);
    EXPECT_EQ(master.sendRecord(garden, gardenId), ResponseOk);
    EXPECT_EQ(master.sendRecord(note, noteId), ResponseOk);
    EXPECT_EQ(master.endImport(), ResponseOk);
    const std::vector<Record> memos = exportAll(SectionMemo);
    EXPECT_EQ(fields(memos, memo::Title), (std::vector<std::string>{"Shopping", "Plain title", "Garden", "Note"}));
    EXPECT_EQ(memos[2].getField(memo::Body), "roses and tulips");
    EXPECT_EQ(memos[2].getField(fieldkey::RecordId), gardenId);
    EXPECT_EQ(memos[3].getField(fieldkey::RecordId), noteId);
}

TEST_F(SectionsEndToEnd, DeletesOneThenAll) {
    const std::string coleId = exportAll(SectionContact).at(2).getField(fieldkey::RecordId);
    ASSERT_EQ(master.beginImport(SectionContact), ResponseOk);
    EXPECT_EQ(master.deleteRecord(coleId), ResponseOk);
    EXPECT_EQ(master.deleteRecord(coleId), ResponseOk);
    EXPECT_EQ(master.endImport(), ResponseOk);
    EXPECT_EQ(fields(exportAll(SectionContact), contact::LastName), (std::vector<std::string>{"Archer", "Baker"}));

    EXPECT_EQ(master.deleteAll(), ResponseOk);  // the section named last: contacts
    EXPECT_TRUE(exportAll(SectionContact).empty());
    EXPECT_EQ(exportAll(SectionMemo).size(), 3u);
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_TRUE(exportAll(SectionMemo).empty());
}

TEST_F(SectionsEndToEnd, ReadsAndWritesCategories) {
    std::vector<std::string> names;
    EXPECT_EQ(master.readCategoryList(SectionContact, names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"Business", "Empty", "Personal"}));
    EXPECT_EQ(master.writeCategoryList({"Personal", "Golf"}), ResponseOk);
    EXPECT_EQ(master.readCategoryList(SectionContact, names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"Business", "Empty", "Personal", "Golf"}));

    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"Unfiled", "Ideas"}));
    EXPECT_EQ(master.writeCategoryList({"Recipes"}), ResponseOk);
    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"Unfiled", "Ideas", "Recipes"}));
}

}  // namespace
