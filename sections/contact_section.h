#pragma once

#include <string>

#include "sections/category_walk.h"

/// Palm Desktop's contact interfaces, as the category walk uses them.
struct ContactModel {
    using Collection = ContactCollection;
    using CategoryList = ContactCategoryList;
    using View = ContactView;
    using Item = ContactItem;
};

/// The section handler of Palm Desktop's contacts. A contact keeps its
/// record identifier at the head of its note. Names travel under
/// "128.Last Name" and "129.First Name"; Palm Desktop's one first-name field
/// holds the first and the middle name joined by a blank. Phones travel by
/// label; the fields of ContactItemEx travel only for contacts that offer it.
class ContactSectionImpl : public CategoryWalkSection<ContactModel> {
public:
    /// A handler over `contacts` (which may be null: every operation then
    /// fails).
    explicit ContactSectionImpl(ContactCollection* contacts);

    /// Fills `record` from `contact`, giving the contact an identifier in its
    /// note when it has none and writing the note back in composed form.
    void readContact(ContactItem& contact, Record& record);
    /// Writes `record` into `contact` and returns the identifier kept in the
    /// contact's note (the record's own "RecordId" is not written).
    std::string writeContact(ContactItem& contact, const Record& record);

protected:
    void readItem(ContactItem& item, Record& record) override;
    std::string writeItem(ContactItem& item, const Record& record, bool existing) override;
    win::ComPtr<ContactItem> newItem(const Record& record) override;
    std::string identifierText(ContactItem& item) override;
    const char* categoryKey() const override;

    /// True while a sendRecord writes into a contact it found by its
    /// identifier; then writeContact clears the phone entries it does not fill.
    bool updatingExisting = false;
};
