"""What a screen reader finds on the desktop: the accessibility tree (AT-SPI)
that each program publishes on the accessibility bus. The tests read the
window's texts, states and places from it -- the same facts the screen shows,
told as text.

Only reading happens here; nothing is driven through this bus."""

import dbus

_REGISTRY = "org.a11y.atspi.Registry"
_ROOT = "/org/a11y/atspi/accessible/root"
_ACCESSIBLE = "org.a11y.atspi.Accessible"
_PROPERTIES = "org.freedesktop.DBus.Properties"

# Bit numbers of the AT-SPI state set.
_STATES = {"active": 1, "enabled": 8, "focusable": 11, "focused": 12, "modal": 16,
           "sensitive": 24, "showing": 25, "visible": 30}

_SCREEN_COORDINATES = dbus.UInt32(0)


def switch_on(session_address):
    """Switches accessibility on for the session, as a screen reader does, and
    returns the address of the accessibility bus (its launcher is started by
    the session bus on demand)."""
    session = dbus.bus.BusConnection(session_address)
    try:
        launcher = session.get_object("org.a11y.Bus", "/org/a11y/bus")
        dbus.Interface(launcher, _PROPERTIES).Set("org.a11y.Status", "IsEnabled", dbus.Boolean(True))
        return str(dbus.Interface(launcher, "org.a11y.Bus").GetAddress())
    finally:
        session.close()


class AccessibilityBus:
    def __init__(self, address):
        self.connection = dbus.bus.BusConnection(address)
        self._dbus = dbus.Interface(self.connection.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                                    "org.freedesktop.DBus")

    def close(self):
        self.connection.close()

    def application(self, pid):
        """The accessible application published by process `pid` that has
        windows, or None. A process may publish more than one: under the GTK
        platform theme the GTK library publishes one of its own, empty."""
        for child in Node(self, _REGISTRY, _ROOT).children():
            try:
                if int(self._dbus.GetConnectionUnixProcessID(child.bus_name)) == pid and child.children():
                    return child
            except dbus.DBusException:
                continue  # a program that has just gone
        return None


class Node:
    """One accessible object: a window, a control or a text."""

    def __init__(self, bus, bus_name, path):
        self.bus = bus
        self.bus_name = str(bus_name)
        self.path = str(path)
        self._object = bus.connection.get_object(self.bus_name, self.path, introspect=False)

    def _call(self, interface, method, *args):
        return getattr(dbus.Interface(self._object, interface), method)(*args)

    def _property(self, interface, name):
        return self._call(_PROPERTIES, "Get", interface, name)

    @property
    def name(self):
        return str(self._property(_ACCESSIBLE, "Name"))

    @property
    def role(self):
        return str(self._call(_ACCESSIBLE, "GetRoleName"))

    @property
    def states(self):
        words = self._call(_ACCESSIBLE, "GetState")
        bits = sum(int(word) << (32 * i) for i, word in enumerate(words))
        return {state for state, bit in _STATES.items() if bits >> bit & 1}

    @property
    def extents(self):
        """(x, y, width, height) on the screen."""
        return tuple(int(v) for v in self._call("org.a11y.atspi.Component", "GetExtents", _SCREEN_COORDINATES))

    @property
    def value(self):
        return float(self._property("org.a11y.atspi.Value", "CurrentValue"))

    @property
    def maximum(self):
        return float(self._property("org.a11y.atspi.Value", "MaximumValue"))

    def children(self):
        return [Node(self.bus, name, path) for name, path in self._call(_ACCESSIBLE, "GetChildren")]

    def children_of_role(self, role, name=None):
        """The direct children of `role` (and `name`, if given). A child that
        goes while it is looked at (a closing dialog) is left out."""
        return [child for child in self.children() if child.matches(role, name)]

    def descendants(self):
        try:
            children = self.children()
        except dbus.DBusException:
            return  # gone while it was looked at
        for child in children:
            yield child
            yield from child.descendants()

    def matches(self, role=None, name=None):
        try:
            return (role is None or self.role == role) and (name is None or self.name == name)
        except dbus.DBusException:
            return False

    def find_all(self, role=None, name=None):
        return [n for n in self.descendants() if n.matches(role, name)]

    def find(self, role=None, name=None):
        found = self.find_all(role, name)
        return found[0] if found else None

    def __repr__(self):
        return "<%s %r>" % (self.role, self.name)
