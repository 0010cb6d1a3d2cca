// Starts a program and reports when its window first shows pixels.
//
//   first_frame [--settle MS] [--timeout MS] PROGRAM [ARGS...]
//
// Needs an X server with the DAMAGE extension on $DISPLAY that shows nothing
// else (a private Xvfb). The probe watches the root window for new top-level
// windows and for damage, starts the program, and waits until a window of the
// program is mapped and then drawn into. It prints one line:
//
//   first_frame_us=N map_us=N cpu_us=N rss_kib=N settled_rss_kib=N damage=WxH+X+Y
//
// first_frame_us: microseconds from just before exec to the first damage
// inside the mapped window; map_us: the same to the MapNotify; cpu_us: the
// processor time the program had used by the first frame, from
// /proc/PID/schedstat, which other work on the machine hardly changes; rss_kib: the
// program's VmRSS read from /proc at the first frame; settled_rss_kib: VmRSS
// again MS milliseconds later (default 500), the window idle; damage: the
// first rectangle drawn, on the screen. The program is
// then sent SIGTERM. Exits non-zero when no frame came within the timeout
// (default 20 s) or the program exited first.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::int64_t nowMicroseconds()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Nanoseconds the process has run on a processor, or -1.
long long cpuNanoseconds(pid_t pid)
{
    std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
    long long onCpu = -1;
    schedstat >> onCpu;
    return onCpu;
}

// Windows vanish under the probe (the program's own short-lived ones);
// requests about them fail harmlessly.
int ignoreErrors(Display *, XErrorEvent *) { return 0; }

void drain(Display *display)
{
    XSync(display, False);
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: first_frame [--settle MS] [--timeout MS] PROGRAM [ARGS...]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char **argv)
{
    int settleMs = 500;
    int timeoutMs = 20000;
    int first = 1;
    while (first < argc && argv[first][0] == '-') {
        if (first + 1 >= argc)
            usage();
        if (!std::strcmp(argv[first], "--settle"))
            settleMs = std::atoi(argv[first + 1]);
        else if (!std::strcmp(argv[first], "--timeout"))
            timeoutMs = std::atoi(argv[first + 1]);
        else
            usage();
        first += 2;
    }
    if (first >= argc)
        usage();

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_frame: cannot open display %s\n", getenv("DISPLAY") ? getenv("DISPLAY") : "");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "first_frame: the X server has no DAMAGE extension\n");
        return 2;
    }
    // Damage on the root window covers every window drawn on the screen;
    // watching it from the start leaves no gap between a window's creation
    // and its first pixels.
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    const Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
    drain(display);

    int clockPipe[2];
    if (pipe2(clockPipe, O_CLOEXEC) != 0) {
        std::perror("first_frame: pipe");
        return 2;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::perror("first_frame: fork");
        return 2;
    }
    if (child == 0) {
        close(clockPipe[0]);
        const std::int64_t start = nowMicroseconds();
        if (write(clockPipe[1], &start, sizeof start) != sizeof start)
            _exit(126);
        execvp(argv[first], argv + first);
        std::perror("first_frame: exec");
        _exit(127);
    }
    close(clockPipe[1]);
    std::int64_t start = 0;
    if (read(clockPipe[0], &start, sizeof start) != sizeof start) {
        std::fprintf(stderr, "first_frame: the child did not start\n");
        return 2;
    }
    close(clockPipe[0]);

    Window shown = 0;
    XRectangle area {}, drawn {};
    std::int64_t mapped = -1, painted = -1;
    long rss = -1;
    long long cpu = -1;
    const std::int64_t deadline = nowMicroseconds() + std::int64_t(timeoutMs) * 1000;
    while (painted < 0) {
        if (!XPending(display)) {
            const std::int64_t left = deadline - nowMicroseconds();
            if (left <= 0)
                break;
            pollfd fd { ConnectionNumber(display), POLLIN, 0 };
            poll(&fd, 1, int(std::min<std::int64_t>(left / 1000 + 1, 100)));
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                std::fprintf(stderr, "first_frame: %s exited before its first frame\n", argv[first]);
                return 1;
            }
            if (!XPending(display))
                continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        const std::int64_t at = nowMicroseconds();
        if (event.type == MapNotify && event.xmap.event == root && !shown) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xmap.window, &attributes)
                && attributes.c_class == InputOutput) {
                shown = event.xmap.window;
                area = { short(attributes.x), short(attributes.y), (unsigned short)attributes.width,
                         (unsigned short)attributes.height };
                mapped = at;
            }
        } else if (event.type == damageEvent + XDamageNotify && shown) {
            const auto &notify = reinterpret_cast<const XDamageNotifyEvent &>(event);
            const XRectangle &r = notify.area;
            const bool inside = r.x < area.x + area.width && area.x < r.x + r.width && r.y < area.y + area.height
                                && area.y < r.y + r.height;
            if (inside) {
                painted = at;
                drawn = r;
                rss = residentKiB(child);
                cpu = cpuNanoseconds(child);
            }
        }
    }
    if (painted < 0) {
        std::fprintf(stderr, "first_frame: no frame from %s within %d ms\n", argv[first], timeoutMs);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return 1;
    }

    usleep(useconds_t(settleMs) * 1000);
    const long settled = residentKiB(child);
    std::printf("first_frame_us=%lld map_us=%lld cpu_us=%lld rss_kib=%ld settled_rss_kib=%ld damage=%dx%d+%d+%d\n",
                (long long)(painted - start), (long long)(mapped - start), cpu / 1000, rss, settled, drawn.width,
                drawn.height, drawn.x, drawn.y);
    std::fflush(stdout);

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    XDamageDestroy(display, damage);
    XCloseDisplay(display);
    return 0;
}
