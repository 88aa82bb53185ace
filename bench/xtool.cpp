// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the benchmark needs from the X server and xdotool does not give precisely enough:
//   lumivex-xtool mapwait [NAME] [TIMEOUT_MS]
//       prints "ready", then waits for a top-level window (titled NAME, if given) to be mapped
//       and prints "mapped <CLOCK_MONOTONIC ns> <window id> <_NET_WM_PID> <title>".
//   lumivex-xtool checksum WINDOW
//       prints a hash of the window's pixels, to tell whether anything on it moved.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

long long monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string property(Display* display, Window window, const char* name, Atom type, int format = 8) {
    Atom atom = XInternAtom(display, name, False);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(display, window, atom, 0, 1024, False, type, &actualType, &actualFormat,
                           &count, &after, &data) == Success &&
        data && actualFormat == format) {
        if (format == 8)
            value.assign(reinterpret_cast<const char*>(data), count);
        else if (format == 32 && count > 0)
            value = std::to_string(*reinterpret_cast<const unsigned long*>(data));
    }
    if (data)
        XFree(data);
    return value;
}

std::string title(Display* display, Window window) {
    std::string name =
        property(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False));
    return name.empty() ? property(display, window, "WM_NAME", XA_STRING) : name;
}

int mapwait(Display* display, const char* wanted, int timeoutMs) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    const long long deadline = monotonicNs() + static_cast<long long>(timeoutMs) * 1000000;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || event.xmap.override_redirect)
                continue;
            const long long at = monotonicNs();
            const Window window = event.xmap.window;
            const std::string name = title(display, window);
            if (wanted && name != wanted)
                continue;
            const std::string pid = property(display, window, "_NET_WM_PID", XA_CARDINAL, 32);
            std::printf("mapped %lld 0x%lx %s %s\n", at, window, pid.empty() ? "0" : pid.c_str(),
                        name.c_str());
            return 0;
        }
        const long long left = (deadline - monotonicNs()) / 1000000;
        if (left <= 0 || poll(&connection, 1, static_cast<int>(left)) <= 0) {
            std::printf("timeout\n");
            return 1;
        }
    }
}

int checksum(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return 1;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return 1;
    std::uint64_t hash = 1469598103934665603ULL;
    const std::size_t bytes =
        static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height);
    for (std::size_t i = 0; i < bytes; ++i)
        hash = (hash ^ static_cast<unsigned char>(image->data[i])) * 1099511628211ULL;
    XDestroyImage(image);
    std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "lumivex-xtool: cannot open the display\n");
        return 2;
    }
    int status = 2;
    if (argc >= 2 && std::strcmp(argv[1], "mapwait") == 0) {
        const char* wanted = argc >= 3 && argv[2][0] ? argv[2] : nullptr;
        status = mapwait(display, wanted, argc >= 4 ? std::atoi(argv[3]) : 30000);
    } else if (argc == 3 && std::strcmp(argv[1], "checksum") == 0) {
        status = checksum(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    } else {
        std::fprintf(stderr,
                     "usage: lumivex-xtool mapwait [NAME] [TIMEOUT_MS] | checksum WINDOW\n");
    }
    XCloseDisplay(display);
    return status;
}
