#pragma once

// The data the two-process section tests start from.
//
// Contacts: categories "Business" (Ann Archer, Bob Baker), "Empty" (none),
// "Personal" (Cid Cole, with the note "friend"), in that order.
// Memos: categories "Unfiled" ("Shopping" / "milk", "Plain title"),
// "Ideas" ("Garden" / "roses").

#include "standin/standin_desktop.h"

namespace sectiontest {

inline void seedHostDesktop(standin::StandinDesktop& desk) {
    for (auto name : {L"Business", L"Empty", L"Personal"}) desk.contacts().addCategory(name);
    desk.addContact(L"Business", L"Ann", L"Archer")->phones[0].text = L"555-0100";
    desk.addContact(L"Personal", L"Cid", L"Cole")->note = L"friend";
    desk.addContact(L"Business", L"Bob", L"Baker");

    for (auto name : {L"Unfiled", L"Ideas"}) desk.memos().addCategory(name);
    desk.addMemo(L"Unfiled", L"Shopping\r\nmilk");
    desk.addMemo(L"Ideas", L"Garden\r\nroses");
    desk.addMemo(L"Unfiled", L"Plain title");
}

}  // namespace sectiontest
