#!/usr/bin/env python3
"""A stand-in for the desktop portal's screen sharing, for tests.

It owns org.freedesktop.portal.Desktop on the session bus and answers the
four ScreenCast calls (CreateSession, SelectSources, Start,
OpenPipeWireRemote) as a desktop does, each request answered by a Response
signal on its request object. The screen it shares is the PipeWire node
given on the command line; OpenPipeWireRemote hands out a new connection to
the PipeWire server of $XDG_RUNTIME_DIR.

    screencast_portal.py NODE LOG [cancel|refuse]

Each call is written to LOG as a line of JSON (method and options), so that
a test can see what was asked. "cancel" answers Start as a user cancelling
the dialog (1), "refuse" as a desktop refusing (2). The restore token it
gives is "token-N", N counting the sessions.
"""

import json
import os
import socket
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SCREENCAST = "org.freedesktop.portal.ScreenCast"


def plain(value):
    """A D-Bus value as JSON."""
    if isinstance(value, (dbus.Dictionary, dict)):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.String, dbus.ObjectPath)):
        return str(value)
    if isinstance(value, (int, float)):
        return value
    return str(value)


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class ScreenCast(dbus.service.Object):
    def __init__(self, bus, node, log, mode):
        super().__init__(bus, PATH)
        self.bus = bus
        self.node = node
        self.log = log
        self.mode = mode
        self.sessions = 0

    def note(self, method, options):
        with open(self.log, "a") as f:
            f.write(json.dumps({"method": method, "options": plain(options)}) + "\n")

    def answer(self, sender, options, code, results):
        token = str(options.get("handle_token", "t"))
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)

        def respond():
            request.Response(dbus.UInt32(code), dbus.Dictionary(results, signature="sv"))
            request.remove_from_connection()
            return False

        # a moment later, as a desktop that shows a dialog would
        GLib.timeout_add(20, respond)
        return dbus.ObjectPath(path)

    @dbus.service.method(SCREENCAST, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.note("CreateSession", options)
        self.sessions += 1
        token = str(options.get("session_handle_token", "s"))
        session = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        return self.answer(sender, options, 0, {"session_handle": dbus.String(session)})

    @dbus.service.method(SCREENCAST, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectSources(self, session, options, sender=None):
        self.note("SelectSources", options)
        return self.answer(sender, options, 0, {})

    @dbus.service.method(SCREENCAST, in_signature="osa{sv}", out_signature="o", sender_keyword="sender")
    def Start(self, session, parent, options, sender=None):
        self.note("Start", options)
        if self.mode == "cancel":
            return self.answer(sender, options, 1, {})
        if self.mode == "refuse":
            return self.answer(sender, options, 2, {})
        stream = dbus.Struct(
            (dbus.UInt32(self.node), dbus.Dictionary({"source_type": dbus.UInt32(1)}, signature="sv")),
            signature="ua{sv}")
        results = {
            "streams": dbus.Array([stream], signature="(ua{sv})"),
            "restore_token": dbus.String("token-%d" % self.sessions),
        }
        return self.answer(sender, options, 0, results)

    @dbus.service.method(SCREENCAST, in_signature="oa{sv}", out_signature="h")
    def OpenPipeWireRemote(self, session, options):
        self.note("OpenPipeWireRemote", options)
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], "pipewire-0"))
        fd = dbus.types.UnixFd(s.fileno())
        s.close()
        return fd


def main():
    node, log = int(sys.argv[1]), sys.argv[2]
    mode = sys.argv[3] if len(sys.argv) > 3 else "ok"
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    ScreenCast(bus, node, log, mode)
    name = dbus.service.BusName(BUS_NAME, bus)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name


if __name__ == "__main__":
    main()
