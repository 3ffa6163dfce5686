#!/usr/bin/python3
# A drag source for the end-to-end tests: a window at the screen's top-left corner that offers the
# files listed in LISTFILE (one path a line, bytes: names need not be UTF-8) as a text/uri-list drag,
# as a file manager does; a line that is a URI already (smb://, http://) is offered as it stands. It
# ends shortly after its drag ends, or after 30 s.
#
#     drag_source.py TITLE LISTFILE
import sys
import urllib.parse

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gdk, Gtk  # noqa: E402

with open(sys.argv[2], "rb") as paths:
    uris = [p.decode() if b"://" in p else "file://" + urllib.parse.quote(p) for p in paths.read().split(b"\n") if p]

window = Gtk.Window(title=sys.argv[1])
window.set_default_size(120, 120)
window.move(0, 0)
box = Gtk.EventBox()
window.add(box)
box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
box.drag_source_add_uri_targets()
box.connect("drag-data-get", lambda _w, _c, data, _i, _t: data.set_uris(uris))
box.connect("drag-failed", lambda *_: True)  # no snap-back animation
# Let the target finish reading the data before the source goes away.
box.connect("drag-end", lambda *_: GLib.timeout_add(300, Gtk.main_quit))
GLib.timeout_add_seconds(30, Gtk.main_quit)
window.show_all()
Gtk.main()
