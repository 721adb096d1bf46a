// Starts a program on the current X display and measures the time from exec
// to the first paint into its first top-level window (the moment the user
// sees it), and the program's peak resident memory.
// Usage: startup_probe PROGRAM  ->  prints "<milliseconds> <peak RSS KiB>"
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROGRAM\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    int damageEvent = 0;
    int damageError = 0;
    if (display == nullptr || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startup_probe: no X display with the DAMAGE extension\n");
        return 2;
    }
    // Windows the program destroys take their damage objects with them.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    // Every top-level window is watched from its creation, so that no paint
    // can come before the watch; the first paint after a map counts.
    Window mapped = None;
    double milliseconds = -1;
    while (milliseconds < 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && !event.xcreatewindow.override_redirect)
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        else if (event.type == MapNotify && !event.xmap.override_redirect && mapped == None)
            mapped = event.xmap.window;
        else if (event.type == damageEvent + XDamageNotify) {
            const auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
            if (damage->drawable == mapped)
                milliseconds =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
    }
    usleep(200 * 1000);
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("%.2f %ld\n", milliseconds, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}
