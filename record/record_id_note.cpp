#include "record/record_id_note.h"

#include "record/new_guid.h"

namespace {
constexpr std::size_t idLength = 38;
constexpr std::size_t lineBreakLength = 2;
}  // namespace

RecordIdNote::RecordIdNote(const std::string& note)
{
    const std::size_t at = note.find(tag);
    if (at == std::string::npos) {
        noteText_ = note;
        recordId_ = newRecordId();
        return;
    }
    recordId_ = note.substr(at + tagLength, idLength);
    // The bytes before the tag end with the line break that composeNote()
    // would have put there; a head of two bytes or fewer is dropped whole.
    if (at > lineBreakLength)
        noteText_ = note.substr(0, at - lineBreakLength);
    const std::size_t tailStart = at + tagLength + idLength + lineBreakLength;
    if (tailStart < note.size())
        noteText_.append(note, tailStart, std::string::npos);
}

std::string RecordIdNote::getRecordId() const
{
    return recordId_;
}

void RecordIdNote::setRecordId(const std::string& recordId)
{
    recordId_ = recordId;
}

std::string RecordIdNote::getNoteText() const
{
    return noteText_;
}

void RecordIdNote::setNoteText(const std::string& noteText)
{
    noteText_ = noteText;
}

std::string RecordIdNote::composeNote() const
{
    std::string note;
    note.reserve(tagLength + recordId_.size() + lineBreakLength + noteText_.size());
    note.append(tag, tagLength).append(recordId_).append("\r\n").append(noteText_);
    return note;
}
