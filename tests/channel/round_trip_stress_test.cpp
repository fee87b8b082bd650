// Nothing lost: contacts and memos with every field filled, imported into
// section_slave_host (the real slave over the Palm Desktop stand-in) and
// exported back, come back equal key for key under their imported ids.
#include "channel/command_master.h"
#include "channel_test_support.h"
#include "contact_records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace {

constexpr int contactCount = 60;
constexpr int memoCount = 40;

class RoundTripStress : public ::testing::Test {
protected:
    /// Imports `records`; answers them by their new id, which they carry.
    std::map<std::string, Record> importAll(Section section, const std::vector<Record>& records)
    {
        std::map<std::string, Record> byId;
        EXPECT_EQ(master.beginImport(section), ResponseOk);
        for (Record record : records) {
            std::string id;
            EXPECT_EQ(master.sendRecord(record, id), ResponseOk);
            EXPECT_EQ(id.size(), 38u);
            record.putField("RecordId", id);
            byId[id] = record;
        }
        EXPECT_EQ(master.endImport(), ResponseOk);
        return byId;
    }

    std::map<std::string, Record> exportAll(Section section)
    {
        std::map<std::string, Record> byId;
        EXPECT_EQ(master.beginExport(section), ResponseOk);
        for (Record record; master.getNextRecord(record) == ResponseOk;)
            byId[record.getField("RecordId")] = record;
        EXPECT_EQ(master.endExport(), ResponseOk);
        return byId;
    }

    /// How many of `imported` come back with every key equal.
    static int comeBackEqual(const std::map<std::string, Record>& imported,
                             std::map<std::string, Record> exported, const std::vector<std::string>& keys)
    {
        int equal = 0;
        for (const auto& [id, record] : imported) {
            bool same = true;
            for (const std::string& key : keys) {
                EXPECT_EQ(exported[id].getField(key), record.getField(key)) << "record " << id << ", key " << key;
                same = same && exported[id].getField(key) == record.getField(key);
            }
            equal += same;
        }
        return equal;
    }

    const std::string suffix = isolateChannel();
    HelperProcess host{"section_slave_host.exe", suffix, "BrannockSectionHostQuit"};
    CommandMaster master;
};

TEST_F(RoundTripStress, EveryImportedRecordIsExportedBackEqual)
{
    std::mt19937 random(2026);
    std::vector<Record> contacts;
    for (int i = 0; i < contactCount; ++i)
        contacts.push_back(randomContact(random, {"Business", "Personal", "Empty"}));
    std::vector<Record> memos;
    for (int i = 0; i < memoCount; ++i)
        memos.push_back(randomMemo(random, {"Unfiled", "Ideas"}));

    const std::map<std::string, Record> importedContacts = importAll(SectionContact, contacts);
    const std::map<std::string, Record> importedMemos = importAll(SectionMemo, memos);
    const int contactsBack = comeBackEqual(importedContacts, exportAll(SectionContact), contactKeys());
    const int memosBack = comeBackEqual(importedMemos, exportAll(SectionMemo), memoKeys());
    EXPECT_EQ(contactsBack, contactCount);
    EXPECT_EQ(memosBack, memoCount);
    EXPECT_TRUE(host.quit());
    std::printf("[figures] nothing lost: %d of %d contacts and %d of %d memos exported back equal\n", contactsBack,
                contactCount, memosBack, memoCount);
}

}  // namespace
