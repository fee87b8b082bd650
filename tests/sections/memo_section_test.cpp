// The memo handler against the stand-in.
#include <gtest/gtest.h>

#include "sections/memo_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::memo;

class MemoSection : public ::testing::Test {
protected:
    MemoSection() { desk.memos().addCategory(L"Unfiled"); }
    std::unique_ptr<MemoSectionImpl> handler() {
        return handlerOver<MemoSectionImpl, MemoCollection>(desk, &PalmApplication::get_Memos, IID_MemoCollection);
    }
    standin::StandinDesktop desk;
};

Record memo(const std::string& title, const std::string& body, const std::string& category = "Unfiled") {
    Record r;
    r.putField(key::Title, title);
    r.putField(key::Body, body);
    r.putField(key::Category, category);
    return r;
}

TEST_F(MemoSection, ExportSplitsTextAndKeepsIdentifier) {
    auto shopping = desk.addMemo(L"Unfiled", L"Shopping\r\nmilk");
    shopping->isPrivate = 1;
    auto title = desk.addMemo(L"Unfiled", L"just a title");
    auto longLine = desk.addMemo(L"Unfiled", std::wstring(300, L'x') + L"\r\nend");

    const std::vector<Record> first = exportAll(*handler());
    ASSERT_EQ(first.size(), 3u);
    const std::string id = first[0].getField(fieldkey::RecordId);
    EXPECT_EQ(id.size(), 38u);
    EXPECT_EQ(first[0].getField(key::Title) + "/" + first[0].getField(key::Body) + "/" +
                  first[0].getField(key::Category) + "/" + first[0].getField(key::Private),
              "Shopping/milk/Unfiled/1");
    EXPECT_EQ(shopping->text, L"Shopping\r\n" + composedNote(id, "milk"));
    EXPECT_EQ(first[1].getField(key::Title) + "/" + first[1].getField(key::Body), "just a title/");
    EXPECT_EQ(first[2].getField(key::Body), std::string(45, 'x') + "\r\nend");
    EXPECT_EQ(longLine->text, std::wstring(255, L'x') + L"\r\n" +
                                  composedNote(first[2].getField(fieldkey::RecordId), std::string(45, 'x') + "\r\nend"));

    const std::wstring written = title->text;
    const std::vector<Record> second = exportAll(*handler());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i].save(), first[i].save());
    EXPECT_EQ(title->text, written);
}

TEST_F(MemoSection, SendKeepsTheMemosIdentifier) {
    auto stored = desk.addMemo(L"Unfiled", L"Old\r\nold body");
    const std::string id = exportAll(*handler()).at(0).getField(fieldkey::RecordId);
    desk.memos().addCategory(L"Work");

    Record update = memo("A", "B", "Work");
    update.putField(fieldkey::RecordId, id);
    update.putField(key::Private, "1");
    std::string answered;
    EXPECT_EQ(handler()->sendRecord(update, answered), ResponseOk);
    EXPECT_EQ(answered, id);
    EXPECT_EQ(stored->text, L"A\r\n" + composedNote(id, "B"));
    EXPECT_EQ(stored->category, L"Work");
    EXPECT_EQ(stored->isPrivate, 1);
    EXPECT_EQ(desk.memos().items().size(), 1u);

    // A memo carrying the tag somewhere else keeps that identifier too.
    stored->text = L"Moved\r\nuser text\r\n" + composedNote(id, "tail");
    EXPECT_EQ(handler()->sendRecord(update, answered), ResponseOk);
    EXPECT_EQ(answered, id);
    EXPECT_EQ(stored->text, L"A\r\n" + composedNote(id, "B"));

    Record fresh = memo("New", "text", "Ideas");
    fresh.putField(fieldkey::RecordId, id.substr(0, 37) + "0");
    EXPECT_EQ(handler()->sendRecord(fresh, answered), ResponseOk);
    EXPECT_NE(answered, id);
    ASSERT_EQ(desk.memos().items().size(), 2u);
    EXPECT_EQ(desk.memos().items()[1]->text, L"New\r\n" + composedNote(answered, "text"));
    EXPECT_TRUE(desk.memos().hasCategory(L"Ideas"));

    EXPECT_EQ(handler()->deleteRecord(id), ResponseOk);
    ASSERT_EQ(desk.memos().items().size(), 1u);
    EXPECT_EQ(desk.memos().items()[0]->category, L"Ideas");
}

// Only the body is searched: a tag in the first line is the title's text.
TEST_F(MemoSection, TagInTheFirstLineIsNoMatch) {
    const std::string id = "{0A1B2C3D-0000-4000-8000-00000000000A}";
    auto titled = desk.addMemo(L"Unfiled", composedNote(id, "body"));
    EXPECT_EQ(handler()->deleteRecord(id), ResponseOk);
    EXPECT_FALSE(titled->deleted);
    Record update = memo("A", "B");
    update.putField(fieldkey::RecordId, id);
    std::string answered;
    EXPECT_EQ(handler()->sendRecord(update, answered), ResponseOk);
    EXPECT_NE(answered, id);
    EXPECT_EQ(desk.memos().items().size(), 2u);
    EXPECT_EQ(titled->text, composedNote(id, "body"));
}

TEST_F(MemoSection, NewMemoStartsWithBodyOrTitle) {
    auto memos = handler();
    std::string id;
    desk.faults().failFrom("MemoItem.put_Category", 1, E_ACCESSDENIED);
    EXPECT_EQ(memos->sendRecord(memo("Title only", ""), id), ResponseFailed);
    EXPECT_EQ(memos->sendRecord(memo("Title", "Body first"), id), ResponseFailed);
    EXPECT_EQ(memos->getLastError(), E_ACCESSDENIED);
    ASSERT_EQ(desk.memos().items().size(), 2u);
    EXPECT_EQ(desk.memos().items()[0]->text, L"Title only");
    EXPECT_EQ(desk.memos().items()[1]->text, L"Body first");
}

}  // namespace
