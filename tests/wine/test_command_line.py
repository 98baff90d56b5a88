"""Starting with settings on the command line: typing from logon without the window, the window with
the settings chosen, and the refusal of arguments that the program does not understand."""

import termios

from win32 import IDOK, WM_COMMAND, WM_LBUTTONDOWN
from winebed import CMSPAR, SERIALKEY, Receiver, SerialKey, wait_for_open, wait_until

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


def test_open_of_a_missing_port_shows_the_failure_and_the_icon_brings_the_window(clean_wine):
    program = SerialKey(clean_wine, "COM9", "/open", shown=False)  # COM9 is mapped to nothing

    box = program.message_box()
    assert (box["caption"], box["text"], box["icon"]) == (APP_NAME, "Serial Port is unavaible!", "hand")
    program.dismiss_message_box()
    program.probe("idle")
    assert program.window()["visible"] == "0"

    program.notify(WM_LBUTTONDOWN)
    wait_until(lambda: (w := program.window()).get("visible") == "1" and w.get("foreground") == "1", 30,
               "the window in front")
    assert selections(program)[0] == 8


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
    assert text.startswith(f"Usage: {APP_NAME} [COMn] [baud=rate] [data=bits] [parity=p] [stop=bits] [/open]")
    dismiss(clean_wine)
    assert process.wait(timeout=30) == 0
