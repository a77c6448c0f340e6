// Alert windows and focused editors need real desktop windows. On a fresh virtual X server with no
// window manager, the window-manager atoms that the framework only looks up (never creates) do not
// exist yet, and its window creation then sets a property named by atom 0, which Xlib answers by
// ending the process. Creating them before the framework opens its display avoids that; the
// connection stays open so that the server keeps them, held here so that it isn't taken for a leak.
//
// The framework installs an X error handler for applications only. A test program isn't one, so
// without this an error about a window that has just gone (the test programs share one display)
// would end the whole program through Xlib's default handler; errors are reported and passed over,
// as the framework does for applications.

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace
{
void* atomsDisplay = nullptr;

/** The start of Xlib's XErrorEvent. */
struct XErrorEventStart
{
    int type;
    void* display;
    unsigned long resourceId, serial;
    unsigned char errorCode, requestCode, minorCode;
};

int reportXError (void*, XErrorEventStart* event)
{
    std::fprintf (stderr, "X error %d on request %d for resource 0x%lx passed over\n", event->errorCode, event->requestCode, event->resourceId);
    return 0;
}

struct WindowManagerAtoms
{
    WindowManagerAtoms()
    {
        if (std::getenv ("DISPLAY") == nullptr)
            return;

        auto* x11 = dlopen ("libX11.so.6", RTLD_NOW | RTLD_LOCAL);

        if (x11 == nullptr)
            return;

        using SetErrorHandler = void* (*) (int (*) (void*, XErrorEventStart*));
        using OpenDisplay = void* (*) (const char*);
        using InternAtom = unsigned long (*) (void*, const char*, int);

        if (auto setErrorHandler = reinterpret_cast<SetErrorHandler> (dlsym (x11, "XSetErrorHandler")))
            setErrorHandler (reportXError);

        auto openDisplay = reinterpret_cast<OpenDisplay> (dlsym (x11, "XOpenDisplay"));
        auto internAtom = reinterpret_cast<InternAtom> (dlsym (x11, "XInternAtom"));

        if (openDisplay == nullptr || internAtom == nullptr)
            return;

        atomsDisplay = openDisplay (nullptr);

        if (atomsDisplay == nullptr)
            return;

        for (auto* name : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                            "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL",
                            "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN" })
            internAtom (atomsDisplay, name, 0);
    }
};

const WindowManagerAtoms windowManagerAtoms;
} // namespace
