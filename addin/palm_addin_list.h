#pragma once

#include <objbase.h>

/// Class of Palm Desktop's add-in list object.
inline constexpr CLSID CLSID_PalmAddinList = {
    0xBE44897A, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
/// Interface of Palm Desktop's add-in list.
inline constexpr IID IID_PalmAddinList = {0xBE448979, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
/// Interface of one entry of the add-in list.
inline constexpr IID IID_PalmAddinEntry = {0x5DBF9006, 0xEE9F, 0x11D5, {0x82, 0x41, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};

/// Slot of the list's method that adds an entry (class id text, display
/// name, out: the new entry).
inline constexpr int kAddinListAddSlot = 17;
/// Slot of the list's method that finds the entry of a class id text.
inline constexpr int kAddinListFindSlot = 19;
/// Slot of the entry's method that takes it out of the list.
inline constexpr int kAddinEntryRemoveSlot = 17;

/// Puts the add-in into Palm Desktop's add-in list under the configured
/// class identifier, replacing an entry that is there already. Any failure
/// ends it quietly.
void addToPalmDesktop() noexcept;

/// Takes the add-in's entry out of Palm Desktop's add-in list. Any failure
/// ends it quietly.
void removeFromPalmDesktop() noexcept;
