/* Reads the catalog embedded in a kit module back through the library's
 * embedded-catalog path (lexmsg_initembA_mf) and prints every message of the
 * narrow section as "ID text", with each insertion point given its own
 * number back ("%1", "%2", ...), so the lines compare with the source. */
#include <stdio.h>

#include <lexmsg.h>

int main(int argc, char** argv) {
    lexmsg_handle* handle = NULL;
    uint32_t id;
    int rc;
    if (argc != 3) {
        fprintf(stderr, "usage: catalog_readback MODULE_NAME HOST\n");
        return 2;
    }
    rc = lexmsg_initembA_mf(argv[1], argv[2], &handle, 0);
    if (rc != 0) {
        fprintf(stderr, "catalog_readback: lexmsg_initembA_mf gave %d\n", rc);
        return 1;
    }
    for (id = 0; id <= 100; ++id) {
        char* text = NULL;
        /* -6: the message uses fewer arguments; it is delivered all the same. */
        rc = lexmsg_getMessageA_mf(handle, id, 2, &text, 0, LEXMSG_ARG_CHARP, "%1", LEXMSG_ARG_CHARP, "%2");
        if (rc == 0 || rc == -6) printf("%u %s\n", (unsigned)id, text);
        lexmsg_free(text);
    }
    lexmsg_cleanupA_mf(handle);
    return 0;
}
