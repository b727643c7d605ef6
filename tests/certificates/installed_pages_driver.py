# Makes a key with a self-signed certificate through the accessibility tree: the page from the
# menu, a common name, the PEM button, the file named in the save dialog, then the window closed.
# Argument: the path to save to, without extension.
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from accessible import act, file_dialog, find, open_tool, press, program, wait_for  # noqa: E402

path = sys.argv[1]
app = program()
open_tool(app, "Self-signed certificate")
# Typed on the keyboard into the focused window: the common name counts once the focus leaves it.
subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Varnholt Zintrel$", "windowfocus", "--sync"],
               check=True, timeout=30)
act(wait_for("the common name", lambda: find(app, "text", "Common Name")), "SetFocus")
subprocess.run(["xdotool", "type", "--delay", "20", "e2e.example"], check=True)
subprocess.run(["xdotool", "key", "Tab"], check=True)
press(find(app, "push button", "Save certificate and key (PEM)"))
file_dialog(app, "Save As", path, "Save")
wait_for("the certificate and its key", lambda: all(os.path.exists(path + end) for end in (".crt", ".key")), 120)
press(find(app, "push button", "Close"))
