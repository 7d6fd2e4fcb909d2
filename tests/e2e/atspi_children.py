"""Prints the names of the children of one accessible object of the editor, one a line,
as its accessibility tree (AT-SPI over D-Bus) shows them to a screen reader.
Arguments: the editor's PID and the name of the object ("Toolbar", "Status")."""
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
    if depth > 0 and prop(bus, name, path, "Name") == wanted:
        return path
    if depth > 12:
        return None
    for child_name, child_path in children(bus, name, path):
        found = find(bus, child_name, child_path, wanted, depth + 1)
        if found:
            return found
    return None


def main():
    pid, wanted = int(sys.argv[1]), sys.argv[2]
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(str(address))
    daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
    for app_name, app_path in children(bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
        if daemon.GetConnectionUnixProcessID(app_name, dbus_interface="org.freedesktop.DBus") != pid:
            continue
        found = find(bus, app_name, app_path, wanted)
        if not found:
            return 1
        for child_name, child_path in children(bus, app_name, found):
            print(prop(bus, child_name, child_path, "Name"))
        return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
