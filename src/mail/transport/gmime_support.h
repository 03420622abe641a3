#pragma once

// GMime declares a member called "signals": it must come before any Qt header.
#include <gmime/gmime.h>

#include <memory>

// Initialises GMime once for the process. GMime cannot be initialised again after
// g_mime_shutdown, so it is never shut down; its tables live as long as the process.
inline void useGMime() {
    static const bool initialised = [] {
        g_mime_init();
        return true;
    }();
    (void)initialised;
}

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// Owns one reference to a GObject.
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;
