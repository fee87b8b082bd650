/*
 * brannock.h: the C interface of Brannock.dll, for a synchronisation engine
 * built with any compiler or written in any language that can call a DLL
 * function (C, C++, .NET P/Invoke, Python ctypes, LoadLibrary and
 * GetProcAddress). It drives Palm Desktop through the same command channel
 * as the C++ class CommandMaster and compiles as C99 and as C++.
 *
 * Linking. Every function is exported from Brannock.dll under its plain name
 * (GetProcAddress(dll, "brannock_open")). On 32-bit Windows the functions use
 * the __stdcall convention, as Windows APIs do; declare them so in other
 * languages (ctypes.WinDLL, CallingConvention.StdCall). On 64-bit Windows
 * there is one convention. With mingw-w64 on 32-bit Windows, link
 * libBrannock_c.dll.a, whose symbols carry the stdcall decoration; on
 * 64-bit Windows, link the DLL's own import library, libBrannock.dll.a.
 *
 * Results. Every function returns an int: BRANNOCK_OK (0) or another
 * result code below. Commands to Palm Desktop return the channel's
 * response code (BRANNOCK_OK, BRANNOCK_FAILED, BRANNOCK_NO_MORE,
 * BRANNOCK_CLOSED); the negative codes from -100 down are this interface's
 * own, and every failure of the interface itself is one of them:
 * BRANNOCK_FAILED only ever reports Palm Desktop's answer. No function
 * throws or ends the process, whatever its arguments. A null handle or a
 * null pointer where one is required gives BRANNOCK_BAD_ARGUMENT and does
 * nothing.
 *
 * Text. Text crosses as bytes with an explicit length, in the ANSI code
 * page, as the channel carries it. Each text function has a _utf8 variant
 * that converts at the boundary; a UTF-8 text with a character the ANSI code
 * page cannot represent is refused with BRANNOCK_CANNOT_TRAVEL. So is any
 * text holding a byte that the channel uses as a separator where the text
 * travels (0xB5 and 0xBA in field keys, 0xBA in field values, 0xA7 and 0xBF
 * in recurrence items, 0xB6 in record ids, 0xA3 and 0xB6 in category names)
 * or a NUL byte. Refusal happens when the text is handed in, before anything
 * is sent.
 *
 * Lengths. A text argument is a pointer and a length in bytes. A null
 * pointer with length 0 is the empty text; a null pointer with any other
 * length is BRANNOCK_BAD_ARGUMENT, and so is a length above PTRDIFF_MAX,
 * which no caller can mean (such as (size_t)-1). A text that can never fit
 * into the channel's zone of 1,000,000 bytes is BRANNOCK_CANNOT_TRAVEL,
 * refused before it is copied: any key, value, name, record id, recurrence
 * item or recurrence text of 1,000,000 bytes or more (in the ANSI code page;
 * a UTF-8 text longer than three times that is refused unconverted), a put
 * that would make a record's text (its keys and values, two bytes more for
 * each field) that long, and a command whose whole message would not fit
 * into the zone with its NUL (brannock_send_record, brannock_write_categories
 * and brannock_delete_record reckon it before building the message).
 *
 * Ownership of returned text. A text returned through a `const char**` out
 * parameter belongs to the handle that the call was given (the record, the
 * list, the master). It stays valid until the next call with that handle,
 * or until the handle is freed, whichever comes first; copy it to keep it.
 * It may be passed back as an argument to the very next call. A NUL byte
 * follows it, not counted in its length. Handles belong to the caller,
 * who frees each with its _free (a master with brannock_close).
 *
 * Threads. A handle serves one thread at a time. Different handles may be
 * used on different threads, but one master per Palm Desktop at a time.
 */
#ifndef BRANNOCK_H
#define BRANNOCK_H

#include <stddef.h>

#if defined(_WIN32) && !defined(_WIN64)
#  define BRANNOCK_CALL __stdcall
#else
#  define BRANNOCK_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Result codes ------------------------------------------------------ */

/** Success (the channel's ResponseOk). */
#define BRANNOCK_OK 0
/** Palm Desktop could not carry out the command (ResponseFailed). */
#define BRANNOCK_FAILED 1
/** The export has no more records (ResponseNoMoreRecords); also the end of
    a key walk or of a list. */
#define BRANNOCK_NO_MORE 2
/** Palm Desktop closed its end during the command (ResponsePalmDesktopClosed);
    the master is closed from then on (see brannock_set_time_limit). */
#define BRANNOCK_CLOSED (-2)
/** A null handle or pointer, an unknown section, a malformed number. */
#define BRANNOCK_BAD_ARGUMENT (-100)
/** Text that cannot travel: a separator byte, a NUL, or a UTF-8 character
    the ANSI code page cannot hold. Nothing was stored or sent. */
#define BRANNOCK_CANNOT_TRAVEL (-101)
/** The command channel cannot be opened; brannock_open gives the system
    error code. */
#define BRANNOCK_NO_CHANNEL (-102)
/** Palm Desktop is not running (no initialised Brannock add-in). Only with
    a time limit set. */
#define BRANNOCK_NOT_RUNNING (-103)
/** Palm Desktop did not answer within the time limit. */
#define BRANNOCK_TIMEOUT (-104)
/** Out of memory. */
#define BRANNOCK_OUT_OF_MEMORY (-105)

/* ---- Sections ------------------------------------------------------------ */

#define BRANNOCK_SECTION_CALENDAR 0
#define BRANNOCK_SECTION_CONTACT 1
#define BRANNOCK_SECTION_TODO 2
#define BRANNOCK_SECTION_MEMO 3

/* ---- Handles ------------------------------------------------------------- */

/** The engine's end of the command channel (a CommandMaster). */
typedef struct brannock_master brannock_master;
/** One record: an ordered map of field keys to values (bytes). */
typedef struct brannock_record brannock_record;
/** A recurrence rule, as named fields. */
typedef struct brannock_repeat brannock_repeat;
/** A list of category names. */
typedef struct brannock_list brannock_list;

/* ---- Master -------------------------------------------------------------- */

/** Opens the command channel into *master. When the channel cannot be opened
    returns BRANNOCK_NO_CHANNEL and stores the system error code in
    *system_error, which may be null. Palm Desktop need not be running. */
int BRANNOCK_CALL brannock_open(brannock_master** master, unsigned long* system_error);
/** Closes the channel end and frees the handle. */
int BRANNOCK_CALL brannock_close(brannock_master* master);

/**
 * Sets the time limit of every later command, in milliseconds; 0 (the
 * default) means none, and the master then behaves exactly as CommandMaster.
 *
 * With a limit, a command first checks that Palm Desktop runs (its add-in's
 * initialise event exists), unless Palm Desktop answered within the last
 * 50 ms, and returns BRANNOCK_NOT_RUNNING without sending anything when not.
 * While it waits for the answer, it returns BRANNOCK_TIMEOUT when the limit
 * passes, BRANNOCK_NOT_RUNNING as soon as Palm Desktop is found gone
 * (checked every 50 ms), and BRANNOCK_CLOSED when Palm Desktop closed its
 * end.
 *
 * Which of these comes first: BRANNOCK_NOT_RUNNING when, before sending,
 * the add-in's initialise event is gone, even when Palm Desktop also shut
 * down regularly (nothing is sent, the master stays usable); during the
 * wait, BRANNOCK_CLOSED whenever Palm Desktop's exit event is set, since a
 * regular shutdown sets it before it removes the initialise event.
 *
 * A late answer: after BRANNOCK_TIMEOUT the command may still be carried
 * out. The command stays outstanding in the channel itself, not in this
 * handle: the next command sent by any master (this handle, another handle,
 * a CommandMaster, another engine process) first waits for that answer
 * (within its own limit, or without limit when it has none) and discards
 * it; only then does it send itself. If the late answer does not come in
 * time, or that wait leaves no time of the limit, the command returns
 * BRANNOCK_TIMEOUT too, having sent nothing. So no master ever takes another
 * command's answer for its own. A discarded answer is lost to the engine:
 * a record that getNextRecord would have returned, or the id under which
 * sendRecord stored a record (a retry would create a second item). After
 * BRANNOCK_TIMEOUT within an export or import, end it and begin it again.
 *
 * Closed: after BRANNOCK_CLOSED, or BRANNOCK_NOT_RUNNING during a wait, the
 * master is closed for good, as CommandMaster is: every later command
 * returns BRANNOCK_OK at once with empty out-data (count 0, empty record,
 * empty list, empty id). Close it and open a new master for a new Palm
 * Desktop. BRANNOCK_NOT_RUNNING before sending leaves the master usable.
 */
int BRANNOCK_CALL brannock_set_time_limit(brannock_master* master, unsigned long milliseconds);

/**
 * Sets this process's field trace, for support: from now on each command
 * sent (its kind, section, bytes sent and answered, result and the time it
 * waited) and the opening and closing of the channel are appended, one line
 * each, to the file `path` (ANSI bytes, `length` of them; created when
 * missing, relative to the current folder). This overrides "Trace=" in
 * conn_install.cfg for this process and touches no file but the trace.
 * The length 0 turns the trace off. The trace never holds field values or
 * record ids. Several processes may append to the same file.
 *
 * Returns BRANNOCK_OK; BRANNOCK_FAILED when the file cannot be opened (the
 * trace is then off); BRANNOCK_BAD_ARGUMENT for a null path with a length,
 * or a path holding a NUL byte.
 */
int BRANNOCK_CALL brannock_set_trace(const char* path, size_t length);

/** Starts an import into `section` (BRANNOCK_SECTION_...). */
int BRANNOCK_CALL brannock_begin_import(brannock_master* master, int section);
/** Ends the import. */
int BRANNOCK_CALL brannock_end_import(brannock_master* master);
/** Starts an export of `section`. */
int BRANNOCK_CALL brannock_begin_export(brannock_master* master, int section);
/** Ends the export. */
int BRANNOCK_CALL brannock_end_export(brannock_master* master);
/** On BRANNOCK_OK, *count receives the number of records of the export;
    otherwise it is left as it was. */
int BRANNOCK_CALL brannock_get_record_count(brannock_master* master, int* count);
/** On BRANNOCK_OK, `record` is replaced by the next exported record;
    BRANNOCK_NO_MORE after the last one. Otherwise `record` is untouched. */
int BRANNOCK_CALL brannock_get_next_record(brannock_master* master, brannock_record* record);
/** Writes `record` into Palm Desktop (within an import). *id receives the
    record id under which it was stored, whatever the result (empty when
    the answer carries none, and on every refusal as long as `id` and
    `id_length` are given); the text belongs to the master. */
int BRANNOCK_CALL brannock_send_record(brannock_master* master, const brannock_record* record, const char** id,
                                       size_t* id_length);
/** As brannock_send_record, the id in UTF-8. */
int BRANNOCK_CALL brannock_send_record_utf8(brannock_master* master, const brannock_record* record, const char** id,
                                            size_t* id_length);
/** Deletes the item that carries the record id (within an import). */
int BRANNOCK_CALL brannock_delete_record(brannock_master* master, const char* id, size_t id_length);
/** As brannock_delete_record, the id in UTF-8. */
int BRANNOCK_CALL brannock_delete_record_utf8(brannock_master* master, const char* id, size_t id_length);
/** Deletes every item of the section named last (by a begin or a category
    read). */
int BRANNOCK_CALL brannock_delete_all(brannock_master* master);
/** On BRANNOCK_OK, `names` is replaced by the category names of `section`;
    otherwise it is untouched. */
int BRANNOCK_CALL brannock_read_categories(brannock_master* master, int section, brannock_list* names);
/** Adds `names` to the categories of the section named last. */
int BRANNOCK_CALL brannock_write_categories(brannock_master* master, const brannock_list* names);

/* ---- Records ------------------------------------------------------------- */

/** Creates an empty record into *record. */
int BRANNOCK_CALL brannock_record_create(brannock_record** record);
/** Frees the record. */
int BRANNOCK_CALL brannock_record_free(brannock_record* record);
/** Removes every field. */
int BRANNOCK_CALL brannock_record_clear(brannock_record* record);
/** Sets the field `key` to `value`, replacing any value it had. A key or
    value that cannot travel gives BRANNOCK_CANNOT_TRAVEL and changes
    nothing. */
int BRANNOCK_CALL brannock_record_put(brannock_record* record, const char* key, size_t key_length, const char* value,
                                      size_t value_length);
/** As brannock_record_put, key and value in UTF-8. */
int BRANNOCK_CALL brannock_record_put_utf8(brannock_record* record, const char* key, size_t key_length,
                                           const char* value, size_t value_length);
/** The value of the field `key` in *value and *value_length; the empty text
    when the record has no such field. */
int BRANNOCK_CALL brannock_record_get(brannock_record* record, const char* key, size_t key_length, const char** value,
                                      size_t* value_length);
/** As brannock_record_get, key and value in UTF-8. */
int BRANNOCK_CALL brannock_record_get_utf8(brannock_record* record, const char* key, size_t key_length,
                                           const char** value, size_t* value_length);
/** The number of fields in *count. */
int BRANNOCK_CALL brannock_record_count(brannock_record* record, size_t* count);
/** The key at `index` (0 to count - 1) in key order: keys sort by their bytes
    as unsigned values. BRANNOCK_NO_MORE when index >= count. A walk from 0
    upwards costs constant time per key. */
int BRANNOCK_CALL brannock_record_key(brannock_record* record, size_t index, const char** key, size_t* key_length);
/** As brannock_record_key, the key in UTF-8. */
int BRANNOCK_CALL brannock_record_key_utf8(brannock_record* record, size_t index, const char** key,
                                           size_t* key_length);

/* ---- Recurrences ----------------------------------------------------------
 * A recurrence is the text of a record's "Repeat" field. Its handle shows the
 * eleven fields by name, in this order: "startDate", "frequency", "endDate",
 * "numDaysToRepeat", "repeatType", "dayPattern", "dayOfWeek", "weekOfMonth",
 * "dayOfMonth", "month", "exclusionDates". Values are text (ASCII in
 * practice, so there are no _utf8 variants): dates as written, numbers in
 * decimal, "dayPattern" as seven numbers separated by commas (Sunday
 * first), "exclusionDates" as dates separated by commas ("" for none). A
 * number that is not one gives BRANNOCK_BAD_ARGUMENT, as does an unknown
 * field name.
 */

/** Creates an empty recurrence (empty dates, numbers 0) into *repeat. */
int BRANNOCK_CALL brannock_repeat_create(brannock_repeat** repeat);
/** Frees the recurrence. */
int BRANNOCK_CALL brannock_repeat_free(brannock_repeat* repeat);
/** Sets the named field from its text. */
int BRANNOCK_CALL brannock_repeat_put(brannock_repeat* repeat, const char* name, size_t name_length,
                                      const char* value, size_t value_length);
/** The text of the named field. */
int BRANNOCK_CALL brannock_repeat_get(brannock_repeat* repeat, const char* name, size_t name_length,
                                      const char** value, size_t* value_length);
/** The number of fields (always 11) in *count. */
int BRANNOCK_CALL brannock_repeat_count(brannock_repeat* repeat, size_t* count);
/** The field name at `index`, in the order above; BRANNOCK_NO_MORE past the
    end. */
int BRANNOCK_CALL brannock_repeat_key(brannock_repeat* repeat, size_t index, const char** name, size_t* name_length);
/** Replaces the recurrence with the one a "Repeat" field's text describes
    (the empty text gives the empty recurrence). */
int BRANNOCK_CALL brannock_repeat_parse(brannock_repeat* repeat, const char* text, size_t text_length);
/** The recurrence as the text of a "Repeat" field. */
int BRANNOCK_CALL brannock_repeat_text(brannock_repeat* repeat, const char** text, size_t* text_length);

/* ---- Category lists ------------------------------------------------------ */

/** Creates an empty list into *list. */
int BRANNOCK_CALL brannock_list_create(brannock_list** list);
/** Frees the list. */
int BRANNOCK_CALL brannock_list_free(brannock_list* list);
/** Removes every name. */
int BRANNOCK_CALL brannock_list_clear(brannock_list* list);
/** Appends a name; one that cannot travel gives BRANNOCK_CANNOT_TRAVEL. */
int BRANNOCK_CALL brannock_list_add(brannock_list* list, const char* name, size_t name_length);
/** As brannock_list_add, the name in UTF-8. */
int BRANNOCK_CALL brannock_list_add_utf8(brannock_list* list, const char* name, size_t name_length);
/** The number of names in *count. */
int BRANNOCK_CALL brannock_list_count(brannock_list* list, size_t* count);
/** The name at `index`; BRANNOCK_NO_MORE when index >= count. */
int BRANNOCK_CALL brannock_list_get(brannock_list* list, size_t index, const char** name, size_t* name_length);
/** As brannock_list_get, the name in UTF-8. */
int BRANNOCK_CALL brannock_list_get_utf8(brannock_list* list, size_t index, const char** name, size_t* name_length);

#ifdef __cplusplus
}
#endif

/*
 * Example: export every contact, then import one.
 *
 *     brannock_master* m;
 *     brannock_record* r;
 *     unsigned long error;
 *     const char* text;
 *     size_t length;
 *     int rc, count = 0;
 *     if (brannock_open(&m, &error) != BRANNOCK_OK) return 1;
 *     brannock_set_time_limit(m, 30000);
 *     brannock_record_create(&r);
 *     if (brannock_begin_export(m, BRANNOCK_SECTION_CONTACT) == BRANNOCK_OK) {
 *         brannock_get_record_count(m, &count);
 *         while ((rc = brannock_get_next_record(m, r)) == BRANNOCK_OK) {
 *             brannock_record_get_utf8(r, "128.Last Name", 13, &text, &length);
 *             printf("%.*s\n", (int)length, text);
 *         }
 *         brannock_end_export(m);
 *     }
 *     brannock_record_clear(r);
 *     brannock_record_put_utf8(r, "128.Last Name", 13, "Brannock", 8);
 *     if (brannock_begin_import(m, BRANNOCK_SECTION_CONTACT) == BRANNOCK_OK) {
 *         if (brannock_send_record(m, r, &text, &length) == BRANNOCK_OK)
 *             printf("stored as %.*s\n", (int)length, text);
 *         brannock_end_import(m);
 *     }
 *     brannock_record_free(r);
 *     brannock_close(m);
 */

#endif /* BRANNOCK_H */
