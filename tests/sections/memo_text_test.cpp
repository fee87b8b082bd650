// The split of a memo text into title and body, in single- and double-byte
// code pages.
#include <string>

#include <gtest/gtest.h>

#include "sections/memo_section.h"

namespace {

TEST(MemoText, TitleIsTheFirstLineOfAtMost255BytesWithoutCuttingACharacter) {
    const std::string hiragana = "\x82\xa0";  // one double-byte character of code page 932
    std::string twoHundredHiragana;
    for (int i = 0; i < 200; ++i) twoHundredHiragana += hiragana;
    const std::string x255(255, 'x');
    struct Case {
        std::string text;
        UINT codePage;
        std::string title, body;
    };
    const Case cases[] = {
        {"Shopping\r\nmilk\r\neggs", 1252, "Shopping", "milk\r\neggs"},
        {"\r\nbody", 1252, "", "body"},
        {"only a title", 1252, "only a title", ""},
        {"bare\nnewline", 1252, "bare\nnewline", ""},
        {"", 1252, "", ""},
        {x255, 1252, x255, ""},
        {x255 + "\r\nbody", 1252, x255, "body"},
        {x255 + "u", 1252, x255, "u"},
        // A longer first line goes on in the body, line break and all.
        {x255 + std::string(45, 'x') + "\r\nnext", 1252, x255, std::string(45, 'x') + "\r\nnext"},
        // A lead byte at byte 255 stays with its character, in the body.
        {std::string(254, 'a') + hiragana + "rest", 932, std::string(254, 'a'), hiragana + "rest"},
        {std::string(254, 'a') + hiragana + "rest", 1252, std::string(254, 'a') + "\x82", "\xa0rest"},
        {twoHundredHiragana, 932, twoHundredHiragana.substr(0, 254), twoHundredHiragana.substr(254)},
        {hiragana + "\r\n" + hiragana, 932, hiragana, hiragana},
    };
    for (const Case& c : cases) {
        const MemoText split = MemoSectionImpl::splitMemoText(c.text, c.codePage);
        EXPECT_EQ(split.title, c.title) << c.text.substr(0, 20) << " in " << c.codePage;
        EXPECT_EQ(split.body, c.body) << c.text.substr(0, 20) << " in " << c.codePage;
    }
}

}  // namespace
