// The C interface's master: every CommandMaster operation as a C function.

#include "capi/capi_handles.h"
#include "capi/timed_master.h"
#include "win/ansi.h"

struct brannock_master {
    TimedMaster master;
    /// Text handed out by the last call.
    std::string scratch;
};

namespace {

using capi::guarded;
using capi::present;

bool validSection(int section) noexcept { return section >= SectionCalendar && section <= SectionMemo; }

/// Whether the message of command `code`, whose fields after the code and
/// the has-record flag take `fields` bytes, fits into the master's zone.
/// Reckoned before anything is copied into a message.
bool messageFits(const brannock_master& master, int code, std::size_t fields) noexcept
{
    const std::size_t head = (code < 10 ? 1 : 2) + 3;  // "N", 0xB6, "0", 0xB6
    return fields < sharedZoneSize && master.master.fits(head + fields);
}

/// One command: built with `code` and `fill`, exchanged, its answer handed
/// to `take` with the result.
template <typename Fill, typename Take>
int command(brannock_master* master, int code, Fill fill, Take take) noexcept
{
    return guarded([&] {
        CommandProcessor message;
        message.setCommand(code);
        fill(message);
        CommandProcessor answer;
        const int result = master->master.exchange(message, answer);
        take(answer, result);
        return result;
    });
}

struct Nothing {
    void operator()(const CommandProcessor&, int = 0) const noexcept {}
};

int sectionCommand(brannock_master* master, int code, int section) noexcept
{
    if (!master || !validSection(section))
        return BRANNOCK_BAD_ARGUMENT;
    return command(
        master, code, [&](CommandProcessor& c) { c.setSection(section); }, Nothing());
}

int plainCommand(brannock_master* master, int code) noexcept
{
    if (!master)
        return BRANNOCK_BAD_ARGUMENT;
    return command(master, code, Nothing(), Nothing());
}

/// sendRecord; `convert` turns the answer's id into the text handed out.
template <typename Convert>
int sendRecord(brannock_master* master, const brannock_record* record, const char** id, size_t* length,
               Convert convert) noexcept
{
    if (id && length) {
        // The id is set whatever the result; until an answer gives one, empty.
        *id = "";
        *length = 0;
    }
    if (!present(master, record, id, length))
        return BRANNOCK_BAD_ARGUMENT;
    if (!messageFits(*master, CmdSendRecord, capi::textLength(record->record)))
        return BRANNOCK_CANNOT_TRAVEL;
    return command(
        master, CmdSendRecord, [&](CommandProcessor& c) { c.setRecord(record->record); },
        [&](const CommandProcessor& answer, int) {
            master->scratch = convert(answer.getRecordId());
            capi::handOut(master->scratch, id, length);
        });
}

int deleteRecord(brannock_master* master, const std::string& id) noexcept
{
    if (!canTravel(id, TextPlace::RecordId) || !messageFits(*master, CmdDeleteRecord, id.size() + 1))
        return BRANNOCK_CANNOT_TRAVEL;
    return command(
        master, CmdDeleteRecord, [&](CommandProcessor& c) { c.setRecordId(id); }, Nothing());
}

}  // namespace

extern "C" {

int BRANNOCK_CALL brannock_open(brannock_master** master, unsigned long* system_error)
{
    if (!master)
        return BRANNOCK_BAD_ARGUMENT;
    *master = nullptr;
    try {
        *master = new brannock_master;
        return BRANNOCK_OK;
    } catch (unsigned long error) {
        if (system_error)
            *system_error = error;
        return BRANNOCK_NO_CHANNEL;
    } catch (...) {
        // Allocation failure is all that is left to throw.
        return BRANNOCK_OUT_OF_MEMORY;
    }
}

int BRANNOCK_CALL brannock_close(brannock_master* master)
{
    if (!master)
        return BRANNOCK_BAD_ARGUMENT;
    delete master;
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_set_time_limit(brannock_master* master, unsigned long milliseconds)
{
    if (!master)
        return BRANNOCK_BAD_ARGUMENT;
    master->master.setTimeLimit(milliseconds);
    return BRANNOCK_OK;
}

int BRANNOCK_CALL brannock_begin_import(brannock_master* master, int section)
{
    return sectionCommand(master, CmdBeginImport, section);
}

int BRANNOCK_CALL brannock_end_import(brannock_master* master) { return plainCommand(master, CmdEndImport); }

int BRANNOCK_CALL brannock_begin_export(brannock_master* master, int section)
{
    return sectionCommand(master, CmdBeginExport, section);
}

int BRANNOCK_CALL brannock_end_export(brannock_master* master) { return plainCommand(master, CmdEndExport); }

int BRANNOCK_CALL brannock_get_record_count(brannock_master* master, int* count)
{
    if (!present(master, count))
        return BRANNOCK_BAD_ARGUMENT;
    return command(master, CmdGetRecordCount, Nothing(), [&](const CommandProcessor& answer, int result) {
        if (result == ResponseOk)
            *count = answer.getCount();
    });
}

int BRANNOCK_CALL brannock_get_next_record(brannock_master* master, brannock_record* record)
{
    if (!present(master, record))
        return BRANNOCK_BAD_ARGUMENT;
    return command(master, CmdGetNextRecord, Nothing(), [&](const CommandProcessor& answer, int result) {
        if (result == ResponseOk)
            capi::replaceFields(*record, answer.getRecord());
    });
}

int BRANNOCK_CALL brannock_send_record(brannock_master* master, const brannock_record* record, const char** id,
                                       size_t* id_length)
{
    return sendRecord(master, record, id, id_length, [](const std::string& ansi) { return ansi; });
}

int BRANNOCK_CALL brannock_send_record_utf8(brannock_master* master, const brannock_record* record, const char** id,
                                            size_t* id_length)
{
    return sendRecord(master, record, id, id_length, [](const std::string& ansi) { return win::ansiToUtf8(ansi); });
}

int BRANNOCK_CALL brannock_delete_record(brannock_master* master, const char* id, size_t id_length)
{
    std::string_view text;
    if (!master)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = capi::textArgument(id, id_length, text))
        return refused;
    return guarded([&] { return deleteRecord(master, std::string(text)); });
}

int BRANNOCK_CALL brannock_delete_record_utf8(brannock_master* master, const char* id, size_t id_length)
{
    std::string_view text;
    if (!master)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = capi::textArgument(id, id_length, text, capi::longestUtf8Text))
        return refused;
    return guarded([&] {
        std::string ansi;
        return win::utf8ToAnsi(text, ansi) ? deleteRecord(master, ansi) : BRANNOCK_CANNOT_TRAVEL;
    });
}

int BRANNOCK_CALL brannock_delete_all(brannock_master* master) { return plainCommand(master, CmdDeleteAll); }

int BRANNOCK_CALL brannock_read_categories(brannock_master* master, int section, brannock_list* names)
{
    if (!present(master, names) || !validSection(section))
        return BRANNOCK_BAD_ARGUMENT;
    return command(
        master, CmdReadCategoryList, [&](CommandProcessor& c) { c.setSection(section); },
        [&](const CommandProcessor& answer, int result) {
            if (result == ResponseOk)
                names->names = answer.getCategories();
        });
}

int BRANNOCK_CALL brannock_write_categories(brannock_master* master, const brannock_list* names)
{
    if (!present(master, names))
        return BRANNOCK_BAD_ARGUMENT;
    std::size_t listLength = 1;
    for (const std::string& name : names->names)
        listLength += name.size() + 1;
    if (!messageFits(*master, CmdWriteCategoryList, listLength))
        return BRANNOCK_CANNOT_TRAVEL;
    return command(
        master, CmdWriteCategoryList, [&](CommandProcessor& c) { c.setCategories(names->names); }, Nothing());
}

}  // extern "C"
