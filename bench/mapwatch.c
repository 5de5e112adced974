/* bench_mapwatch: starts a program and prints, for every top-level window it maps, the time
 * from the start to the window's MapNotify, as seen by another X client on the same server.
 *
 *   bench_mapwatch [--width W] [--detach] [--chdir DIR] -- PROGRAM [ARGS...]
 *
 * Lines printed: "map MS WIDTHxHEIGHT CPU" per mapped top-level window, in order, CPU being the
 * processor time the program's main thread had used by then (ms, from /proc; "-" when unknown),
 * which a busy machine disturbs far less than the time on the clock. With --width the
 * watch ends at the first window of that width: without --detach the program is then ended
 * (SIGTERM), with --detach it keeps running and "pid PID" is printed last. Without --width the
 * watch lasts until the program ends. Exit status 1 when the program ends before the window
 * appears. Meant for an X server without a window manager, where top-level windows are children
 * of the root window. */
#define _POSIX_C_SOURCE 200809L
#include <xcb/xcb.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

/* The processor time the main thread of `pid` has used, in ms; negative when unknown. */
static double cpu_ms(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/schedstat", (int)pid);
    FILE *f = fopen(path, "r");
    if (f == NULL)
        return -1;
    unsigned long long ns = 0;
    const int n = fscanf(f, "%llu", &ns);
    fclose(f);
    return n == 1 ? (double)ns / 1e6 : -1;
}

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1e3 + (double)ts.tv_nsec / 1e6;
}

int main(int argc, char **argv)
{
    int width = -1, detach = 0, i = 1;
    const char *dir = NULL;
    for (; i < argc; ++i) {
        if (strcmp(argv[i], "--width") == 0 && i + 1 < argc)
            width = atoi(argv[++i]);
        else if (strcmp(argv[i], "--detach") == 0)
            detach = 1;
        else if (strcmp(argv[i], "--chdir") == 0 && i + 1 < argc)
            dir = argv[++i];
        else if (strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        } else
            break;
    }
    if (i >= argc) {
        fprintf(stderr, "usage: %s [--width W] [--detach] [--chdir DIR] -- PROGRAM [ARGS...]\n",
                argv[0]);
        return 2;
    }

    xcb_connection_t *c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "bench_mapwatch: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    /* Checked, so the selection is in force before the program starts. */
    xcb_generic_error_t *err = xcb_request_check(
        c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
    if (err) {
        fprintf(stderr, "bench_mapwatch: cannot watch the root window\n");
        return 2;
    }

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid < 0) {
        perror("fork");
        return 2;
    }
    if (pid == 0) {
        /* The program's own output goes to our error output, so a caller that reads our output
         * until it closes is not held by a program left running. */
        dup2(STDERR_FILENO, STDOUT_FILENO);
        if (dir != NULL && chdir(dir) != 0) {
            perror(dir);
            _exit(127);
        }
        execvp(argv[i], argv + i);
        perror(argv[i]);
        _exit(127);
    }

    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        xcb_generic_event_t *ev;
        while ((ev = xcb_poll_for_event(c)) != NULL) {
            if ((ev->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const double ms = now_ms() - start;
                const double cpu = cpu_ms(pid);
                const xcb_window_t w = ((xcb_map_notify_event_t *)ev)->window;
                xcb_get_geometry_reply_t *g
                    = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
                const int gw = g ? g->width : 0, gh = g ? g->height : 0;
                free(g);
                if (cpu >= 0)
                    printf("map %.1f %dx%d %.1f\n", ms, gw, gh, cpu);
                else
                    printf("map %.1f %dx%d -\n", ms, gw, gh);
                fflush(stdout);
                if (width > 0 && gw == width) {
                    free(ev);
                    if (detach) {
                        printf("pid %d\n", (int)pid);
                    } else {
                        kill(pid, SIGTERM);
                        waitpid(pid, NULL, 0);
                    }
                    xcb_disconnect(c);
                    return 0;
                }
            }
            free(ev);
        }
        if (xcb_connection_has_error(c)) {
            fprintf(stderr, "bench_mapwatch: the display connection broke\n");
            kill(pid, SIGTERM);
            return 2;
        }
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            xcb_disconnect(c);
            return width > 0 ? 1 : 0;
        }
        struct pollfd p = { fd, POLLIN, 0 };
        if (poll(&p, 1, 50) < 0 && errno != EINTR)
            return 2;
    }
}
