# Drives the installed program through the accessibility tree, as assistive technology does: the
# widgets are found by role and name, pressed through their actions, and every wait is on a
# condition with a time limit. Arguments: the file to choose, then the report expected on each
# checksum page.
import subprocess
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


def press(node):
    """Presses the element once it is enabled (it offers its Press action)."""
    def pressable():
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        return action if "Press" in names else None
    action = wait_for(f"{node.name} to be enabled", pressable)
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))


def clipboard():
    # Bytes as they are: no line ends translated.
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True)
    return result.stdout.decode() if result.returncode == 0 else None


def program():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "zintrel":
            return application
    return None


def choose(app, path):
    press(wait_for("the browse button", lambda: find(app, "push button", "Browse")))
    dialog = wait_for("the file dialog", lambda: find(app, "dialog", "Open"))
    field = wait_for("the file name field", lambda: find(dialog, "text", "File name"))
    field.queryEditableText().setTextContents(path)
    press(find(dialog, "push button", "Open"))


def report_becomes(app, expected):
    """Copies the report until it is the expected one: the run has published, within a minute."""
    copy = wait_for("the copy-all button", lambda: find(app, "push button", "Copy all checksums"))
    end = time.monotonic() + 60
    while time.monotonic() < end:
        press(copy)
        if wait_for("the clipboard", lambda: clipboard() is not None) and clipboard() == expected:
            return
        time.sleep(0.2)
    sys.exit(f"the report is not what the tools say:\n{clipboard()!r}\nexpected:\n{expected!r}")


path, expected_fast, expected_cryptographic = sys.argv[1:4]
app = wait_for("the program on the accessibility bus", program)
wait_for("the window", lambda: find(app, "frame", "Varnholt Zintrel"))
choose(app, path)
report_becomes(app, expected_fast)
press(wait_for("the cryptographic page's menu item", lambda: find(app, "list item", "Cryptographic checksums")))
wait_for("the cryptographic page", lambda: find(app, "heading", "Cryptographic checksums"))
choose(app, path)
report_becomes(app, expected_cryptographic)
press(find(app, "push button", "Close"))
