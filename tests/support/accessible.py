# Drives the installed program through the accessibility tree, as assistive technology does: the
# widgets are found by role and name, pressed through their actions, and every wait is on a
# condition with a time limit.
import sys
import time

import pyatspi


def wait_for(what, condition, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = condition()
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"waited in vain for {what}")


def find(node, role, name):
    """The first showing element under node of this role whose name starts with name."""
    try:
        if (node.getRoleName() == role and node.name.startswith(name)
                and node.getState().contains(pyatspi.STATE_SHOWING)):
            return node
        children = list(node)
    except Exception:  # an element that went away while it was read
        return None
    for child in children:
        if child is not None and (found := find(child, role, name)):
            return found
    return None


def act(node, name):
    """Does the element's action once it offers it (a disabled button offers none)."""
    def offered():
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        return (action, names.index(name)) if name in names else None
    action, index = wait_for(f"{node.name} to offer {name}", offered)
    action.doAction(index)


def press(node):
    act(node, "Press")


def program():
    """The program, once it shows itself on the accessibility bus, and its window."""
    def application():
        for candidate in pyatspi.Registry.getDesktop(0):
            if candidate is not None and candidate.name == "zintrel":
                return candidate
        return None
    app = wait_for("the program on the accessibility bus", application)
    wait_for("the window", lambda: find(app, "frame", "Varnholt Zintrel"))
    return app


def open_tool(app, name):
    """Opens a tool from the menu; its page is there once its heading shows."""
    press(wait_for(f"the menu item {name}", lambda: find(app, "list item", name)))
    wait_for(f"the page {name}", lambda: find(app, "heading", name))


def file_dialog(app, title, path, button):
    """Names the path in the file dialog with this title and presses its button."""
    dialog = wait_for(f"the dialog {title}", lambda: find(app, "dialog", title))
    field = wait_for("the file name field", lambda: find(dialog, "text", "File name"))
    field.queryEditableText().setTextContents(path)
    press(find(dialog, "push button", button))


# For the shell tests: "press ROLE NAME" presses an element; "title-bar" prints the middle of the
# window's title, which drags the window, on the screen.
if __name__ == "__main__":
    command, *arguments = sys.argv[1:]
    app = program()
    if command == "press":
        press(wait_for(" ".join(arguments), lambda: find(app, *arguments)))
    elif command == "title-bar":
        title = wait_for("the title", lambda: find(app, "label", "Varnholt Zintrel"))
        place = title.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(place.x + place.width // 2, place.y + place.height // 2)
    else:
        sys.exit(f"unknown command {command}")
