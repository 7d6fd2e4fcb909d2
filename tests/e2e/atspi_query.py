"""Asks the editor's accessibility tree (AT-SPI over D-Bus) what a screen reader would
learn of one of its objects, found by name (and role name, when given).

  atspi_query.py PID extents NAME [ROLE]      x y width height on the screen
  atspi_query.py PID attributes NAME OFFSET   the text attributes at OFFSET, one a line
  atspi_query.py PID children NAME [ROLE]     the names of its children, one a line
"""
import sys

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
PROPERTIES = "org.freedesktop.DBus.Properties"


def node(bus, name, path):
    return bus.get_object(name, path, introspect=False)


def children(bus, name, path):
    return [(str(n), str(p)) for n, p in node(bus, name, path).GetChildren(dbus_interface=ACCESSIBLE)]


def matches(bus, name, path, wanted, role):
    accessible = node(bus, name, path)
    if str(accessible.Get(ACCESSIBLE, "Name", dbus_interface=PROPERTIES)) != wanted:
        return False
    return role is None or str(accessible.GetRoleName(dbus_interface=ACCESSIBLE)) == role


def find(bus, name, path, wanted, role, depth=0):
    if depth > 0 and matches(bus, name, path, wanted, role):
        return name, path
    if depth > 14:
        return None
    for child in children(bus, name, path):
        found = find(bus, child[0], child[1], wanted, role, depth + 1)
        if found:
            return found
    return None


def application(bus, pid):
    daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
    for app_name, app_path in children(bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
        if daemon.GetConnectionUnixProcessID(app_name, dbus_interface="org.freedesktop.DBus") == pid:
            return app_name, app_path
    return None


def main():
    pid, what, wanted = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    extra = sys.argv[4] if len(sys.argv) > 4 else None
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(str(address))
    app = application(bus, pid)
    if not app:
        return 1
    found = find(bus, app[0], app[1], wanted, extra if what != "attributes" else None)
    if not found:
        return 1
    accessible = node(bus, *found)
    if what == "extents":
        x, y, w, h = accessible.GetExtents(dbus.UInt32(0), dbus_interface="org.a11y.atspi.Component")
        print(int(x), int(y), int(w), int(h))
    elif what == "attributes":
        attributes, _, _ = accessible.GetAttributes(dbus.Int32(int(extra)), dbus_interface="org.a11y.atspi.Text")
        for key in sorted(attributes):
            print("%s=%s" % (key, attributes[key]))
    elif what == "children":
        for child in children(bus, *found):
            print(str(node(bus, *child).Get(ACCESSIBLE, "Name", dbus_interface=PROPERTIES)))
    else:
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
