// first-paint: starts a program and reports, in milliseconds from just before its exec, when
// the X server first saw drawing on its main window (found by title) and on its tray icon
// (a window of its class that has been taken into another window, as a tray host does).
//   first-paint TITLE CLASS PROGRAM [ARGS...]   prints "MAIN_MS ICON_MS" ("-" if not seen
//   within 10 s), then ends the program.
// Drawing is seen through the DAMAGE extension on every window the program creates, so the
// figure is its first paint, not the moment its window was mapped.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::string Property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    if (!reply)
        return {};
    std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
                      static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_window_t Parent(xcb_connection_t* c, xcb_window_t w) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
    const xcb_window_t parent = tree ? tree->parent : xcb_window_t{XCB_WINDOW_NONE};
    std::free(tree);
    return parent;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: first-paint TITLE CLASS PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string title = argv[1];
    const std::string cls = argv[2];
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "first-paint: no X display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "first-paint: the X server has no DAMAGE extension\n");
        return 1;
    }
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t wmName = Atom(c, "_NET_WM_NAME");
    const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootEvents);
    // The selection is in place before the program can make its first window.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const double start = NowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double mainMs = -1;
    double iconMs = -1;
    const int fd = xcb_get_file_descriptor(c);
    while ((mainMs < 0 || iconMs < 0) && NowMs() - start < 10000) {
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (!event) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(fd, &ready);
            timeval wait{0, 100000};
            select(fd + 1, &ready, nullptr, nullptr, &wait);
            continue;
        }
        const double at = NowMs() - start;
        const int type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Every window the program makes is watched from its creation on.
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            const xcb_damage_damage_t d = xcb_generate_id(c);
            xcb_damage_create(c, d, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(c);
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            const xcb_window_t w = drawn->drawable;
            const std::string wmClass = Property(c, w, XCB_ATOM_WM_CLASS);
            const bool ours = wmClass.compare(0, cls.size() + 1, cls + '\0') == 0;
            // The tray icon's window may carry the program's name as its title too; it is the
            // one a tray host has taken in, the main window stays on the root.
            const bool docked = Parent(c, w) != root;
            const bool named =
                Property(c, w, wmName) == title || Property(c, w, XCB_ATOM_WM_NAME) == title;
            if (mainMs < 0 && named && !docked)
                mainMs = at;
            else if (iconMs < 0 && ours && docked)
                iconMs = at;
            else {
                // Not yet the drawing looked for (a tray icon may paint before it is docked):
                // clear the damage so that the next drawing is reported too.
                xcb_damage_subtract(c, drawn->damage, XCB_NONE, XCB_NONE);
                xcb_flush(c);
            }
        }
        std::free(event);
    }
    kill(child, SIGTERM);
    for (int i = 0; i < 200 && waitpid(child, nullptr, WNOHANG) == 0; ++i)
        usleep(10000);
    if (waitpid(child, nullptr, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    auto show = [](double ms) {
        return ms < 0 ? std::string("-") : std::to_string(static_cast<int>(ms + 0.5));
    };
    std::printf("%s %s\n", show(mainMs).c_str(), show(iconMs).c_str());
    xcb_disconnect(c);
    return 0;
}
