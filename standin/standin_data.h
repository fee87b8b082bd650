#pragma once

// The items the stand-in keeps, as plain values. Every field is a wide
// string, a DATE (a double; 0.0 meaning none) or a 32-bit long, so that a
// data file can store and restore them one by one.

#include <windows.h>
#include <oleauto.h>

#include <array>
#include <string>
#include <vector>

namespace standin {

/// One phone entry of a contact: a label code and a text.
struct PhoneEntry {
    long label = 0;
    std::wstring text;
};

/// One postal address of a contact.
struct PostalAddress {
    std::wstring street, city, state, zip, country;
};

/// One instant-messaging entry of a contact.
struct ImEntry {
    long kind = 0;
    std::wstring text;
};

/// Positions of phone entries: 0 to 6 are the contact's seven entries, 7
/// holds an eighth that Palm Desktop accepts but never lists.
constexpr long kPhonePositions = 8;
/// Custom fields of a contact, index 0 to 8.
constexpr long kCustomFields = 9;
/// Postal addresses of a contact: 0 is the business address of
/// `ContactItem`, 1 and 2 are the second and third of `ContactItemEx`.
constexpr long kAddresses = 3;
/// Instant-messaging entries of a contact, index 0 and 1.
constexpr long kImEntries = 2;

/// A contact. New contacts carry the labels 0 to 7 at positions 0 to 7.
struct ContactData {
    std::wstring category;
    std::wstring firstName, lastName, jobTitle, company;
    std::array<PostalAddress, kAddresses> addresses;
    std::wstring note;
    std::array<std::wstring, kCustomFields> custom;
    long isPrivate = 0;
    std::array<PhoneEntry, kPhonePositions> phones{
        {{0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}, {5, {}}, {6, {}}, {7, {}}}};
    std::wstring readingFirstName, readingLastName, readingCompany;
    std::wstring webSite;
    DATE birthday = 0.0;
    std::array<ImEntry, kImEntries> ims;
    /// Whether the contact answers `ContactItemEx`.
    bool extended = true;
};

/// A memo: one text.
struct MemoData {
    std::wstring category;
    std::wstring text;
    long isPrivate = 0;
};

/// A to-do's repeat rule. Kind 0 means none; 1 daily, 2 weekly, 3 monthly
/// on the n-th weekday, 4 monthly on a date, 5 yearly.
struct TodoRepeatRule {
    long kind = 0;
    long extra = 0;
    long interval = 0;
    DATE end = 0.0;
    long mask = 0;
};

/// A to-do. Priority starts at 1, as in Palm Desktop.
struct TodoData {
    std::wstring category;
    std::wstring description;
    long priority = 1;
    DATE dueDate = 0.0;
    long completed = 0;
    std::wstring note;
    long isPrivate = 0;
    /// The repeating flag; `SetRepeat` makes it 1 for a kind other than 0.
    long repeating = 0;
    TodoRepeatRule repeat;
    long alarmFlag = 0;
    DATE alarmMoment = 0.0;
    long alarmDaysBefore = 0;
    /// Whether the to-do answers `TodoItemEx`.
    bool extended = true;
};

/// An event's repeat rule, as `TodoRepeatRule` without the extra value.
struct EventRepeatRule {
    long kind = 0;
    long interval = 0;
    DATE end = 0.0;
    long mask = 0;
};

/// A calendar event.
struct EventData {
    DATE start = 0.0;
    DATE end = 0.0;
    long untimed = 0;
    std::wstring description;
    std::wstring note;
    long alarmFlag = 0;
    /// Alarm lead: unit 0 minutes, 1 hours, 2 days; the count before start.
    long alarmLeadUnit = 0;
    long alarmLeadCount = 0;
    /// The repeating flag; `SetRepeat` makes it 1 for a kind other than 0.
    long repeating = 0;
    EventRepeatRule repeat;
    /// Skipped occurrences, ascending, without duplicates.
    std::vector<DATE> exceptions;
    std::wstring category;
    long isPrivate = 0;
    std::wstring location;
    /// Whether the event answers `EventItemEx`.
    bool extended = true;
};

/// An item as the stand-in holds it: its data plus whether it was deleted.
/// Objects handed out earlier keep a deleted item alive but answer failure.
template <typename Data>
struct Stored : Data {
    explicit Stored(Data data) : Data(std::move(data)) {}
    bool deleted = false;
};

}  // namespace standin
