// Watches the first moments of the program's main window on the X display, from outside: the
// structure events of its native window from creation on, and a picture of the window every
// 20 ms from its first map, for a given time. Start it before the program; it prints
// "watching" once it listens.
//
//   first_frames <title> <out-dir> [milliseconds, default 1500]
//
// Writes <out-dir>/frame-NNN-<ms>.ppm (the window's client area, time from its first map) and
// prints one line per event of a window titled <title>, then a summary:
//   windows N maps N unmaps N destroys N frames N
// A window made again by the toolkit (for instance to change its surface) shows as a second
// window, an unmap and a destroy.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

std::string title(xcb_connection_t* c, xcb_window_t w, xcb_atom_t netName, xcb_atom_t utf8)
{
    for (auto [property, type] :
         {std::pair{netName, utf8},
          std::pair{xcb_atom_t(XCB_ATOM_WM_NAME), xcb_atom_t(XCB_ATOM_STRING)}}) {
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 256), nullptr);
        std::string text;
        if (r && xcb_get_property_value_length(r) > 0)
            text.assign(static_cast<const char*>(xcb_get_property_value(r)),
                        size_t(xcb_get_property_value_length(r)));
        std::free(r);
        if (!text.empty())
            return text;
    }
    return {};
}

// The window's client area as a binary PPM; false when it cannot be read (not mapped).
bool savePicture(xcb_connection_t* c, xcb_window_t w, const std::string& path)
{
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (!g)
        return false;
    const uint16_t width = g->width, height = g->height;
    std::free(g);
    xcb_get_image_reply_t* img = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, width, height, ~0u), nullptr);
    if (!img)
        return false;
    const int bytes = xcb_get_image_data_length(img);
    const uint8_t* data = xcb_get_image_data(img);
    bool ok = bytes >= int(width) * height * 4; // 24-bit depth in 32-bit pixels (Xvfb)
    if (FILE* f = ok ? std::fopen(path.c_str(), "wb") : nullptr) {
        std::fprintf(f, "P6\n%u %u\n255\n", width, height);
        std::vector<uint8_t> row(size_t(width) * 3);
        for (int y = 0; y < height; ++y) {
            const uint8_t* p = data + size_t(y) * width * 4;
            for (int x = 0; x < width; ++x) { // BGRX
                row[size_t(x) * 3] = p[x * 4 + 2];
                row[size_t(x) * 3 + 1] = p[x * 4 + 1];
                row[size_t(x) * 3 + 2] = p[x * 4];
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        std::fclose(f);
    } else {
        ok = false;
    }
    std::free(img);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: first_frames <title> <out-dir> [milliseconds]\n");
        return 2;
    }
    const std::string wanted = argv[1];
    const std::string outDir = argv[2];
    const auto span = std::chrono::milliseconds(argc > 3 ? std::atoi(argv[3]) : 1500);

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "first_frames: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    // New top-level windows and what the window manager does with them.
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_flush(c);
    std::printf("watching\n");
    std::fflush(stdout);

    std::map<xcb_window_t, bool> candidates; // every new top-level: is it ours (titled)?
    std::map<xcb_window_t, int> ours;        // our windows, in order of appearance
    std::set<xcb_window_t> embedded;         // our child windows
    int maps = 0, unmaps = 0, destroys = 0, frames = 0;
    xcb_window_t shown = 0;
    Clock::time_point firstMap{}, nextFrame{};
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(30);

    const auto stamp = [&] {
        return firstMap == Clock::time_point{}
                   ? 0L
                   : long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                                                firstMap)
                              .count());
    };
    const auto noteMapped = [&](xcb_window_t w) {
        ++maps;
        if (firstMap == Clock::time_point{}) {
            firstMap = Clock::now();
            nextFrame = firstMap;
        }
        shown = w;
    };
    const auto isOurs = [&](xcb_window_t w) {
        if (ours.count(w))
            return true;
        if (!candidates.count(w) || title(c, w, netName, utf8) != wanted)
            return false;
        ours[w] = int(ours.size()) + 1;
        // Its own structure events from now on (its map, after the window manager's reparent).
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &mask);
        // Mapped before the line above took effect: no event will tell, the state does.
        xcb_get_window_attributes_reply_t* a =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
        if (a && a->map_state != XCB_MAP_STATE_UNMAPPED) {
            noteMapped(w);
            std::printf("%5ld ms  window %d (0x%x) mapped (found so)\n", stamp(), ours[w], w);
        }
        std::free(a);
        return true;
    };

    while (true) {
        const Clock::time_point now = Clock::now();
        if (firstMap != Clock::time_point{} ? now - firstMap > span : now > giveUp)
            break;
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            xcb_window_t w = 0, parent = 0;
            const char* what = nullptr;
            switch (e->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY:
                w = reinterpret_cast<xcb_create_notify_event_t*>(e)->window;
                candidates[w] = true;
                break;
            case XCB_REPARENT_NOTIFY:
                w = reinterpret_cast<xcb_reparent_notify_event_t*>(e)->window;
                parent = reinterpret_cast<xcb_reparent_notify_event_t*>(e)->parent;
                what = "reparented";
                break;
            case XCB_MAP_NOTIFY:
                w = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
                what = "mapped";
                break;
            case XCB_UNMAP_NOTIFY:
                w = reinterpret_cast<xcb_unmap_notify_event_t*>(e)->window;
                what = "unmapped";
                break;
            case XCB_DESTROY_NOTIFY:
                w = reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window;
                what = "destroyed";
                break;
            default:
                break;
            }
            // The same event can come twice: through the root and through the window itself.
            static uint16_t lastSequence = 0;
            static uint8_t lastType = 0;
            const bool repeat = e->sequence == lastSequence && e->response_type == lastType;
            lastSequence = e->sequence;
            lastType = e->response_type;
            std::free(e);
            if (!what || repeat || embedded.count(w))
                continue;
            // A window of the program put inside one of its windows is a part of that window
            // (the banner's own native window), not a window of its own.
            if (parent && ours.count(parent)) {
                embedded.insert(w);
                if (ours.erase(w) && shown == w)
                    --maps;
                std::printf("%5ld ms  child window 0x%x embedded in window %d\n", stamp(), w,
                            ours[parent]);
                continue;
            }
            if (!(ours.count(w) || isOurs(w)))
                continue;
            if (!std::strcmp(what, "mapped")) {
                noteMapped(w);
            } else if (!std::strcmp(what, "unmapped")) {
                ++unmaps;
            } else if (!std::strcmp(what, "destroyed")) {
                ++destroys;
            }
            std::printf("%5ld ms  window %d (0x%x) %s\n", stamp(), ours[w], w, what);
            std::fflush(stdout);
        }
        // The window may have been mapped before this program saw it: a picture tells.
        if (shown && Clock::now() >= nextFrame) {
            char name[64];
            std::snprintf(name, sizeof name, "/frame-%03d-%04ld.ppm", frames, stamp());
            if (savePicture(c, shown, outDir + name))
                ++frames;
            nextFrame += std::chrono::milliseconds(20);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::printf("windows %zu maps %d unmaps %d destroys %d frames %d\n", ours.size(), maps, unmaps,
                destroys, frames);
    xcb_disconnect(c);
    return ours.empty() ? 1 : 0;
}
