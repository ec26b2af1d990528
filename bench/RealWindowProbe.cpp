// What a user of the real window sees, measured from outside the program on its X server: when
// the window comes up, and how long a typed key takes until the server has drawn its repaint.
// The program is left as it is: the probe only watches the server's damage reports (every
// drawing into the window, whatever drew it) and types through the test extension.
//
//   real_window_probe launch PROGRAM [ARGS...]
//       starts PROGRAM and prints "pid=P window=W mapped_ms=M painted_ms=D": the times from
//       the start to the first top-level window mapped and to its first drawing
//   real_window_probe keys WINDOW COUNT
//       focuses WINDOW and types COUNT keys (a letter, then BackSpace, and so on), printing
//       one key-to-repaint time in milliseconds a line
//
// A blinking caret draws too: each key is sent shortly after a blink, so that the next blink
// is half a blink period away and the first drawing after the key is the key's own.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
}

[[noreturn]] void Fail(const std::string& Why)
{
    std::fprintf(stderr, "real_window_probe: %s\n", Why.c_str());
    std::exit(1);
}

struct TServer {
    TServer()
    {
        Display = XOpenDisplay(nullptr);
        if (!Display)
            Fail("cannot open the X display (is DISPLAY set?)");
        int error = 0, major = 0, minor = 0;
        if (!XDamageQueryExtension(Display, &DamageEvent, &error))
            Fail("the X server has no DAMAGE extension");
        if (!XTestQueryExtension(Display, &error, &error, &major, &minor))
            Fail("the X server has no XTEST extension");
    }
    ~TServer() { XCloseDisplay(Display); }

    // The next event, or none when TimeoutMs pass first.
    std::optional<XEvent> Next(double TimeoutMs)
    {
        const auto start = Clock::now();
        while (!XPending(Display)) {
            const double left = TimeoutMs - MsSince(start);
            if (left <= 0)
                return std::nullopt;
            pollfd fd{ConnectionNumber(Display), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(left) + 1);
        }
        XEvent event;
        XNextEvent(Display, &event);
        return event;
    }
    // Reports every drawing on the screen: the window's native children (a browser's, say) are
    // drawn into windows of their own, which a report for the top-level window leaves out.
    void WatchDrawing() { XDamageCreate(Display, DefaultRootWindow(Display), XDamageReportRawRectangles); }
    bool IsDamage(const XEvent& Event) const { return Event.type == DamageEvent + XDamageNotify; }

    // Waits for the next drawing into the watched window; false after TimeoutMs.
    bool WaitForDamage(double TimeoutMs)
    {
        const auto start = Clock::now();
        for (double left = TimeoutMs; left > 0; left = TimeoutMs - MsSince(start))
            if (auto event = Next(left); event && IsDamage(*event))
                return true;
        return false;
    }
    // Drops whatever has arrived until the server is quiet for QuietMs.
    void Drain(double QuietMs)
    {
        while (Next(QuietMs)) {
        }
    }

    void Key(KeySym Symbol)
    {
        const KeyCode code = XKeysymToKeycode(Display, Symbol);
        XTestFakeKeyEvent(Display, code, True, CurrentTime);
        XTestFakeKeyEvent(Display, code, False, CurrentTime);
        XFlush(Display);
    }

    ::Display* Display = nullptr;
    int DamageEvent = 0;
};

int Launch(char** Program)
{
    TServer server;
    const Window root = DefaultRootWindow(server.Display);
    XSelectInput(server.Display, root, SubstructureNotifyMask);
    XSync(server.Display, False);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();        // the program outlives the probe
        ::dup2(2, 1);      // and keeps the probe's output to the probe's report
        ::execvp(Program[0], Program);
        std::_Exit(127);
    }
    constexpr double StartTimeoutMs = 60000;
    Window window = 0;
    double mapped = 0;
    while (!window) {
        const auto event = server.Next(StartTimeoutMs - MsSince(start));
        if (!event)
            Fail("no window came up");
        if (event->type == MapNotify && event->xmap.event == root && !event->xmap.override_redirect) {
            mapped = MsSince(start);
            window = event->xmap.window;
        }
    }
    server.WatchDrawing();
    if (!server.WaitForDamage(StartTimeoutMs - MsSince(start)))
        Fail("the window was never drawn");
    std::printf("pid=%d window=%lu mapped_ms=%.1f painted_ms=%.1f\n", pid, window, mapped, MsSince(start));
    return 0;
}

int TypeKeys(Window Target, int Count)
{
    TServer server;
    server.WatchDrawing();
    XSetInputFocus(server.Display, Target, RevertToParent, CurrentTime);
    XSync(server.Display, False);
    server.Drain(300);
    constexpr double BlinkTimeoutMs = 2000; // a caret that blinks does so at least this often
    constexpr double AfterBlinkMs = 20;
    constexpr double RepaintTimeoutMs = 1000;
    constexpr double QuietMs = 100;
    for (int i = 0; i < Count; ++i) {
        if (server.WaitForDamage(BlinkTimeoutMs))
            server.Drain(AfterBlinkMs);
        const auto sent = Clock::now();
        server.Key(i % 2 == 0 ? XK_x : XK_BackSpace);
        if (!server.WaitForDamage(RepaintTimeoutMs))
            Fail("a typed key was not drawn within a second (has the window the focus?)");
        std::printf("%.2f\n", MsSince(sent));
        std::fflush(stdout);
        server.Drain(QuietMs); // the rest of this key's drawing (the status bar, say)
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "launch") == 0)
        return Launch(argv + 2);
    if (argc == 4 && std::strcmp(argv[1], "keys") == 0)
        return TypeKeys(std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]));
    std::fprintf(stderr, "usage: real_window_probe launch PROGRAM [ARGS...]\n"
                         "       real_window_probe keys WINDOW COUNT\n");
    return 2;
}
