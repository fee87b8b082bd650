/* An engine as a Visual Studio user builds it: compiled with cl (here
 * clang-cl), linked with link (here lld-link) against Brannock.lib, with no
 * C runtime. It exports the contacts and ends with their number as its exit
 * code, or 255 when a command fails. */
#include "brannock.h"

int engine_main(void) {
    brannock_master* master;
    brannock_record* record;
    unsigned long error = 0;
    int count = 0, rc;
    if (brannock_open(&master, &error) != BRANNOCK_OK) return 255;
    brannock_set_time_limit(master, 30000);
    brannock_record_create(&record);
    rc = brannock_begin_export(master, BRANNOCK_SECTION_CONTACT);
    while (rc == BRANNOCK_OK && (rc = brannock_get_next_record(master, record)) == BRANNOCK_OK) count++;
    if (rc == BRANNOCK_NO_MORE) rc = brannock_end_export(master);
    brannock_record_free(record);
    brannock_close(master);
    return rc == BRANNOCK_OK ? count : 255;
}
