/* Exports every section of Palm Desktop, imports each exported record back
 * (it keeps its record id) and lists the section's categories, through
 * Brannock's C interface. Exit code 0 when everything went through. */
#include <stdio.h>
#include <string.h>

#include "brannock.h"

#define MAX_RECORDS 64

struct section {
    int id;
    const char* name;
    const char* title_key; /* the field that names an item */
};

static const struct section sections[] = {
    {BRANNOCK_SECTION_CONTACT, "contacts", "128.Last Name"},
    {BRANNOCK_SECTION_CALENDAR, "calendar", "304.Description"},
    {BRANNOCK_SECTION_TODO, "to-dos", "200.Description"},
    {BRANNOCK_SECTION_MEMO, "memos", "400.Memo Title"},
};

/* Prints the item's title and, for a recurring event, its repeat type. */
static void print_item(const struct section* s, brannock_record* record, brannock_repeat* repeat) {
    const char* text;
    size_t length;
    brannock_record_get_utf8(record, s->title_key, strlen(s->title_key), &text, &length);
    printf("  %.*s", (int)length, text);
    brannock_record_get(record, "Repeat", 6, &text, &length);
    if (length > 0 && brannock_repeat_parse(repeat, text, length) == BRANNOCK_OK &&
        brannock_repeat_get(repeat, "repeatType", 10, &text, &length) == BRANNOCK_OK)
        printf(" (repeats, type %.*s)", (int)length, text);
    printf("\n");
}

/* Reads the section into records[]; the number read, or -1. */
static int export_section(brannock_master* m, const struct section* s, brannock_record** records,
                          brannock_repeat* repeat) {
    int count = 0, n = 0, rc;
    if (brannock_begin_export(m, s->id) != BRANNOCK_OK) return -1;
    brannock_get_record_count(m, &count);
    printf("%s: %d records\n", s->name, count);
    while (n < MAX_RECORDS && (rc = brannock_get_next_record(m, records[n])) == BRANNOCK_OK)
        print_item(s, records[n++], repeat);
    if (brannock_end_export(m) != BRANNOCK_OK || rc != BRANNOCK_NO_MORE) return -1;
    return n;
}

/* Writes records[] back; the number stored under the id they carried. */
static int import_section(brannock_master* m, const struct section* s, brannock_record** records, int n) {
    int i, same = 0;
    if (brannock_begin_import(m, s->id) != BRANNOCK_OK) return -1;
    for (i = 0; i < n; i++) {
        char id[64] = "";
        const char *text, *stored;
        size_t length, stored_length;
        brannock_record_get(records[i], "RecordId", 8, &text, &length);
        if (length < sizeof id) memcpy(id, text, length); /* the text lives until the next call */
        if (brannock_send_record(m, records[i], &stored, &stored_length) != BRANNOCK_OK) break;
        same += stored_length == length && memcmp(stored, id, length) == 0;
    }
    brannock_end_import(m);
    printf("%s: %d of %d imported back under their own id\n", s->name, same, n);
    return i == n ? same : -1;
}

static void print_categories(brannock_master* m, const struct section* s, brannock_list* names) {
    size_t i, count = 0, length;
    const char* name;
    if (brannock_read_categories(m, s->id, names) != BRANNOCK_OK) return;
    brannock_list_count(names, &count);
    printf("%s categories:", s->name);
    for (i = 0; i < count; i++) {
        brannock_list_get_utf8(names, i, &name, &length);
        printf(" %.*s", (int)length, name);
    }
    printf("\n");
}

int main(void) {
    brannock_master* m;
    brannock_record* records[MAX_RECORDS];
    brannock_repeat* repeat;
    brannock_list* names;
    unsigned long error = 0;
    int i, failures = 0, rc = brannock_open(&m, &error);
    if (rc != BRANNOCK_OK) {
        printf("cannot open the channel: %d (system error %lu)\n", rc, error);
        return 1;
    }
    brannock_set_time_limit(m, 30000);
    for (i = 0; i < MAX_RECORDS; i++) brannock_record_create(&records[i]);
    brannock_repeat_create(&repeat);
    brannock_list_create(&names);
    for (i = 0; i < 4; i++) {
        const int n = export_section(m, &sections[i], records, repeat);
        if (n < 0 || import_section(m, &sections[i], records, n) != n) failures++;
        print_categories(m, &sections[i], names);
    }
    for (i = 0; i < MAX_RECORDS; i++) brannock_record_free(records[i]);
    brannock_repeat_free(repeat);
    brannock_list_free(names);
    brannock_close(m);
    printf("%s\n", failures == 0 ? "done" : "failed");
    return failures == 0 ? 0 : 1;
}
