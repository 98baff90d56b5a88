"""The resources built into SerialKey.exe, read back with windres: the settings window's
template as laid out, and the Chinese texts intact after the trip from the UTF-8 script."""

import re
import shutil
import subprocess

import pytest

from win32 import (BS_DEFPUSHBUTTON, BS_GROUPBOX, BS_PUSHBUTTON, CBS_DROPDOWNLIST, CBS_SORT, DS_MODALFRAME,
                   DS_SETFONT, IDC_STATIC, IDCANCEL, SS_LEFT, WS_CAPTION, WS_CHILD, WS_EX_APPWINDOW, WS_GROUP,
                   WS_POPUP, WS_SYSMENU, WS_TABSTOP, WS_VISIBLE, WS_VSCROLL)
from winebed import RESOURCE, SERIALKEY, tool

SHOWN = WS_CHILD | WS_VISIBLE
LIST = SHOWN | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP
LABEL = SHOWN | WS_GROUP | SS_LEFT

# Template order: identifier, rectangle (x, y, width, height in dialog units), style.
SETTINGS_CONTROLS = [
    (RESOURCE.IDC_OPEN, (103, 10, 50, 18), SHOWN | WS_TABSTOP | BS_DEFPUSHBUTTON),
    (IDCANCEL, (103, 33, 50, 18), SHOWN | WS_TABSTOP | BS_PUSHBUTTON),
    (RESOURCE.IDC_SETTINGS_GROUP, (3, 6, 94, 136), SHOWN | BS_GROUPBOX),
    (RESOURCE.IDC_BAUD, (41, 42, 50, 91), LIST),
    (IDC_STATIC, (12, 46, 24, 10), LABEL),
    (RESOURCE.IDC_DATABITS, (41, 68, 50, 39), LIST),
    (IDC_STATIC, (13, 72, 24, 10), LABEL),
    (RESOURCE.IDC_PARITY, (41, 94, 50, 72), LIST),
    (IDC_STATIC, (13, 97, 24, 10), LABEL),
    (RESOURCE.IDC_STOPBITS, (41, 120, 50, 51), LIST),
    (IDC_STATIC, (11, 123, 24, 10), LABEL),
    (RESOURCE.IDC_PORT, (42, 16, 50, 153), LIST),
    (IDC_STATIC, (12, 20, 24, 10), LABEL),
]

# "CONTROL text, id, class, style, x, y, w, h" or "KIND text, id, x, y, w, h, style"
CONTROL_LINE = re.compile(r'\s+CONTROL ".*", (-?\d+), "\w+", (0x[0-9a-f]+), (\d+), (\d+), (\d+), (\d+)$')
OTHER_LINE = re.compile(r'\s+[A-Z]+ ".*", (-?\d+), (\d+), (\d+), (\d+), (\d+), (0x[0-9a-f]+)$')


def as_written_by_windres(text):
    return "".join(c if ord(c) < 0x80 else f"\\x{ord(c):x}" for c in text)


@pytest.fixture(scope="module")
def script():
    """The executable's resources as a resource script."""
    windres = shutil.which(tool("windres"))
    return subprocess.run([windres, "-i", str(SERIALKEY), "-O", "rc"], check=True, capture_output=True, text=True,
                          timeout=60).stdout


def block(script, head):
    """The lines from the one starting with head to the END that closes it."""
    lines = script.splitlines()
    start = lines.index(head)
    return lines[start:lines.index("END", start)]


def test_settings_window_template(script):
    lines = block(script, f"{RESOURCE.IDD_MAIN} DIALOGEX 0, 0, 161, 151")
    assert lines[1:5] == [
        f"STYLE {WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME:#x}",
        f"EXSTYLE {WS_EX_APPWINDOW:#x}",
        'CAPTION "RS-232C to KeyBoard(for Win2000)"',
        f'FONT 9, L"{as_written_by_windres("新細明體")}"',
    ]
    controls = []
    for line in lines[6:]:
        if match := CONTROL_LINE.match(line):
            ident, style, *rect = match.groups()
        else:
            ident, *rect, style = OTHER_LINE.match(line).groups()
        controls.append((int(ident), tuple(map(int, rect)), int(style, 16)))
    assert controls == SETTINGS_CONTROLS


def test_about_item_text(script):
    about = as_written_by_windres("關於Varento(&A)...")
    assert f'  {RESOURCE.IDS_ABOUTBOX}, L"{about}"' in block(script, "STRINGTABLE")
