/* An engine that knows Brannock.dll only by its exported names, as a .NET or
 * Python engine does: LoadLibrary, GetProcAddress, its own declarations.
 * Exports the contacts, one line per contact: "key=value; ...". */
#include <windows.h>

#include <stdio.h>
#include <string.h>

typedef int(WINAPI* open_fn)(void**, unsigned long*);
typedef int(WINAPI* create_fn)(void**);
typedef int(WINAPI* handle_fn)(void*);
typedef int(WINAPI* handle_int_fn)(void*, int);
typedef int(WINAPI* handle_ulong_fn)(void*, unsigned long);
typedef int(WINAPI* count_fn)(void*, int*);
typedef int(WINAPI* next_fn)(void*, void*);
typedef int(WINAPI* size_fn)(void*, size_t*);
typedef int(WINAPI* key_fn)(void*, size_t, const char**, size_t*);
typedef int(WINAPI* get_fn)(void*, const char*, size_t, const char**, size_t*);

#define LOAD(type, name)                                      \
    type name = (type)(void*)GetProcAddress(dll, #name);      \
    if (!name) {                                              \
        printf("missing export %s\n", #name);                 \
        return 3;                                             \
    }

int main(void) {
    HMODULE dll = LoadLibraryA("Brannock.dll");
    void *master = NULL, *record = NULL;
    int count = -1, read = 0;
    unsigned long error = 0;
    if (!dll) return 2;
    LOAD(open_fn, brannock_open)
    LOAD(handle_fn, brannock_close)
    LOAD(handle_ulong_fn, brannock_set_time_limit)
    LOAD(handle_int_fn, brannock_begin_export)
    LOAD(handle_fn, brannock_end_export)
    LOAD(count_fn, brannock_get_record_count)
    LOAD(next_fn, brannock_get_next_record)
    LOAD(create_fn, brannock_record_create)
    LOAD(handle_fn, brannock_record_free)
    LOAD(size_fn, brannock_record_count)
    LOAD(key_fn, brannock_record_key_utf8)
    LOAD(get_fn, brannock_record_get_utf8)
    if (brannock_open(&master, &error) != 0) return 4;
    brannock_set_time_limit(master, 30000);
    brannock_record_create(&record);
    if (brannock_begin_export(master, 1) == 0 && brannock_get_record_count(master, &count) == 0) {
        while (brannock_get_next_record(master, record) == 0) {
            size_t fields = 0, i, length;
            const char* text;
            char key[128];
            brannock_record_count(record, &fields);
            for (i = 0; i < fields; i++) {
                brannock_record_key_utf8(record, i, &text, &length);
                if (length >= sizeof key) length = sizeof key - 1;
                memcpy(key, text, length); /* the next call reuses the text */
                key[length] = '\0';
                brannock_record_get_utf8(record, key, length, &text, &length);
                if (length > 0 && strcmp(key, "RecordId") != 0) printf("%s=%.*s; ", key, (int)length, text);
            }
            printf("\n");
            read++;
        }
        brannock_end_export(master);
    }
    brannock_record_free(record);
    brannock_close(master);
    printf("exported %d of %d contacts\n", read, count);
    FreeLibrary(dll);
    return read == count && count > 0 ? 0 : 1;
}
