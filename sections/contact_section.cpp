#include "sections/contact_section.h"

#include <array>
#include <utility>
#include <vector>

#include "record/date_time.h"
#include "record/number_text.h"
#include "sections/text_property.h"

namespace {

namespace key = fieldkey::contact;

/// Phone entries a contact has, at positions 0 to 6.
constexpr long phonePositions = 7;
/// The record key of each phone label 0 to 7.
constexpr std::array<const char*, 8> phoneKeyOfLabel = {
    key::PhoneBusiness, key::PhoneHome,  key::PhoneFax,   key::PhoneOther,
    key::EMail1Address, key::PhoneMain, key::PhonePager, key::PhoneMobile};
/// The order in which an import fills the phone positions, with each key's label.
constexpr std::array<std::pair<const char*, long>, 8> phoneImportOrder = {{
    {key::PhoneBusiness, 0}, {key::PhoneHome, 1}, {key::EMail1Address, 4}, {key::PhoneMobile, 7},
    {key::PhoneMain, 5}, {key::PhoneOther, 3}, {key::PhonePager, 6}, {key::PhoneFax, 2}}};

/// The record keys of the street, city, state, zip and country of the
/// second (index 1) and third (index 2) address.
constexpr std::array<std::array<const char*, 5>, 2> extraAddressKeys = {{
    {key::Address2, key::City2, key::State2, key::ZipCode2, key::Country2},
    {key::Address3, key::City3, key::State3, key::ZipCode3, key::Country3}}};

constexpr std::array<const char*, 4> baseCustomKeys = {key::Custom1, key::Custom2, key::Custom3, key::Custom4};
constexpr std::array<const char*, 5> extraCustomKeys = {key::Custom5, key::Custom6, key::Custom7, key::Custom8,
                                                        key::Custom9};

}  // namespace

ContactSectionImpl::ContactSectionImpl(ContactCollection* contacts) : CategoryWalkSection(contacts) {}

void ContactSectionImpl::readItem(ContactItem& item, Record& record) { readContact(item, record); }

std::string ContactSectionImpl::writeItem(ContactItem& item, const Record& record, bool existing) {
    updatingExisting = existing;
    return writeContact(item, record);
}

// A record without names would make a contact Palm Desktop cannot show, so
// it is created as "Unnamed"; writeContact overwrites the first name at once.
win::ComPtr<ContactItem> ContactSectionImpl::newItem(const Record& record) {
    const std::string lastName = record.getField(key::LastName);
    std::string firstName = record.getField(key::FirstName);
    if (lastName.empty() && firstName.empty()) firstName = "Unnamed";
    win::ComPtr<ContactItem> contact;
    win::check(win::required(collection)->NewContact(win::makeBstr(record.getField(key::Category)).get(),
                                                      win::makeBstr(firstName).get(),
                                                      win::makeBstr(lastName).get(), contact.put()));
    return contact;
}

std::string ContactSectionImpl::identifierText(ContactItem& item) { return getText(item, &ContactItem::get_Note); }

const char* ContactSectionImpl::categoryKey() const { return key::Category; }

void ContactSectionImpl::readContact(ContactItem& contact, Record& record) {
    record.putField(key::MiddleName, "");
    record.putField(key::EmptyCompanyName, "");
    record.putField(key::EmptyFirstName, "");
    record.putField(key::EmptyLastName, "");
    record.putField(key::LastName, getText(contact, &ContactItem::get_LastName));
    record.putField(key::YomiLastName, getText(contact, &ContactItem::get_ReadingLastName));

    // Palm Desktop keeps first and middle name in one field, split at the first blank.
    std::string firstName = getText(contact, &ContactItem::get_FirstName);
    const std::size_t blank = firstName.find(' ');
    if (blank != std::string::npos) {
        record.putField(key::MiddleName, firstName.substr(blank + 1));
        firstName.erase(blank);
    }
    record.putField(key::FirstName, firstName);

    record.putField(key::YomiFirstName, getText(contact, &ContactItem::get_ReadingFirstName));
    record.putField(key::JobTitle, getText(contact, &ContactItem::get_JobTitle));
    record.putField(key::CompanyName, getText(contact, &ContactItem::get_Company));
    record.putField(key::YomiCompanyName, getText(contact, &ContactItem::get_ReadingCompany));
    long privateFlag = 0;
    win::check(contact.get_Private(&privateFlag));
    record.putField(key::ConfidentialFlag, std::to_string(privateFlag));
    record.putField(key::Category, walkedCategory());
    for (long i = 0; i < 4; ++i) record.putField(baseCustomKeys[i], getText(contact, &ContactItem::get_Custom, i));
    record.putField(key::BusinessStreet, getText(contact, &ContactItem::get_Street));
    record.putField(key::BusinessCity, getText(contact, &ContactItem::get_City));
    record.putField(key::BusinessState, getText(contact, &ContactItem::get_State));
    record.putField(key::BusinessZip, getText(contact, &ContactItem::get_Zip));
    record.putField(key::BusinessCountry, getText(contact, &ContactItem::get_Country));

    const RecordIdNote note(getText(contact, &ContactItem::get_Note));
    putText(contact, &ContactItem::put_Note, note.composeNote());
    record.putField(fieldkey::RecordId, note.getRecordId());
    record.putField(key::Notes, note.getNoteText());

    // Of several entries with one label the first non-empty one counts.
    std::array<std::string, 8> phoneOfLabel;
    for (long position = 0; position < phonePositions; ++position) {
        long label = -1;
        win::UniqueBstr text;
        win::check(contact.GetPhone(position, &label, text.put()));
        if (label >= 0 && label < 8 && phoneOfLabel[label].empty()) phoneOfLabel[label] = win::fromBstr(text.get());
    }
    for (std::size_t label = 0; label < phoneOfLabel.size(); ++label)
        record.putField(phoneKeyOfLabel[label], phoneOfLabel[label]);

    win::ComPtr<ContactItemEx> extended =
        win::ComPtr<ContactItem>::share(&contact).query<ContactItemEx>(IID_ContactItemEx);
    if (!extended) return;
    ContactItemEx& ex = *extended.get();
    for (long i = 0; i < 2; ++i) {
        long kind = 0;
        win::UniqueBstr text;
        win::check(ex.GetIm(i, &kind, text.put()));
        record.putField(i == 0 ? key::Im : key::Im2, win::fromBstr(text.get()));
    }
    record.putField(key::WebSite, getText(ex, &ContactItemEx::get_WebSite));
    DATE birthday = 0.0;
    win::check(ex.get_Birthday(&birthday));
    record.putField(key::Birthday, dateValueToDateText(birthday));
    for (long i = 0; i < 5; ++i) record.putField(extraCustomKeys[i], getText(ex, &ContactItem::get_Custom, i + 4));
    for (long index = 1; index <= 2; ++index) {
        const auto& keys = extraAddressKeys[index - 1];
        record.putField(keys[0], getText(ex, &ContactItemEx::get_AddressStreet, index));
        record.putField(keys[1], getText(ex, &ContactItemEx::get_AddressCity, index));
        record.putField(keys[2], getText(ex, &ContactItemEx::get_AddressState, index));
        record.putField(keys[3], getText(ex, &ContactItemEx::get_AddressZip, index));
        record.putField(keys[4], getText(ex, &ContactItemEx::get_AddressCountry, index));
    }
}

std::string ContactSectionImpl::writeContact(ContactItem& contact, const Record& record) {
    putText(contact, &ContactItem::put_LastName, record.getField(key::LastName));
    putText(contact, &ContactItem::put_ReadingLastName, record.getField(key::YomiLastName));
    // The blank is written even when the middle name is empty.
    putText(contact, &ContactItem::put_FirstName,
            record.getField(key::FirstName) + " " + record.getField(key::MiddleName));
    putText(contact, &ContactItem::put_ReadingFirstName, record.getField(key::YomiFirstName));
    putText(contact, &ContactItem::put_JobTitle, record.getField(key::JobTitle));
    putText(contact, &ContactItem::put_Company, record.getField(key::CompanyName));
    putText(contact, &ContactItem::put_ReadingCompany, record.getField(key::YomiCompanyName));
    win::check(contact.put_Private(number_text::readInt(record.getField(key::ConfidentialFlag))));
    putText(contact, &ContactItem::put_Category, record.getField(key::Category));
    for (long i = 0; i < 4; ++i) putText(contact, &ContactItem::put_Custom, record.getField(baseCustomKeys[i]), i);
    putText(contact, &ContactItem::put_Street, record.getField(key::BusinessStreet));
    putText(contact, &ContactItem::put_City, record.getField(key::BusinessCity));
    putText(contact, &ContactItem::put_State, record.getField(key::BusinessState));
    putText(contact, &ContactItem::put_Zip, record.getField(key::BusinessZip));
    putText(contact, &ContactItem::put_Country, record.getField(key::BusinessCountry));

    // Filled phones take the positions from 0 on; the labels of the empty
    // ones are spare. An existing contact gets its remaining positions
    // cleared with the spare labels after the first one, which is never
    // written. When all eight phones are filled the eighth goes to position
    // 7, beyond the seven that Palm Desktop shows; its answer decides.
    long position = 0;
    std::vector<long> spareLabels;
    for (const auto& [phoneKey, label] : phoneImportOrder) {
        const std::string text = record.getField(phoneKey);
        if (text.empty()) {
            spareLabels.push_back(label);
            continue;
        }
        win::check(contact.SetPhone(position, label, win::makeBstr(text).get()));
        ++position;
    }
    if (updatingExisting) {
        for (std::size_t k = 1; position < phonePositions; ++k, ++position)
            win::check(contact.SetPhone(position, spareLabels[k], win::makeBstr("").get()));
    }

    RecordIdNote note(getText(contact, &ContactItem::get_Note));
    note.setNoteText(record.getField(key::Notes));
    putText(contact, &ContactItem::put_Note, note.composeNote());

    win::ComPtr<ContactItemEx> extended =
        win::ComPtr<ContactItem>::share(&contact).query<ContactItemEx>(IID_ContactItemEx);
    if (extended) {
        ContactItemEx& ex = *extended.get();
        win::check(ex.SetIm(0, 0, win::makeBstr(record.getField(key::Im)).get()));
        win::check(ex.SetIm(1, 0, win::makeBstr(record.getField(key::Im2)).get()));
        putText(ex, &ContactItemEx::put_WebSite, record.getField(key::WebSite));
        win::check(ex.put_Birthday(dateTextToDateValue(record.getField(key::Birthday))));
        for (long i = 0; i < 5; ++i) putText(ex, &ContactItem::put_Custom, record.getField(extraCustomKeys[i]), i + 4);
        for (long index = 1; index <= 2; ++index) {
            const auto& keys = extraAddressKeys[index - 1];
            putText(ex, &ContactItemEx::put_AddressStreet, record.getField(keys[0]), index);
            putText(ex, &ContactItemEx::put_AddressCity, record.getField(keys[1]), index);
            putText(ex, &ContactItemEx::put_AddressState, record.getField(keys[2]), index);
            putText(ex, &ContactItemEx::put_AddressZip, record.getField(keys[3]), index);
            putText(ex, &ContactItemEx::put_AddressCountry, record.getField(keys[4]), index);
        }
    }
    return note.getRecordId();
}
