"""The settings window's commands, its notification-area icon, the About box and Help, driven with
real mouse and keyboard input in Wine's virtual desktop."""

import contextlib
import pathlib
import subprocess
import termios
import time

import pytest

from streams import PacedWriter
from win32 import (HID_BASE_RESOURCE, NIF_ICON, NIF_MESSAGE, NIF_TIP, NIM_ADD, NIM_DELETE, NIM_MODIFY, VK_ESCAPE,
                   WM_CLOSE, WM_ENDSESSION, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MBUTTONDBLCLK,
                   WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                   WM_SYSCOMMAND)
from winebed import (BUILD_DIR, DESKTOP_HEIGHT, RESOURCE, TASKBAR_HEIGHT, TRAY_ICON_ID, WM_TRAYNOTIFY, Receiver,
                     SerialKey, as_received, type_bytes, wait_for_open, wait_until, winpath)

STAND_IN = BUILD_DIR / "tests/wine/StandIn.exe"
IN_PROCESS_TESTS = BUILD_DIR / "tests/wine/WindowsInProcessTests.exe"
ABOUT_TITLE = SerialKey.ABOUT_TITLE
MOUSE_MESSAGES = {  # the mouse messages that the shell passes on, and whether each shows the window
    "WM_MOUSEMOVE": (WM_MOUSEMOVE, False),
    "WM_LBUTTONDOWN": (WM_LBUTTONDOWN, True),
    "WM_LBUTTONUP": (WM_LBUTTONUP, False),
    "WM_LBUTTONDBLCLK": (WM_LBUTTONDBLCLK, False),
    "WM_RBUTTONDOWN": (WM_RBUTTONDOWN, True),
    "WM_RBUTTONUP": (WM_RBUTTONUP, False),
    "WM_RBUTTONDBLCLK": (WM_RBUTTONDBLCLK, False),
    "WM_MBUTTONDOWN": (WM_MBUTTONDOWN, False),
    "WM_MBUTTONUP": (WM_MBUTTONUP, False),
    "WM_MBUTTONDBLCLK": (WM_MBUTTONDBLCLK, False),
}
LEFT, MIDDLE, RIGHT = 1, 2, 3


@pytest.fixture
def program(clean_wine, line):
    return SerialKey(clean_wine)


def the_icon(wine):
    """The centre of the one icon in the notification area."""
    icons = wait_until(lambda: wine.tray_icons(), 30, "an icon in the notification area")
    assert len(icons) == 1, icons
    return icons[0]


def shown(program):
    return wait_until(lambda: (w := program.window()).get("visible") == "1" and w.get("foreground") == "1", 30,
                      "the window in front")


def hidden(program):
    return wait_until(lambda: program.window().get("visible") == "0", 30, "the window to hide")


def open_and_hide(program):
    program.open()
    hidden(program)


@contextlib.contextmanager
def pressing_icon(wine, button):
    """Holds a mouse button down over the icon."""
    x, y = the_icon(wine)
    wine.xdotool("mousemove", x, y, "mousedown", button)
    try:
        yield
    finally:
        wine.xdotool("mouseup", button)


def click_into(wine, title):
    """A click in the middle of a top-level window, which brings it to the front with the focus."""
    left, top, right, bottom = map(int, wine.probe("rect", title).stdout.split()[1:5])
    wine.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", LEFT)
    wait_until(lambda: "foreground 1" in wine.probe("window", title).stdout, 30, f"{title} in front")


# Open and the icon

def test_open_hides_the_window_and_opens_the_port(program, line):
    program.open()

    hidden(program)
    wait_until(lambda: line.holders(), 30, "the port to be opened")


@pytest.mark.parametrize("button", [LEFT, RIGHT], ids=["left", "right"])
def test_a_press_on_the_icon_brings_the_window_back_in_front_with_the_focus(clean_wine, program, button):
    open_and_hide(program)

    with pressing_icon(clean_wine, button):
        shown(program)
        # The dialog manager gives Open the focus as it handles the activation, a moment later.
        wait_until(lambda: int(program.probe("focus").stdout) == SerialKey.OPEN, 10, "the focus on Open")


def test_only_a_left_or_right_button_press_shows_the_window(program):
    results = {}
    for name, (message, _) in MOUSE_MESSAGES.items():
        if program.window().get("visible") == "1":
            open_and_hide(program)
        program.notify(message)
        results[name] = program.window().get("visible") == "1"

    assert results == {name: shows for name, (_, shows) in MOUSE_MESSAGES.items()}


def test_moves_and_the_middle_button_over_the_icon_do_nothing(clean_wine, program, tmp_path):
    open_and_hide(program)
    Receiver(clean_wine, tmp_path / "receiver.log")
    x, y = the_icon(clean_wine)

    clean_wine.xdotool("mousemove", x, y, "mousemove", x + 1, y, "click", MIDDLE)
    # The taskbar and the icons belong to one thread of the shell, which handles their input in
    # order: once a click on the receiver's taskbar button has acted (it minimises the receiver,
    # which is in front, to -32000, -32000), the shell has passed on all that came over the icon.
    clean_wine.xdotool("mousemove", 150, DESKTOP_HEIGHT - TASKBAR_HEIGHT // 2, "click", LEFT)
    wait_until(lambda: "rect -32000 -32000" in clean_wine.probe("window", "Receiver").stdout or
               program.window().get("visible") == "1", 30, "the receiver's taskbar button to act")
    assert program.answers()  # and so has handled all that came before

    assert program.window().get("visible") == "0"


def test_a_press_while_the_window_is_visible_brings_it_to_the_front(clean_wine, program, tmp_path):
    Receiver(clean_wine, tmp_path / "receiver.log")
    assert program.window()["foreground"] == "0"

    with pressing_icon(clean_wine, LEFT):
        shown(program)


def test_the_tip_reads_serial_to_keyboard(clean_wine, program):
    x, y = the_icon(clean_wine)
    clean_wine.xdotool("mousemove", x, y)

    tip = wait_until(lambda: (r := clean_wine.probe("tooltip")).returncode == 0 and r.stdout, 30, "the tip")
    assert tip.strip() == "Serial to Keyboard"


def test_a_failed_open_leaves_the_window_hidden_until_the_icon_is_pressed(clean_wine, program):
    program.open(port=8)  # COM9 is mapped to nothing in a fresh prefix

    assert program.message_box()["text"] == "Serial Port is unavaible!"
    program.dismiss_message_box()
    assert program.window()["visible"] == "0"

    with pressing_icon(clean_wine, LEFT):
        shown(program)


def test_a_second_open_adds_no_second_icon(clean_wine, program):
    open_and_hide(program)
    with pressing_icon(clean_wine, RIGHT):
        shown(program)

    open_and_hide(program)

    assert len(clean_wine.tray_icons()) == 1


def test_a_restarted_shell_gets_the_icon_again(clean_wine, program):
    the_icon(clean_wine)
    assert program.probe("removeicon", TRAY_ICON_ID).returncode == 0
    wait_until(lambda: not clean_wine.tray_icons(), 30, "the shell to forget the icon")

    assert clean_wine.probe("broadcast", "TaskbarCreated").returncode == 0

    the_icon(clean_wine)
    open_and_hide(program)
    with pressing_icon(clean_wine, LEFT):
        shown(program)


def test_open_adds_an_icon_that_the_shell_has_lost(clean_wine, program):
    assert program.probe("removeicon", TRAY_ICON_ID).returncode == 0
    wait_until(lambda: not clean_wine.tray_icons(), 30, "the shell to forget the icon")

    open_and_hide(program)

    with pressing_icon(clean_wine, LEFT):
        shown(program)


def start_stand_in(wine, role, what, log, *args):
    """Starts the stand-in in role, logging to log; returns its process once it says that it is ready."""
    return wine.start_ready(lambda: log.exists() and "READY" in log.read_text(), what,
                            STAND_IN, role, *args, winpath(log))


@pytest.fixture
def notification_area(clean_wine, tmp_path):
    """Starts a stand-in for the shell's notification area that accepts or refuses every request;
    returns a function that gives the requests received so far, one dict of numbers each."""
    def start(answer):
        log = tmp_path / "tray.log"
        process = start_stand_in(clean_wine, "tray", "the stand-in notification area", log, answer)

        def requests():
            return [{key: int(value, 16) for key, value in (field.split("=") for field in line.split()[1:])}
                    for line in log.read_text().splitlines() if line.startswith("ICON ")]
        requests.process = process
        return requests
    return start


def test_without_an_icon_open_leaves_the_window_on_the_screen(clean_wine, line, notification_area):
    refusing = notification_area("refuse")
    program = SerialKey(clean_wine)
    assert [request["message"] for request in refusing()] == [NIM_ADD]

    program.open()
    wait_until(lambda: line.holders(), 30, "the port to be opened")
    assert program.answers()  # and so has handled all that came before
    assert program.window()["visible"] == "1"
    assert [request["message"] for request in refusing()] == [NIM_ADD, NIM_MODIFY, NIM_ADD]

    refusing.process.terminate()  # the shell's own notification area takes icons again
    refusing.process.wait(timeout=30)
    open_and_hide(program)
    the_icon(clean_wine)


def test_a_hidden_window_comes_back_when_a_restarted_shell_refuses_the_icon(clean_wine, line, notification_area):
    program = SerialKey(clean_wine)
    open_and_hide(program)
    refusing = notification_area("refuse")

    assert clean_wine.probe("broadcast", "TaskbarCreated").returncode == 0

    wait_until(lambda: program.window().get("visible") == "1", 30, "the window to come back")
    assert [request["message"] for request in refusing()] == [NIM_ADD]
    assert program.window()["foreground"] == "0", "the window took the focus from the program in front"


# Received bytes and the program's own windows

def test_tab_cr_and_esc_received_while_the_window_is_shown_wait_for_the_focus_to_leave_it(
        clean_wine, line, tmp_path):
    program = SerialKey(clean_wine, "/keys")  # the key table's events, which the test compares exactly
    receiver = Receiver(clean_wine, tmp_path / "receiver.log", stream=True)
    open_and_hide(program)
    wait_for_open(line)
    program.notify(WM_LBUTTONDOWN)
    shown(program)

    line.send(b"\t\r\x1b")  # typed here, they would move the focus, press Open, end the program
    wait_until(lambda: line.unread() == 0, 30, "the program to read the bytes")
    time.sleep(1)  # many times as long as the reader takes to type what it has read

    assert program.process.poll() is None
    assert (program.window()["visible"], program.window()["foreground"]) == ("1", "1")
    assert int(program.probe("focus").stdout) == SerialKey.OPEN
    assert receiver.key_messages() == []

    click_into(clean_wine, "Receiver")
    expected = as_received(type_bytes(clean_wine, b"\t\r\x1b", inject=False))
    assert receiver.wait_for_key_messages(len(expected)) == expected
    time.sleep(0.5)
    assert receiver.key_messages() == expected
    assert program.process.poll() is None


# Ending the program

@contextlib.contextmanager
def closes_recorded(process, trace):
    """Records, with their paths, the descriptors that the process closes until it ends."""
    strace = subprocess.Popen(["strace", "-f", "-qq", "-y", "-e", "trace=close", "-o", str(trace),
                               "-p", str(process.pid)], stderr=subprocess.DEVNULL)
    try:
        def traced():
            tasks = pathlib.Path(f"/proc/{process.pid}/task").glob("*/status")
            return all(f"TracerPid:\t{strace.pid}\n" in task.read_text() for task in tasks)
        wait_until(traced, 30, "strace to attach to every thread")
        yield
        process.wait(timeout=30)
        strace.wait(timeout=30)
    finally:
        strace.kill()
        strace.wait()


def close_button(program):
    assert program.probe("click", SerialKey.CLOSE).returncode == 0


def escape(program):
    program.wine.xdotool("key", "Escape")


def title_bar_close(program):
    _, top, right, _ = map(int, program.window()["rect"].split())
    program.wine.xdotool("mousemove", right - 14, top + 11, "click", LEFT)


def alt_f4(program):
    program.wine.xdotool("key", "alt+F4")


def system_menu_close(program):
    program.wine.xdotool("key", "alt+space")
    program.wine.xdotool("key", "c")


@pytest.mark.parametrize("end", [close_button, escape, title_bar_close, alt_f4, system_menu_close])
def test_each_way_to_end_removes_the_icon_and_releases_the_port_first(clean_wine, line, notification_area, tmp_path,
                                                                      end):
    # Wine's shell drops the icons of a window that is destroyed: only a stand-in shows the request.
    requests = notification_area("accept")
    program = SerialKey(clean_wine)
    window = int(program.window()["hwnd"], 16)
    open_and_hide(program)
    wait_until(lambda: line.holders(), 30, "the port to be opened")
    program.notify(WM_LBUTTONDOWN)
    shown(program)
    trace = tmp_path / "close.trace"

    with closes_recorded(program.process, trace):
        end(program)

    closed = [entry for entry in trace.read_text().splitlines() if f"<{line.path}>" in entry]
    assert closed
    assert not line.holders()
    first, last = requests()[0], requests()[-1]
    assert first == {"message": NIM_ADD, "window": window, "id": TRAY_ICON_ID,
                     "flags": NIF_MESSAGE | NIF_ICON | NIF_TIP, "callback": WM_TRAYNOTIFY}
    assert (last["message"], last["window"], last["id"]) == (NIM_DELETE, window, TRAY_ICON_ID)


def keys_down(wine):
    """The virtual keys that are down for the whole system, read from another process."""
    return wine.probe("keysdown").stdout.split()


def reset_speed(pty):
    """Back to the pseudo-terminal's own 38400 baud, so that the next open shows."""
    attributes = pty.attributes()
    attributes[4] = attributes[5] = termios.B38400
    termios.tcsetattr(pty.slave, termios.TCSANOW, attributes)


def posted_close_button(program):
    close_button(program)


def wm_close_from_another_program(program):
    assert program.probe("post", WM_CLOSE, 0, 0).returncode == 0


def end_of_session(program):
    assert program.probe("send", WM_ENDSESSION, 1, 0).returncode == 0


def from_the_front(end):
    """end, pressed in the settings window once the icon has brought it to the front."""
    def in_front(program):
        program.notify(WM_LBUTTONDOWN)
        shown(program)
        # A key pressed before Wine has moved the X focus goes to the window before, and is lost.
        wait_until(lambda: program.wine.has_x_focus(SerialKey.TITLE), 30, "the window to take the keys")
        end(program)
    in_front.__name__ = end.__name__
    return in_front


# Each run ends the program while capitals stream in at 115200 baud, faster than they are typed, so
# that the reader is always typing, and most of the time between a Shift press and its release. A
# program that ended there left Shift down in about seven runs of eight; three runs of each way
# catch that.
RUNS_PER_WAY = 3


@pytest.mark.parametrize("end", [posted_close_button, wm_close_from_another_program, end_of_session,
                                 from_the_front(escape), from_the_front(title_bar_close)],
                         ids=lambda end: end.__name__)
def test_ending_while_capitals_are_typed_leaves_no_key_down(clean_wine, line, tmp_path, end):
    receiver = Receiver(clean_wine, tmp_path / "receiver.log", stream=True)
    for run in range(RUNS_PER_WAY):
        reset_speed(line)
        program = SerialKey(clean_wine)
        program.open(baud=11)
        wait_for_open(line, termios.B115200)
        click_into(clean_wine, "Receiver")
        typed_before = len(receiver.typed())
        writer = PacedWriter(line, 115200).start(b"SERIALKEY" * 10000)
        wait_until(lambda: len(receiver.typed()) > typed_before + 40, 30, "capitals to be typed")

        end(program)
        if end is end_of_session:  # after it the system ends the program; here the test does
            assert (keys_down(clean_wine), line.holders()) == ([], set()), f"run {run + 1}"
            wm_close_from_another_program(program)
        program.process.wait(timeout=30)
        writer.stop()

        # The program types capitals only, so an Escape still down is the one that ended it: when the
        # window is gone between its press and its release, the X server hands the release to no Wine
        # window and Wine never sees it.
        ending_key = {f"{VK_ESCAPE:02x}"} if end.__name__ == "escape" else set()
        assert set(keys_down(clean_wine)) - ending_key == set(), f"run {run + 1}"


# System menu, About box and Help

def test_in_process_the_system_menu_the_about_box_layout_and_the_icon_handle(clean_wine):
    result = clean_wine.run(IN_PROCESS_TESTS)
    assert result.returncode == 0, result.stdout
    # A crash under Wine can still end the process with status 0: every test must have run.
    assert "[  PASSED  ]" in result.stdout and "Unhandled" not in result.stderr, result.stdout + result.stderr


def about_box(wine):
    # The box exists a moment before the dialog loop shows it.
    return wait_until(lambda: (r := wine.probe("window", ABOUT_TITLE)).returncode == 0 and "visible 1" in r.stdout
                      and r.stdout, 30, "the About box")


def about_box_closed(wine):
    wait_until(lambda: wine.probe("window", ABOUT_TITLE).returncode == 1, 30, "the About box to close")


def test_the_last_item_of_the_system_menu_opens_the_about_box(clean_wine, program):
    clean_wine.xdotool("key", "alt+space")
    clean_wine.xdotool("key", "Up", "Return")  # from the first item up to the last

    assert "foreground 1" in about_box(clean_wine)
    assert program.window()["foreground"] == "0"
    controls = clean_wine.probe("controls", ABOUT_TITLE).stdout.splitlines()
    assert controls[-1].endswith("Button 50010001 00000004 關閉")  # the default push button, a tab stop
    clean_wine.xdotool("key", "Return")
    about_box_closed(clean_wine)
    shown(program)


def test_every_system_command_from_0x10_to_0x1f_opens_the_about_box_again_and_again(clean_wine, program):
    for command in range(0x10, 0x20):
        assert program.probe("post", WM_SYSCOMMAND, command, 0).returncode == 0
        about_box(clean_wine)
        clean_wine.xdotool("key", "Escape")
        about_box_closed(clean_wine)

    for command in (0x00, 0x20):
        assert program.probe("send", WM_SYSCOMMAND, command, 0).returncode == 0
        assert clean_wine.probe("window", ABOUT_TITLE).returncode == 1


@pytest.fixture
def help_engine(clean_wine, tmp_path):
    """A stand-in for the help engine; returns the requests that it has received."""
    log = tmp_path / "help.log"
    start_stand_in(clean_wine, "help", "the help engine", log)
    return lambda: [line for line in log.read_text().splitlines() if line.startswith("HELP ")]


def press_f1_in_the_settings_window_then_in_the_about_box(wine, program, requests):
    """Returns once each F1 has reached requests(), the list of what help was asked so far."""
    wine.xdotool("key", "F1")
    wait_until(lambda: len(requests()) == 1, 30, "a help request")
    program.probe("post", WM_SYSCOMMAND, RESOURCE.IDM_ABOUTBOX, 0)
    about_box(wine)
    wine.xdotool("key", "F1")
    wait_until(lambda: len(requests()) == 2, 30, "a second help request")


def test_f1_asks_for_the_help_topic_of_the_window_in_front(clean_wine, program, help_engine):
    help_file = winpath(SerialKey.EXE.with_suffix(".HLP"))

    press_f1_in_the_settings_window_then_in_the_about_box(clean_wine, program, help_engine)

    assert help_engine() == [  # HELP_CONTEXT, with the help context of each window's template
        f"HELP command=1 data={HID_BASE_RESOURCE + RESOURCE.IDD_MAIN:x} file={help_file}",
        f"HELP command=1 data={HID_BASE_RESOURCE + RESOURCE.IDD_ABOUTBOX:x} file={help_file}"]


def test_f1_without_a_help_engine_says_so(clean_wine, line):
    program = SerialKey(clean_wine, env={"WINEDLLOVERRIDES": "mscoree,mshtml,winhlp32.exe="})

    clean_wine.xdotool("key", "F1")

    box = program.message_box()
    assert (box["caption"], box["text"], box["buttons"]) == ("SerialKey", "Help could not be started.",
                                                             ["OK"])
