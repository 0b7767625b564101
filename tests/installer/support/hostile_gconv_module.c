/* A character-set converter module as a local attacker would plant one for
   a program that takes its locale from the environment: loading it runs its
   constructor, which leaves a file named "marker" beside the module. The
   installer must never load it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

__attribute__((constructor)) static void LeaveMarker(void)
{
    Dl_info info;
    if (dladdr((void*)&LeaveMarker, &info) == 0 || info.dli_fname == NULL)
        return;
    char path[4096];
    const char* slash = strrchr(info.dli_fname, '/');
    const size_t n = slash != NULL ? (size_t)(slash - info.dli_fname) : 0;
    if (n + sizeof "/marker" > sizeof path)
        return;
    memcpy(path, info.dli_fname, n);
    memcpy(path + n, "/marker", sizeof "/marker");
    FILE* f = fopen(path, "w");
    if (f != NULL) {
        fputs("attacker code ran\n", f);
        fclose(f);
    }
}

/* The entry points the C library looks for; the module then declines the
   conversion, so that a program that did load it goes on. */
__attribute__((visibility("default"))) int gconv_init(void* step)
{
    (void)step;
    return 1;
}
__attribute__((visibility("default"))) int gconv(void* step, void* data, const unsigned char** in,
                                                 const unsigned char* end, unsigned char** out, size_t* irreversible,
                                                 int do_flush, int consume_incomplete)
{
    (void)step, (void)data, (void)in, (void)end, (void)out, (void)irreversible, (void)do_flush,
        (void)consume_incomplete;
    return 1;
}
