// Starts a program and tells how long it took until its first window was on the screen with something drawn in
// it, and how much memory the program had taken at its peak by then. Both are measured from outside, the same way
// for any program, so KOV and a bare Qt window started by the same probe on the same X server compare fairly.
//
//   kov_startup_probe [--settle MS] [--timeout MS] PROGRAM [ARGS...]
//
// Prints one line: "shown_ms=<milliseconds> peak_kib=<VmHWM> cpu_ms=<milliseconds>". The program is ended with
// SIGTERM afterwards. cpu_ms is the processor time all the program's threads had used by the first drawing: on a
// machine busy with other work the time shown waits on that work too, the processor time hardly does.
//
// "Shown" is the first drawing into a viewable top-level window whose _NET_WM_PID is the program's: a window that
// is mapped but still blank is not what a person waits for. Every new top-level window gets a Damage object the
// moment the server reports it created, before the program can map it, so the first drawing is never missed.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <dirent.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "kov_startup_probe: %s\n", why.c_str());
    std::exit(2);
}

template <typename T>
struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    if (!r)
        Fail(std::string("no atom ") + name);
    return r->atom;
}

bool OwnedViewable(xcb_connection_t* c, xcb_window_t w, xcb_atom_t pidAtom, pid_t pid)
{
    Reply<xcb_get_property_reply_t> prop(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!prop || xcb_get_property_value_length(prop.get()) != 4)
        return false;
    if (*static_cast<uint32_t*>(xcb_get_property_value(prop.get())) != static_cast<uint32_t>(pid))
        return false;
    Reply<xcb_get_window_attributes_reply_t> attrs(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    return attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE;
}

long PeakKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The processor time of every thread of `pid` so far, from the scheduler's own nanosecond count.
double CpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr)
        return -1;
    double ns = 0;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        std::ifstream stat(tasks + "/" + e->d_name + "/schedstat");
        double onCpu = 0;
        if (stat >> onCpu)
            ns += onCpu;
    }
    closedir(dir);
    return ns / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    int settleMs = 1000;
    int timeoutMs = 30000;
    int first = 1;
    while (first + 1 < argc && argv[first][0] == '-' && argv[first][1] == '-') {
        const std::string option = argv[first];
        if (option == "--settle")
            settleMs = std::atoi(argv[first + 1]);
        else if (option == "--timeout")
            timeoutMs = std::atoi(argv[first + 1]);
        else
            Fail("unknown option " + option);
        first += 2;
    }
    if (first >= argc)
        Fail("usage: kov_startup_probe [--settle MS] [--timeout MS] PROGRAM [ARGS...]");

    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        Fail("cannot reach the X server named by DISPLAY");
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;

    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (damage == nullptr || !damage->present)
        Fail("the X server has no DAMAGE extension");
    Reply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        c, xcb_damage_query_version(c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));
    if (!version)
        Fail("DAMAGE does not answer");
    const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        Fail("fork failed");
    if (pid == 0) {
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }

    const int fd = xcb_get_file_descriptor(c);
    double shownMs = -1;
    double cpuMs = -1;
    while (shownMs < 0) {
        xcb_generic_event_t* raw = xcb_poll_for_event(c);
        if (raw == nullptr) {
            if (xcb_connection_has_error(c))
                Fail("lost the X server");
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            if (waited > timeoutMs) {
                kill(pid, SIGKILL);
                Fail("no window was drawn within the time-out");
            }
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                Fail("the program ended before it showed a window");
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 50);
            continue;
        }
        std::unique_ptr<xcb_generic_event_t, FreeDeleter<xcb_generic_event_t>> event(raw);
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (created->parent == root) {
                // A window gone before this request arrives makes an error event, which is ignored below.
                xcb_damage_create(c, xcb_generate_id(c), created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(c);
            }
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(event.get());
            if (OwnedViewable(c, drawn->drawable, pidAtom, pid)) {
                shownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                cpuMs = CpuMs(pid);
            }
        }
    }

    // Whatever the program does just after its window appears (loading the rest, the first idle) counts too.
    usleep(static_cast<useconds_t>(settleMs) * 1000);
    const long peak = PeakKib(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    xcb_disconnect(c);
    std::printf("shown_ms=%.1f peak_kib=%ld cpu_ms=%.1f\n", shownMs, peak, cpuMs);
    return 0;
}
