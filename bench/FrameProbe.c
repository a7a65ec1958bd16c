// A library preloaded into the game by the bench scripts (LD_PRELOAD): it
// writes the wall-clock time of every frame shown, SDL_GL_SwapWindow's
// return, as nanoseconds since the epoch, one line each, to the file named
// by KV_FRAME_PROBE, so a script can compare it with the time it started
// the process.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef struct SDL_Window SDL_Window;

void SDL_GL_SwapWindow(SDL_Window* window) {
    static void (*swap)(SDL_Window*) = NULL;
    static FILE* out = NULL;
    if (!swap) {
        swap = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
        const char* name = getenv("KV_FRAME_PROBE");
        if (name)
            out = fopen(name, "w");
    }
    if (swap)
        swap(window);
    if (out) {
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        fprintf(out, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        fflush(out);
    }
}
