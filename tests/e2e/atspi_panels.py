"""Prints the texts of the editor's status panels, one a line, as its accessibility
tree (AT-SPI over D-Bus) shows them to a screen reader. Argument: the editor's PID."""
import sys

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"


def children(bus, name, path):
    node = bus.get_object(name, path, introspect=False)
    return [(str(n), str(p)) for n, p in node.GetChildren(dbus_interface=ACCESSIBLE)]


def prop(bus, name, path, key):
    node = bus.get_object(name, path, introspect=False)
    return str(node.Get(ACCESSIBLE, key, dbus_interface="org.freedesktop.DBus.Properties"))


def find(bus, name, path, wanted, depth=0):
    if prop(bus, name, path, "Name") == wanted and depth > 0:
        return path
    if depth > 12:
        return None
    for child_name, child_path in children(bus, name, path):
        found = find(bus, child_name, child_path, wanted, depth + 1)
        if found:
            return found
    return None


def main():
    pid = int(sys.argv[1])
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(str(address))
    for app_name, app_path in children(bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
        app_pid = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus").GetConnectionUnixProcessID(
            app_name, dbus_interface="org.freedesktop.DBus")
        if app_pid != pid:
            continue
        status = find(bus, app_name, app_path, "Status")
        if not status:
            return 1
        for child_name, child_path in children(bus, app_name, status):
            print(prop(bus, child_name, child_path, "Name"))
        return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
