"""Starting with settings on the command line: typing from logon without the window, also when the
port's device comes later, the window with the settings chosen, and the refusal of arguments that
the program does not understand."""

import os
import termios

import pytest

from win32 import IDOK, WM_COMMAND, WM_LBUTTONDOWN
from winebed import CMSPAR, DEVICE_MAP, SERIALKEY, Pty, Receiver, SerialKey, wait_for_open, wait_until

LISTS = (SerialKey.PORT, SerialKey.BAUD, SerialKey.DATA_BITS, SerialKey.PARITY, SerialKey.STOP_BITS)
APP_NAME = SERIALKEY.stem  # the caption of the program's message boxes


def selections(program):
    """The selected position of each list: port, baud, data bits, parity, stop bits."""
    return tuple(int(program.probe("items", list_id).stdout.splitlines()[-1].split()[1]) for list_id in LISTS)


def message_box_text(wine, caption=APP_NAME):
    """The text of the message box, owned by no window, that bears the caption (the program's name)."""
    def shown_box():
        if wine.window(caption).get("visible") != "1":
            return None
        result = wine.probe("controls", caption)
        return result.returncode == 0 and result.stdout
    controls = wait_until(shown_box, 60, "the message box")
    # One child per line: id, class, style, exstyle, text; the text control has the id 0xFFFF,
    # and its text goes on over the lines that follow.
    return controls.split("65535 Static ", 1)[1].split(" ", 2)[2]


def dismiss(wine, caption=APP_NAME):
    assert wine.probe("post", caption, WM_COMMAND, IDOK, 0).returncode == 0


def test_open_types_from_the_start_without_showing_the_window(clean_wine, line, tmp_path):
    receiver = Receiver(clean_wine, tmp_path / "receiver.log")  # in front, as the station's application is

    program = SerialKey(clean_wine, "COM1", "baud=19200", "parity=e", "/open", shown=False)

    wait_for_open(line, termios.B19200)
    iflag, cflag = line.attributes()[0], line.attributes()[2]
    assert (bool(cflag & termios.PARODD), bool(cflag & CMSPAR), bool(iflag & termios.INPCK)) == \
        (False, False, True), "even parity"
    line.send(b"4006381333931\r")
    wait_until(lambda: receiver.chars() == "4006381333931\r", 30, "the typed line")
    assert program.window()["visible"] == "0"
    assert clean_wine.window("Receiver")["foreground"] == "1"

    # The icon calls the window back as after any Open; it shows what it was started with.
    program.notify(WM_LBUTTONDOWN)
    wait_until(lambda: program.window().get("visible") == "1", 30, "the window to show")
    assert selections(program) == (0, 7, 1, 2, 0)  # COM1 19200 8 EVEN 1


@pytest.fixture
def dosdevices(clean_wine):
    """The prefix's device links: a link that names COMn there is a serial device that has come."""
    folder = clean_wine.workdir / "prefix/dosdevices"
    made = []
    yield folder, made
    for port in made:
        (folder / port.lower()).unlink(missing_ok=True)
        clean_wine.run("reg", "delete", DEVICE_MAP, "/v", rf"\Device\Serial{port}", "/f")


def plug_in(wine, dosdevices, port, device):
    """The device of port comes, as a USB adapter at logon: its link, and its entry in the device map."""
    folder, made = dosdevices
    made.append(port)
    (folder / port.lower()).symlink_to(device.path)
    assert wine.run("reg", "add", DEVICE_MAP, "/v", rf"\Device\Serial{port}", "/t", "REG_SZ", "/d", port,
                    "/f").returncode == 0


# A station's Startup shortcut runs before the USB adapter is there, which is common at logon.
@pytest.mark.parametrize("port, position", [("COM12", 9), ("COM3", 2)])
def test_open_waits_without_a_word_for_a_port_that_is_not_there_yet_and_types_once_it_comes(
        clean_wine, dosdevices, tmp_path, port, position):
    assert not os.path.lexists(dosdevices[0] / port.lower()), f"{port} already exists in this prefix"
    receiver = Receiver(clean_wine, tmp_path / "receiver.log")

    program = SerialKey(clean_wine, port, "baud=19200", "parity=e", "/open", shown=False)

    wait_until(lambda: program.tip() == f"Serial to Keyboard \u2013 {port}: waiting for the device", 30,
               "the tip to tell of the wait")
    assert program.probe("messagebox").returncode == 1, "a message box came up"
    assert program.process.poll() is None and program.window()["visible"] == "0"
    device = Pty()
    try:
        plug_in(clean_wine, dosdevices, port, device)
        wait_for_open(device, termios.B19200)
        device.send(b"4006381333931\r")
        wait_until(lambda: receiver.chars() == "4006381333931\r", 30, "the typed line")
        assert program.tip() == "Serial to Keyboard"
        # The window shows the port chosen, now that the list has it.
        program.notify(WM_LBUTTONDOWN)
        wait_until(lambda: program.window().get("visible") == "1", 30, "the window to show")
        assert selections(program) == (position, 7, 1, 2, 0)  # 19200 8 EVEN 1
    finally:
        device.close()


def test_open_reports_a_port_that_fails_at_start_then_waits_for_it_too(clean_wine, tmp_path):
    device = tmp_path / "ttyUSB0"  # COM9 names it, but no device is behind it yet: Wine opens the
    clean_wine.set_port("COM9", device)  # port and refuses its settings
    receiver = Receiver(clean_wine, tmp_path / "receiver.log")

    program = SerialKey(clean_wine, "COM9", "/open", shown=False)

    box = program.message_box()
    assert (box["caption"], box["icon"]) == (APP_NAME, "hand")
    assert box["text"].startswith("The serial port COM9 could not be set up with these settings:")
    program.dismiss_message_box()
    assert program.window()["visible"] == "0"
    wait_until(lambda: program.tip() == "Serial to Keyboard \u2013 COM9: waiting for the device", 30,
               "the tip to tell of the wait")
    assert clean_wine.probe("show", "Receiver").returncode == 0  # the station's program, back in front
    line = Pty()
    try:
        device.symlink_to(line.path)
        wait_for_open(line)
        line.send(b"back\r")
        wait_until(lambda: receiver.chars() == "back\r", 30, "the typed line")
    finally:
        line.close()


def test_without_open_the_window_shows_the_settings_given(clean_wine):
    program = SerialKey(clean_wine, "com3", "BAUD=115200", "data=7", "parity=Odd", "stop=1.5")

    assert selections(program) == (2, 11, 0, 1, 1)
    assert program.probe("focus").stdout.split() == [str(SerialKey.OPEN)]


def test_without_arguments_the_defaults_show(clean_wine):
    program = SerialKey(clean_wine)

    assert selections(program) == (0, 5, 1, 0, 0)  # COM1 9600 8 NONE 1


def test_a_bad_argument_is_named_with_the_usage_and_the_program_ends_with_a_non_zero_code(clean_wine, line):
    process = clean_wine.start(SERIALKEY, "COM1", "baud=9601", "/open")

    text = message_box_text(clean_wine)
    assert text.startswith('The argument "baud=9601" was not understood.')
    assert "baud=\t300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200" in text
    assert "parity=\tNONE ODD EVEN MARK SPACE, or N O E M S" in text
    assert clean_wine.window(SerialKey.TITLE) == {}, "the settings window started"
    dismiss(clean_wine)
    assert process.wait(timeout=30) == 2
    assert line.attributes()[5] == termios.B38400, "the port was configured"  # the pty's own speed


def test_question_mark_shows_the_usage_and_ends_with_zero(clean_wine):
    process = clean_wine.start(SERIALKEY, "/?")

    text = message_box_text(clean_wine)
    assert text.startswith(f"Usage: {APP_NAME} [COMn] [baud=rate] [data=bits] [parity=p] [stop=bits] [charset=set] "
                           "[/open]")
    dismiss(clean_wine)
    assert process.wait(timeout=30) == 0
