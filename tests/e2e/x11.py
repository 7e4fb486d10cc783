"""The end-to-end tests' hold on the X display Wine draws on: an XDND drag source that drops
file lists the way an X11 file manager does, and XTest pointer clicks.

Only the standard library is used (ctypes on libX11 and libXtst), because the tests must run on
a bare Debian with no Python packages. Wine fetches the dragged data as soon as XdndEnter
arrives and gives the source half a second to answer, so the source keeps serving its
selection while it waits for every reply.
"""

import ctypes
import ctypes.util
import select
import time
import urllib.parse

_c_ulong = ctypes.c_ulong
Window = Atom = Time = _c_ulong

SELECTION_REQUEST = 30
SELECTION_NOTIFY = 31
CLIENT_MESSAGE = 33
PROP_MODE_REPLACE = 0
CURRENT_TIME = 0
XDND_VERSION = 5


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", _c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class XSelectionRequestEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", _c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", Window), ("requestor", Window),
                ("selection", Atom), ("target", Atom), ("property", Atom), ("time", Time)]


class XSelectionEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", _c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", Time)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", XClientMessageEvent),
                ("xselectionrequest", XSelectionRequestEvent),
                ("xselection", XSelectionEvent), ("pad", ctypes.c_long * 24)]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")

for _name, _res, _args in [
    ("XOpenDisplay", ctypes.c_void_p, [ctypes.c_char_p]),
    ("XCloseDisplay", ctypes.c_int, [ctypes.c_void_p]),
    ("XDefaultRootWindow", Window, [ctypes.c_void_p]),
    ("XConnectionNumber", ctypes.c_int, [ctypes.c_void_p]),
    ("XInternAtom", Atom, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]),
    ("XCreateSimpleWindow", Window, [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, _c_ulong,
                                     _c_ulong]),
    ("XDestroyWindow", ctypes.c_int, [ctypes.c_void_p, Window]),
    ("XSetSelectionOwner", ctypes.c_int, [ctypes.c_void_p, Atom, Window, Time]),
    ("XChangeProperty", ctypes.c_int, [ctypes.c_void_p, Window, Atom, Atom, ctypes.c_int,
                                       ctypes.c_int, ctypes.c_void_p, ctypes.c_int]),
    ("XGetWindowProperty", ctypes.c_int, [ctypes.c_void_p, Window, Atom, ctypes.c_long,
                                          ctypes.c_long, ctypes.c_int, Atom,
                                          ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int),
                                          ctypes.POINTER(_c_ulong), ctypes.POINTER(_c_ulong),
                                          ctypes.POINTER(ctypes.c_void_p)]),
    ("XFree", ctypes.c_int, [ctypes.c_void_p]),
    ("XSendEvent", ctypes.c_int, [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long,
                                  ctypes.POINTER(XEvent)]),
    ("XPending", ctypes.c_int, [ctypes.c_void_p]),
    ("XNextEvent", ctypes.c_int, [ctypes.c_void_p, ctypes.POINTER(XEvent)]),
    ("XFlush", ctypes.c_int, [ctypes.c_void_p]),
    ("XSync", ctypes.c_int, [ctypes.c_void_p, ctypes.c_int]),
    ("XTranslateCoordinates", ctypes.c_int, [ctypes.c_void_p, Window, Window, ctypes.c_int,
                                             ctypes.c_int, ctypes.POINTER(ctypes.c_int),
                                             ctypes.POINTER(ctypes.c_int),
                                             ctypes.POINTER(Window)]),
    ("XMaxRequestSize", ctypes.c_long, [ctypes.c_void_p]),
    ("XExtendedMaxRequestSize", ctypes.c_long, [ctypes.c_void_p]),
    ("XSetErrorHandler", ctypes.c_void_p, [_ERROR_HANDLER]),
]:
    _fn = getattr(_x, _name)
    _fn.restype, _fn.argtypes = _res, _args

_xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_int, _c_ulong]
_xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, _c_ulong]


# Xlib's default handler ends the process on any error; a window that vanished mid-drag must
# only fail that drag.
@_ERROR_HANDLER
def _ignore_error(_display, _event):
    return 0


_x.XSetErrorHandler(_ignore_error)


class DragError(Exception):
    pass


def uri_list(paths):
    """text/uri-list of local paths, as file managers write it: one file:// URI per line,
    CR LF after each, every byte outside the unreserved set percent-encoded."""
    return b"".join(b"file://" + urllib.parse.quote(p, safe="/").encode("ascii") + b"\r\n"
                    for p in paths)


class Display:
    """One connection to the X display named by DISPLAY."""

    def __init__(self):
        self.dpy = _x.XOpenDisplay(None)
        if not self.dpy:
            raise DragError("cannot open the X display")
        self.root = _x.XDefaultRootWindow(self.dpy)
        self.window = _x.XCreateSimpleWindow(self.dpy, self.root, -10, -10, 1, 1, 0, 0, 0)
        self._atoms = {}
        _x.XSync(self.dpy, 0)

    def close(self):
        if self.dpy:
            _x.XDestroyWindow(self.dpy, self.window)
            _x.XCloseDisplay(self.dpy)
            self.dpy = None

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = _x.XInternAtom(self.dpy, name.encode("ascii"), 0)
        return self._atoms[name]

    # Pointer -----------------------------------------------------------------------------

    def click(self, x, y):
        _xtst.XTestFakeMotionEvent(self.dpy, -1, int(x), int(y), 0)
        _x.XSync(self.dpy, 0)
        time.sleep(0.05)
        _xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        _xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        _x.XSync(self.dpy, 0)

    # Drag and drop -------------------------------------------------------------------------

    def _property_card32(self, window, name):
        actual_type, actual_format = Atom(), ctypes.c_int()
        count, after, data = _c_ulong(), _c_ulong(), ctypes.c_void_p()
        status = _x.XGetWindowProperty(self.dpy, window, self.atom(name), 0, 1, 0, 0,
                                       ctypes.byref(actual_type), ctypes.byref(actual_format),
                                       ctypes.byref(count), ctypes.byref(after),
                                       ctypes.byref(data))
        value = None
        if status == 0 and data.value:
            if count.value >= 1 and actual_format.value == 32:
                value = ctypes.cast(data, ctypes.POINTER(_c_ulong))[0]
            _x.XFree(data)
        return value

    def drop_target_at(self, x, y):
        """The XDND-aware window under the root point and the protocol version it speaks."""
        window = self.root
        while True:
            dx, dy, child = ctypes.c_int(), ctypes.c_int(), Window()
            if not _x.XTranslateCoordinates(self.dpy, self.root, window, x, y, ctypes.byref(dx),
                                            ctypes.byref(dy), ctypes.byref(child)):
                return None, 0
            if not child.value:
                return None, 0
            window = child.value
            version = self._property_card32(window, "XdndAware")
            if version is not None:
                return window, int(version)

    def _send_client(self, target, name, *values):
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = target
        event.xclient.message_type = self.atom(name)
        event.xclient.format = 32
        for i, value in enumerate(values):
            event.xclient.l[i] = value
        _x.XSendEvent(self.dpy, target, 0, 0, ctypes.byref(event))
        _x.XFlush(self.dpy)

    def _serve_selection(self, request, data):
        """Answers one SelectionRequest for the dragged data."""
        reply = XEvent()
        reply.xselection.type = SELECTION_NOTIFY
        reply.xselection.requestor = request.requestor
        reply.xselection.selection = request.selection
        reply.xselection.target = request.target
        reply.xselection.time = request.time
        reply.xselection.property = 0
        prop = request.property or request.target
        if request.target == self.atom("text/uri-list"):
            _x.XChangeProperty(self.dpy, request.requestor, prop, request.target, 8,
                               PROP_MODE_REPLACE, data, len(data))
            reply.xselection.property = prop
        elif request.target == self.atom("TARGETS"):
            targets = (Atom * 2)(self.atom("TARGETS"), self.atom("text/uri-list"))
            _x.XChangeProperty(self.dpy, request.requestor, prop, self.atom("ATOM"), 32,
                               PROP_MODE_REPLACE, targets, 2)
            reply.xselection.property = prop
        _x.XSendEvent(self.dpy, request.requestor, 0, 0, ctypes.byref(reply))
        _x.XFlush(self.dpy)

    def _next_event(self, deadline):
        event = XEvent()
        fd = _x.XConnectionNumber(self.dpy)
        while not _x.XPending(self.dpy):
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([fd], [], [], min(left, 0.05))
        _x.XNextEvent(self.dpy, ctypes.byref(event))
        return event

    def drop(self, paths, x, y, timeout=30.0):
        """Drags the local paths onto the root point (x, y) and drops them there.

        Returns the target's answer: whether it accepted and whether it said it was finished.
        Raises DragError when nothing that speaks XDND lies under the point.
        """
        data = uri_list(paths)
        limit = 4 * max(_x.XExtendedMaxRequestSize(self.dpy), _x.XMaxRequestSize(self.dpy))
        if len(data) + 64 > limit:
            raise DragError(f"{len(data)} bytes of file list exceed one X request ({limit})")
        data_buffer = ctypes.create_string_buffer(data, len(data))
        target, version = self.drop_target_at(x, y)
        if target is None:
            raise DragError(f"no XDND-aware window at {x},{y}")
        version = min(version, XDND_VERSION)
        _x.XSetSelectionOwner(self.dpy, self.atom("XdndSelection"), self.window, CURRENT_TIME)
        source = self.window
        self._send_client(target, "XdndEnter", source, version << 24,
                          self.atom("text/uri-list"), 0, 0)
        self._send_client(target, "XdndPosition", source, 0, (x << 16) | y, CURRENT_TIME,
                          self.atom("XdndActionCopy"))
        deadline = time.monotonic() + timeout
        result = {"accepted": None, "finished": False, "bytes": len(data)}
        while True:
            event = self._next_event(deadline)
            if event is None:
                break
            if event.type == SELECTION_REQUEST:
                self._serve_selection(event.xselectionrequest, data_buffer)
            elif event.type == CLIENT_MESSAGE:
                kind = event.xclient.message_type
                if kind == self.atom("XdndStatus") and result["accepted"] is None:
                    result["accepted"] = bool(event.xclient.l[1] & 1)
                    if result["accepted"]:
                        self._send_client(target, "XdndDrop", source, 0, CURRENT_TIME)
                    else:
                        self._send_client(target, "XdndLeave", source, 0)
                        break
                elif kind == self.atom("XdndFinished"):
                    result["finished"] = True
                    break
        _x.XSetSelectionOwner(self.dpy, self.atom("XdndSelection"), 0, CURRENT_TIME)
        _x.XSync(self.dpy, 0)
        return result

