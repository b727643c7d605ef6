# Chooses a file on each checksum page through the accessibility tree and compares the copied
# report. Arguments: the file to choose, then the report expected on each checksum page.
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from accessible import file_dialog, find, open_tool, press, program, wait_for  # noqa: E402


def clipboard():
    # Bytes as they are: no line ends translated.
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True)
    return result.stdout.decode() if result.returncode == 0 else None


def choose(app, path):
    press(wait_for("the browse button", lambda: find(app, "push button", "Browse")))
    file_dialog(app, "Open", path, "Open")


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
app = program()
choose(app, path)
report_becomes(app, expected_fast)
open_tool(app, "Cryptographic checksums")
choose(app, path)
report_becomes(app, expected_cryptographic)
press(find(app, "push button", "Close"))
