#pragma once

#include <cstddef>
#include <string>

/// An item's note split into the user's text and the record identifier that
/// travels in front of it behind the tag "Marrowvelle Record Id = ".
class RecordIdNote {
public:
    /// The tag that introduces the record identifier in a note.
    static constexpr char tag[] = "Marrowvelle Record Id = ";
    /// Length of the tag in bytes.
    static constexpr std::size_t tagLength = sizeof tag - 1;

    /// Splits a note into note text and record id; a note without the tag
    /// keeps all of its text and gets a newly generated id.
    explicit RecordIdNote(const std::string& note);

    /// The record identifier.
    std::string getRecordId() const;
    /// Replaces the record identifier.
    void setRecordId(const std::string& recordId);
    /// The user's part of the note.
    std::string getNoteText() const;
    /// Replaces the user's part of the note.
    void setNoteText(const std::string& noteText);
    /// The tag, the record id, "\r\n" and the note text.
    std::string composeNote() const;

private:
    std::string noteText_;
    std::string recordId_;
};
