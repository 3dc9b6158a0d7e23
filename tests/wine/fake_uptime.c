/* Preloaded into Wine by the scheduler test: /proc/uptime, where Wine reads the
 * processors' idle time, shows a machine whose load is the percentage written
 * in the file named by OW_FAKE_LOAD_FILE (0 when absent). So the processor-load
 * gate sees the load the test sets, whatever else the machine is doing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef FILE *(*fopen_fn)(const char *, const char *);

static FILE *real_open(const char *symbol, const char *path, const char *mode) {
    fopen_fn real = (fopen_fn)dlsym(RTLD_NEXT, symbol);
    return real ? real(path, mode) : NULL;
}

/* Every processor has run since the epoch, idle for (100 - load) per cent of
 * it; /proc/uptime gives the time up and the idle time of all processors added. */
static FILE *fake_uptime(void) {
    const char *name = getenv("OW_FAKE_LOAD_FILE");
    FILE *f = name ? real_open("fopen", name, "r") : NULL;
    int load = 0;
    if (f && fscanf(f, "%d", &load) != 1) load = 0;
    if (f) fclose(f);
    load = load < 0 ? 0 : load > 100 ? 100 : load;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const double up = (double)now.tv_sec + (double)now.tv_nsec / 1e9;
    const double idle = up * (double)sysconf(_SC_NPROCESSORS_ONLN) * (100 - load) / 100.0;
    char *text = malloc(96); /* fmemopen does not free it; a few bytes a tick */
    return text ? fmemopen(text, (size_t)snprintf(text, 96, "%.2f %.2f\n", up, idle), "r") : NULL;
}

static FILE *open_file(const char *symbol, const char *path, const char *mode) {
    return path && strcmp(path, "/proc/uptime") == 0 ? fake_uptime() : real_open(symbol, path, mode);
}

FILE *fopen(const char *path, const char *mode) { return open_file("fopen", path, mode); }
FILE *fopen64(const char *path, const char *mode) { return open_file("fopen64", path, mode); }
