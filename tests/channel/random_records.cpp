#include "random_records.h"

#include "sections/field_keys.h"

#include <cstdio>

namespace {

namespace contact = fieldkey::contact;
namespace memo = fieldkey::memo;

/// Text that survives the ANSI code page both ways: printable ASCII and the letters 0xC0-0xFF of code page 1252.
std::string randomText(std::mt19937& random, std::size_t length, bool blanks = true)
{
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = random() % 5 == 0 ? static_cast<char>(0xC0 + random() % 64) : static_cast<char>(0x21 + random() % 94);
        if (blanks && random() % 7 == 0)
            byte = ' ';
    }
    return text;
}

std::string randomLength(std::mt19937& random, std::size_t most) { return randomText(random, random() % (most + 1)); }

template <typename Keys>
std::vector<std::string> withRecordId(const Keys& keys)
{
    std::vector<std::string> all(keys.begin(), keys.end());
    all.push_back(fieldkey::RecordId);
    return all;
}

}  // namespace

Record randomContact(std::mt19937& random, const std::vector<std::string>& categories)
{
    Record record;
    for (const std::string key : contact::all)
        if (key != contact::EmptyCompanyName && key != contact::EmptyFirstName && key != contact::EmptyLastName)
            record.putField(key, randomLength(random, 40));
    record.putField(contact::FirstName, randomText(random, 1 + random() % 20, false));
    record.putField(contact::LastName, randomText(random, 1 + random() % 20));
    record.putField(contact::Notes, randomLength(random, 300) + "\r\n" + randomLength(random, 300));
    const char* phones[] = {contact::PhoneBusiness, contact::PhoneHome,   contact::PhoneFax,   contact::EMail1Address,
                            contact::PhoneMobile,   contact::PhoneMain,   contact::PhoneOther, contact::PhonePager};
    record.putField(phones[random() % 8], "");
    char birthday[16];
    std::snprintf(birthday, sizeof birthday, "%04u%02u%02u", 1920 + static_cast<unsigned>(random() % 90),
                  1 + static_cast<unsigned>(random() % 12), 1 + static_cast<unsigned>(random() % 28));
    record.putField(contact::Birthday, random() % 4 ? birthday : "");
    record.putField(contact::ConfidentialFlag, random() % 2 ? "1" : "0");
    record.putField(contact::Category, categories[random() % categories.size()]);
    return record;
}

Record randomMemo(std::mt19937& random, const std::vector<std::string>& categories)
{
    Record record;
    record.putField(memo::Title, randomLength(random, 255));
    std::string body;
    for (unsigned line = random() % 5; line > 0; --line)
        body += randomLength(random, 200) + "\r\n";
    record.putField(memo::Body, body + randomLength(random, 100));
    record.putField(memo::Private, random() % 2 ? "1" : "0");
    record.putField(memo::Category, categories[random() % categories.size()]);
    return record;
}

std::vector<std::string> contactKeys() { return withRecordId(contact::all); }
std::vector<std::string> memoKeys() { return withRecordId(memo::all); }

std::string separatorFreeText(std::mt19937& random, std::size_t length)
{
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = static_cast<char>(1 + random() % 255);
        if (byte == '\xB5' || byte == '\xBA' || byte == '\xB6' || byte == '\xA3')
            byte = 'z';
    }
    return text;
}
