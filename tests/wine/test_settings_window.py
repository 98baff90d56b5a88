"""The settings window right after start, and the ways that end the program."""

import re
import subprocess

import pytest

from win32 import (BS_DEFPUSHBUTTON, BS_GROUPBOX, BS_PUSHBUTTON, CBS_DROPDOWNLIST, CBS_SORT, DS_MODALFRAME,
                   HID_BASE_RESOURCE, IDC_STATIC, SS_LEFT, WM_COMMANDHELP, WS_CAPTION, WS_EX_APPWINDOW,
                   WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_POPUP, WS_SYSMENU, WS_TABSTOP, WS_VISIBLE)
from winebed import BUILD_DIR, DESKTOP_HEIGHT, RESOURCE, SERIALKEY, SOURCE_DIR, SerialKey, wait_until, winpath

OPEN, CLOSE, PORT, BAUD = SerialKey.OPEN, SerialKey.CLOSE, SerialKey.PORT, SerialKey.BAUD
DATABITS, PARITY, STOPBITS = SerialKey.DATA_BITS, SerialKey.PARITY, SerialKey.STOP_BITS
GROUP, LABEL = RESOURCE.IDC_SETTINGS_GROUP, IDC_STATIC

ICON_BLUE = bytes([0, 84, 166])  # the signal drawn on the application icon


def script_list_items():
    """{list id: [item, ...]} in the order of their positions, from the resource script's dialog data:
    records such as IDC_PORT, DLGINIT_INSERT_ITEM, 5L, "COM1\\0", which the window appends to its lists."""
    records = re.findall(r'^\s*(IDC_\w+), DLGINIT_INSERT_ITEM, \d+L, "(.*)\\0",$',
                         (SOURCE_DIR / "res/SerialKey.rc").read_text(encoding="utf-8"), re.MULTILINE)
    items = {}
    for name, text in records:
        items.setdefault(getattr(RESOURCE, name), []).append(text)
    return items


# Lists in the order of their positions, and the position shown after start.
LIST_ITEMS = script_list_items()
LISTS = {list_id: (LIST_ITEMS[list_id], default)
         for list_id, default in {PORT: 0, BAUD: 5, DATABITS: 1, PARITY: 0, STOPBITS: 0}.items()}

LIST_STYLE = CBS_DROPDOWNLIST | CBS_SORT
# Template order: id, window class, text, kind (the class's type bits of the style), tab stop.
CONTROLS = [
    (OPEN, "Button", "Open", BS_DEFPUSHBUTTON, True),
    (CLOSE, "Button", "Close", BS_PUSHBUTTON, True),
    (GROUP, "Button", "", BS_GROUPBOX, False),
    (BAUD, "ComboBoxEx32", "", LIST_STYLE, True),
    (LABEL, "Static", "Bauds", SS_LEFT, False),
    (DATABITS, "ComboBoxEx32", "", LIST_STYLE, True),
    (LABEL, "Static", "DataBit", SS_LEFT, False),
    (PARITY, "ComboBoxEx32", "", LIST_STYLE, True),
    (LABEL, "Static", "Parity", SS_LEFT, False),
    (STOPBITS, "ComboBoxEx32", "", LIST_STYLE, True),
    (LABEL, "Static", "StopBit", SS_LEFT, False),
    (PORT, "ComboBoxEx32", "", LIST_STYLE, True),
    (LABEL, "Static", "COM", SS_LEFT, False),
]
KIND_MASK = {"Button": 0xF, "Static": 0x1F, "ComboBoxEx32": CBS_DROPDOWNLIST | CBS_SORT}


def probe(program, command, *args):
    result = program.probe(command, *args)
    assert result.returncode == 0, result.stdout
    return result.stdout


def list_state(program, list_id):
    lines = probe(program, "items", list_id).splitlines()
    return [line[len("item "):] for line in lines[:-1]], int(lines[-1].split()[1])


def rects(program, *control_id):
    """{"rect": [left, top, right, bottom]} of the window or a control; for the window also its "workarea"."""
    lines = probe(program, "rect", *control_id).splitlines()
    return {name: [int(value) for value in values] for name, *values in (line.split() for line in lines)}


def window_picture(program):
    """A screenshot of the settings window alone, left in the build directory as settings-window.png."""
    left, top, right, bottom = rects(program)["rect"]
    screen, picture = program.wine.workdir / "screen.png", BUILD_DIR / "settings-window.png"
    program.wine.screenshot(screen)
    subprocess.run(["convert", str(screen), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                    str(picture)], check=True, timeout=60)
    return picture


def pixels(picture, width, height):
    """The RGB pixels of the picture's top left corner, row by row, 3 bytes each."""
    return subprocess.run(["convert", str(picture), "-crop", f"{width}x{height}+0+0", "+repage", "-depth", "8",
                           "rgb:-"], check=True, capture_output=True, timeout=60).stdout


def wait_for_end(program):
    assert program.process.wait(timeout=30) == 0
    assert program.probe("window").returncode == 1, "the settings window is still there"


class TestAfterStart:
    """One start of the program, looked at from outside."""

    @pytest.fixture(scope="class")
    def started(self, wine):
        program = SerialKey(wine)
        # Wine starts with the pointer in the middle of the screen, over a list's button.
        wine.xdotool("mousemove", 10, 10)
        program.probe("idle")
        yield program
        wine.stop_all()

    @pytest.mark.parametrize("list_id", LISTS, ids=["port", "baud", "databits", "parity", "stopbits"])
    def test_lists_hold_their_items_in_order_and_show_the_defaults(self, started, list_id):
        assert list_state(started, list_id) == LISTS[list_id]

    def test_controls_in_template_order(self, started):
        controls = []
        for line in probe(started, "controls").splitlines():
            control_id, kind, style, _exstyle, *text = line.split(" ", 4)
            style = int(style, 16)
            controls.append((int(control_id), kind, " ".join(text), style & KIND_MASK[kind],
                             bool(style & WS_TABSTOP)))
        assert controls == CONTROLS

    def test_tab_order_runs_from_open_through_the_lists(self, started):
        order = [int(line) for line in probe(started, "taborder").split()]
        assert order == [OPEN, CLOSE, BAUD, DATABITS, PARITY, STOPBITS, PORT]

    def test_open_is_the_default_button_and_has_the_focus(self, started):
        assert int(probe(started, "defid")) == OPEN
        assert int(probe(started, "focus")) == OPEN

    def test_window_kind(self, started):
        window = started.window()
        style, exstyle = int(window["style"], 16), int(window["exstyle"], 16)
        wanted = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
        assert style & wanted == wanted
        assert not style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
        assert exstyle & WS_EX_APPWINDOW

    def test_window_is_centred_on_the_work_area(self, started):
        found = rects(started)
        left, top, right, bottom = found["rect"]
        area_left, area_top, area_right, area_bottom = found["workarea"]
        assert abs((left - area_left) - (area_right - right)) <= 1
        # The virtual desktop's taskbar, which takes the bottom rows from the work area, appears
        # only once the program's icon is in it, and that may be after the window was centred.
        assert any(abs((top - area_top) - (edge - bottom)) <= 1 for edge in (area_bottom, DESKTOP_HEIGHT))

    def test_title_bar_shows_the_application_icon(self, started):
        # Wine answers WM_GETICON from another process with 0: the icon is looked for on the screen.
        title_bar = pixels(window_picture(started), 40, 25)
        assert any(title_bar[i:i + 3] == ICON_BLUE for i in range(0, len(title_bar), 3))

    def test_help_context_is_that_of_the_template(self, started):
        assert int(probe(started, "send", WM_COMMANDHELP, 0, 0), 16) == HID_BASE_RESOURCE + RESOURCE.IDD_MAIN


def test_escape_ends_the_program(clean_wine):
    program = SerialKey(clean_wine)
    clean_wine.xdotool("key", "Escape")
    wait_for_end(program)


def test_close_button_ends_the_program(clean_wine):
    program = SerialKey(clean_wine)
    left, top, right, bottom = rects(program, SerialKey.CLOSE)["rect"]
    clean_wine.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
    wait_for_end(program)


def test_every_start_shows_the_defaults(clean_wine):
    program = SerialKey(clean_wine)
    for list_id, (_, default) in LISTS.items():
        program.select(list_id, 1 - default % 2)
    clean_wine.xdotool("key", "Escape")
    wait_for_end(program)

    program = SerialKey(clean_wine)
    assert {list_id: list_state(program, list_id)[1] for list_id in LISTS} == \
        {list_id: default for list_id, (_, default) in LISTS.items()}


def test_f1_asks_the_help_engine_for_the_help_file_beside_the_program(clean_wine):
    SerialKey(clean_wine)
    clean_wine.xdotool("key", "F1")

    def help_engine_message():
        # The box exists a moment before its text is set.
        result = clean_wine.probe("controls", "ERROR")
        return result.returncode == 0 and ".HLP" in result.stdout and result.stdout

    # No help file belongs to the program: Wine's help engine says which one it looked for.
    assert winpath(SERIALKEY.with_suffix(".HLP")) in wait_until(help_engine_message, 60, "the help engine")
