#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Quillo developers
# SPDX-License-Identifier: MIT
"""A StatusNotifierItem watcher and host on the session bus, as a desktop's
panel provides one (KDE Plasma, or GNOME with the AppIndicator extension),
for tests of a program's tray icon.

    sni-host.py READY-FILE [--host-after SECONDS]

Owns org.kde.StatusNotifierWatcher, keeps the items that register, and
writes READY-FILE once it owns the name. With --host-after, no host is
registered until that many seconds have passed, as when the panel starts
after the program at login.
"""

import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
</node>
"""
WATCHER = "org.kde.StatusNotifierWatcher"
PATH = "/StatusNotifierWatcher"


class Watcher:
    def __init__(self, connection):
        self.connection = connection
        self.items = []
        self.host = False
        self.watches = {}

    def emit(self, signal, parameters=None):
        self.connection.emit_signal(None, PATH, WATCHER, signal, parameters)

    def properties_changed(self, changed):
        self.connection.emit_signal(None, PATH, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                                    GLib.Variant("(sa{sv}as)", (WATCHER, changed, [])))

    def register_host(self):
        self.host = True
        self.emit("StatusNotifierHostRegistered")
        self.properties_changed({"IsStatusNotifierHostRegistered": GLib.Variant("b", True)})
        return False

    def register_item(self, sender, service):
        # Items name either a bus name (path /StatusNotifierItem) or a path on
        # the sender's connection.
        item = service if not service.startswith("/") else sender + service
        if item in self.items:
            return
        self.items.append(item)
        owner = sender if service.startswith("/") else service
        self.watches[item] = Gio.bus_watch_name_on_connection(
            self.connection, owner, Gio.BusNameWatcherFlags.NONE, None, lambda *_: self.drop(item))
        self.emit("StatusNotifierItemRegistered", GLib.Variant("(s)", (item,)))
        self.properties_changed({"RegisteredStatusNotifierItems": GLib.Variant("as", self.items)})

    def drop(self, item):
        if item not in self.items:
            return
        self.items.remove(item)
        Gio.bus_unwatch_name(self.watches.pop(item))
        self.emit("StatusNotifierItemUnregistered", GLib.Variant("(s)", (item,)))

    def call(self, connection, sender, path, interface, method, parameters, invocation):
        if method == "RegisterStatusNotifierItem":
            self.register_item(sender, parameters.unpack()[0])
        elif method == "RegisterStatusNotifierHost":
            pass  # this process is the only host
        invocation.return_value(None)

    def get(self, connection, sender, path, interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", self.items)
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", self.host)
        if name == "ProtocolVersion":
            return GLib.Variant("i", 0)
        return None


def main():
    ready_file = sys.argv[1]
    host_after = float(sys.argv[sys.argv.index("--host-after") + 1]) if "--host-after" in sys.argv else 0.0
    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    watcher = Watcher(connection)
    node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
    connection.register_object(PATH, node.interfaces[0], watcher.call, watcher.get, None)
    loop = GLib.MainLoop()

    def acquired(*_):
        if host_after > 0:
            GLib.timeout_add(int(host_after * 1000), watcher.register_host)
        else:
            watcher.register_host()
        with open(ready_file, "w") as ready:
            ready.write("ready\n")

    Gio.bus_own_name_on_connection(connection, WATCHER, Gio.BusNameOwnerFlags.NONE, acquired, lambda *_: loop.quit())
    loop.run()


if __name__ == "__main__":
    main()
