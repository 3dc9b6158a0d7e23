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

static int wanted_load(void) {
    const char *name = getenv("OW_FAKE_LOAD_FILE");
    int load = 0;
    FILE *(*real)(const char *, const char *) = (FILE * (*)(const char *, const char *)) dlsym(RTLD_NEXT, "fopen");
    FILE *f = name && real ? real(name, "r") : NULL;
    if (f) {
        if (fscanf(f, "%d", &load) != 1) load = 0;
        fclose(f);
    }
    return load < 0 ? 0 : load > 100 ? 100 : load;
}

/* Every processor has run since the epoch, idle for (100 - load) per cent of
 * it; /proc/uptime gives the time up and the idle time of all processors added. */
static FILE *fake_uptime(void) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const double up = (double)now.tv_sec + (double)now.tv_nsec / 1e9;
    const double idle = up * (double)sysconf(_SC_NPROCESSORS_ONLN) * (100 - wanted_load()) / 100.0;
    char *text = malloc(96); /* fmemopen does not free it; a few bytes a tick */
    if (!text) return NULL;
    int n = snprintf(text, 96, "%.2f %.2f\n", up, idle);
    return fmemopen(text, (size_t)n, "r");
}

static FILE *open_file(const char *symbol, const char *path, const char *mode) {
    if (path && strcmp(path, "/proc/uptime") == 0) return fake_uptime();
    FILE *(*real)(const char *, const char *) = (FILE * (*)(const char *, const char *)) dlsym(RTLD_NEXT, symbol);
    return real ? real(path, mode) : NULL;
}

FILE *fopen(const char *path, const char *mode) { return open_file("fopen", path, mode); }
FILE *fopen64(const char *path, const char *mode) { return open_file("fopen64", path, mode); }
