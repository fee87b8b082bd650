// RecordIdNote on arbitrary notes, and the note round trip.
//
// Properties:
// - any note splits without failing; its user text is never longer than
//   the note, and a note without the tag keeps all of it;
// - a composed note read back gives the same note text and record id,
//   for any note text and any 38-byte id (which every id made here is).
#include "fuzz_support.h"
#include "record/record_id_note.h"

#include <string>

namespace {

constexpr std::size_t idLength = 38;

void splitArbitraryNote(const std::string& note)
{
    const RecordIdNote split(note);
    FUZZ_CHECK(split.getNoteText().size() <= note.size());
    if (note.find(RecordIdNote::tag) == std::string::npos) {
        FUZZ_CHECK(split.getNoteText() == note);
        FUZZ_CHECK(split.getRecordId().size() == idLength);
    }
    if (split.getRecordId().size() == idLength) {
        const RecordIdNote back(split.composeNote());
        FUZZ_CHECK(back.getRecordId() == split.getRecordId());
        FUZZ_CHECK(back.getNoteText() == split.getNoteText());
    }
}

void roundTripComposedNote(FuzzedDataProvider& input)
{
    RecordIdNote note("");
    std::string id = input.ConsumeBytesAsString(idLength);
    id.resize(idLength, '0');
    note.setRecordId(id);
    note.setNoteText(input.ConsumeRemainingBytesAsString());
    const RecordIdNote back(note.composeNote());
    FUZZ_CHECK(back.getRecordId() == id);
    FUZZ_CHECK(back.getNoteText() == note.getNoteText());
}

}  // namespace

FUZZ_TARGET(splitArbitraryNote, roundTripComposedNote)
