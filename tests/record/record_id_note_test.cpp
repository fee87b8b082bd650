#include "record/record_id_note.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

const std::string tag = "Marrowvelle Record Id = ";
const std::string id = "{0123ABCD-4567-89EF-0123-456789ABCDEF}";

TEST(RecordIdNoteTest, NoteWithoutTagGetsFreshRegistryFormId) {
    RecordIdNote note("hello");
    EXPECT_EQ(note.getNoteText(), "hello");
    const std::string fresh = note.getRecordId();
    EXPECT_TRUE(std::regex_match(
        fresh, std::regex("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}")))
        << fresh;
    EXPECT_NE(RecordIdNote("hello").getRecordId(), fresh);
    EXPECT_EQ(note.composeNote(), tag + fresh + "\r\nhello");
}

TEST(RecordIdNoteTest, SplitsTaggedNotes) {
    RecordIdNote around("abc\r\n" + tag + id + "\r\nxyz");
    EXPECT_EQ(around.getNoteText(), "abcxyz");
    EXPECT_EQ(around.getRecordId(), id);

    RecordIdNote bare(tag + id + "\r\n");
    EXPECT_EQ(bare.getNoteText(), "");
    EXPECT_EQ(bare.getRecordId(), id);

    RecordIdNote shortHead("\r\n" + tag + id + "\r\ntail");
    EXPECT_EQ(shortHead.getNoteText(), "tail") << "a head of two bytes is dropped";

    RecordIdNote cut(tag + "{0123");
    EXPECT_EQ(cut.getRecordId(), "{0123");
    EXPECT_EQ(cut.getNoteText(), "");
}

}  // namespace
