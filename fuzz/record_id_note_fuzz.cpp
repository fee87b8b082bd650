// Any note splits, its user text no longer than the note (all of it without the tag); a composed note (any text,
// any 38-byte id) reads back to the same text and id.
#include "fuzz_support.h"
#include "record/record_id_note.h"

namespace {

constexpr std::size_t idLength = 38;

void splitArbitraryNote(const std::string& note) {
    const RecordIdNote split(note);
    FUZZ_CHECK(split.getNoteText().size() <= note.size());
    if (note.find(RecordIdNote::tag) == std::string::npos)
        FUZZ_CHECK(split.getNoteText() == note && split.getRecordId().size() == idLength);
    if (split.getRecordId().size() == idLength) {
        const RecordIdNote back(split.composeNote());
        FUZZ_CHECK(back.getRecordId() == split.getRecordId() && back.getNoteText() == split.getNoteText());
    }
}

void roundTripComposedNote(FuzzedDataProvider& input) {
    RecordIdNote note("");
    std::string id = input.ConsumeBytesAsString(idLength);
    id.resize(idLength, '0');
    note.setRecordId(id);
    note.setNoteText(input.ConsumeRemainingBytesAsString());
    const RecordIdNote back(note.composeNote());
    FUZZ_CHECK(back.getRecordId() == id && back.getNoteText() == note.getNoteText());
}

}  // namespace

FUZZ_TARGET(splitArbitraryNote, roundTripComposedNote)
