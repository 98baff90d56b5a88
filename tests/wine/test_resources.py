"""The resources built into SerialKey.exe, read back with windres: the settings window's
template as laid out, and the Chinese texts intact after the trip from the UTF-8 script."""

import re
import shutil
import subprocess

import pytest

from winebed import SERIALKEY, tool

WS_CHILD, WS_VISIBLE, WS_GROUP, WS_TABSTOP, WS_VSCROLL = 0x40000000, 0x10000000, 0x20000, 0x10000, 0x200000
WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_SETFONT, DS_MODALFRAME = 0x80000000, 0xC00000, 0x80000, 0x40, 0x80
WS_EX_APPWINDOW = 0x40000
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX, SS_LEFT = 0, 1, 7, 0
CBS_DROPDOWNLIST, CBS_SORT = 0x3, 0x100

SHOWN = WS_CHILD | WS_VISIBLE
LIST = SHOWN | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP
LABEL = SHOWN | WS_GROUP | SS_LEFT

# Template order: identifier, rectangle (x, y, width, height in dialog units), style.
SETTINGS_CONTROLS = [
    (1014, (103, 10, 50, 18), SHOWN | WS_TABSTOP | BS_DEFPUSHBUTTON),
    (2, (103, 33, 50, 18), SHOWN | WS_TABSTOP | BS_PUSHBUTTON),
    (1001, (3, 6, 94, 136), SHOWN | BS_GROUPBOX),
    (1005, (41, 42, 50, 91), LIST),
    (-1, (12, 46, 24, 10), LABEL),
    (1006, (41, 68, 50, 39), LIST),
    (-1, (13, 72, 24, 10), LABEL),
    (1007, (41, 94, 50, 72), LIST),
    (-1, (13, 97, 24, 10), LABEL),
    (1008, (41, 120, 50, 51), LIST),
    (-1, (11, 123, 24, 10), LABEL),
    (1013, (42, 16, 50, 153), LIST),
    (-1, (12, 20, 24, 10), LABEL),
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
    lines = block(script, "102 DIALOGEX 0, 0, 161, 151")
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
    assert f'  101, L"{as_written_by_windres("關於Varento(&A)...")}"' in block(script, "STRINGTABLE")
