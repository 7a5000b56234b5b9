/* A program of a lexmsg user, built against an installed lexmsg: it formats
 * one message of the catalog named on its command line and prints it. */
#include <stdio.h>

#include <lexmsg.h>

int main(int argc, char** argv) {
    lexmsg_handle* handle = NULL;
    char* text = NULL;
    int rc;
    if (argc != 2) {
        fprintf(stderr, "usage: consumer CATALOG\n");
        return 2;
    }
    rc = lexmsg_initA_mf(argv[1], &handle);
    if (rc != 0) {
        fprintf(stderr, "consumer: %s: lexmsg_initA_mf gave %d\n", argv[1], rc);
        return 1;
    }
    rc = lexmsg_getMessageA_mf(handle, 1, 2, &text, 0, LEXMSG_ARG_CHARP, "consumer", LEXMSG_ARG_INT, 3);
    if (rc == 0) printf("%s\n", text);
    lexmsg_free(text);
    lexmsg_cleanupA_mf(handle);
    return rc == 0 ? 0 : 1;
}
