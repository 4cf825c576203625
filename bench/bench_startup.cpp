// How long gyvkt takes to show its main window, against a bare Qt main window (bare_window) on
// the same display: from the exec of the program to the X server mapping its first window, the
// median of 31 runs of each, taken in turns, and the ratio of the two. Run it on a display of its
// own, with or without a window manager:
//   xvfb-run -a -s "-screen 0 1366x768x24" build/bin/bench_startup [RUNS [GYVKT]]
// GYVKT: another build of the program to measure (default: the one beside the benchmark).
// gyvkt runs on a data folder of its own, laid down by a first start that is not counted, so
// each counted start is the examiner's everyday start: nothing missing, nothing to recover.
#include "base/DataRoot.h"
#include "base/DataRootLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Hears the root window: a top-level window mapped (or its window manager's frame) is a map
// event there.
class Display {
public:
    Display() : m_connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
    }
    ~Display() { xcb_disconnect(m_connection); }
    bool ok() const { return xcb_connection_has_error(m_connection) == 0; }

    void forgetEvents() {
        xcb_aux_sync();
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection))
            std::free(e);
    }

    // Waits until a window other than a menu or tooltip is mapped on the root; false after the
    // time given.
    bool waitForMap(Clock::time_point until) {
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (Clock::now() < until) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection)) {
                const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                                    !reinterpret_cast<xcb_map_notify_event_t*>(e)->override_redirect;
                std::free(e);
                if (mapped)
                    return true;
            }
            poll(&fd, 1, 10);
        }
        return false;
    }

private:
    void xcb_aux_sync() {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};

// Milliseconds from the exec to the first window; negative when the program showed none. The
// program is ended right then; the lock a gyvkt so ended leaves is taken away, as a run the
// examiner ends takes its own, so that the next start is an everyday one.
double timeToWindow(Display& display, const QByteArray& program, const QString& lock) {
    display.forgetEvents();
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};
    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    const bool shown = display.waitForMap(start + std::chrono::seconds(20));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    QFile::remove(lock);
    return shown ? ms : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    Display display;
    if (!display.ok()) {
        std::fprintf(stderr, "no X display: run it under xvfb-run\n");
        return 2;
    }
    QTemporaryDir root;
    qputenv("TAVRIX_ROOT", root.path().toLocal8Bit());
    const QString lock = DataRootLock(DataRoot::fromEnvironment()).path();
    const QString folder = QCoreApplication::applicationDirPath();
    const QByteArray gyvkt = argc > 2 ? QByteArray(argv[2]) : (folder + QStringLiteral("/gyvkt")).toLocal8Bit();
    const QByteArray bare = (folder + QStringLiteral("/bare_window")).toLocal8Bit();

    // The first start lays down the data folder, and both programs find their libraries in the
    // cache afterwards.
    if (timeToWindow(display, gyvkt, lock) < 0 || timeToWindow(display, bare, lock) < 0) {
        std::fprintf(stderr, "%s or %s showed no window\n", gyvkt.constData(), bare.constData());
        return 2;
    }
    std::vector<double> program;
    std::vector<double> yardstick;
    for (int i = 0; i < runs; ++i) {
        yardstick.push_back(timeToWindow(display, bare, lock));
        program.push_back(timeToWindow(display, gyvkt, lock));
    }
    if (std::min(*std::min_element(program.begin(), program.end()),
                 *std::min_element(yardstick.begin(), yardstick.end())) < 0) {
        std::fprintf(stderr, "a start showed no window\n");
        return 2;
    }
    const double p = median(program);
    const double y = median(yardstick);
    std::printf("gyvkt %.1f ms, bare Qt main window %.1f ms (medians of %d starts each): %.2fx\n", p, y, runs, p / y);
    return 0;
}
