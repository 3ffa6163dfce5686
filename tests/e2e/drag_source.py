#!/usr/bin/python3
"""A drag source for the end-to-end tests: a small window at the screen's top-left corner that
offers the given files as a text/uri-list drag, like a file manager does.

    drag_source.py TITLE FILE...

Exit status: 0 when a drag ended with a drop, 2 when it ended without one,
3 when no drag ended within the time limit.
"""
import sys
import urllib.parse

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gdk, Gtk  # noqa: E402

TIME_LIMIT_S = 30


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 64

    title, paths = sys.argv[1], sys.argv[2:]
    uris = ["file://" + urllib.parse.quote(p) for p in paths]
    status = {"code": 3, "failed": False}

    window = Gtk.Window(title=title)
    window.set_default_size(120, 120)
    window.move(0, 0)
    box = Gtk.EventBox()
    box.add(Gtk.Label(label="drag me"))
    window.add(box)

    box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    box.drag_source_add_uri_targets()

    def on_data_get(_widget, _context, data, _info, _time):
        data.set_uris(uris)

    def on_failed(_widget, _context, _result):
        status["failed"] = True
        return True  # no snap-back animation

    def on_end(_widget, _context):
        status["code"] = 2 if status["failed"] else 0
        # Let the target finish reading the data before the source goes away.
        GLib.timeout_add(300, Gtk.main_quit)

    box.connect("drag-data-get", on_data_get)
    box.connect("drag-failed", on_failed)
    box.connect("drag-end", on_end)
    window.connect("destroy", Gtk.main_quit)
    GLib.timeout_add_seconds(TIME_LIMIT_S, Gtk.main_quit)

    window.show_all()
    Gtk.main()
    return status["code"]


if __name__ == "__main__":
    sys.exit(main())
