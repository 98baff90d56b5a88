"""On UK, German and French keyboards, as on US, every character that arrives on the line is
typed as itself, into the test receiver, into Wine's own Notepad and, from the scan codes alone,
for a remote desktop client; /keys strikes the key table's keys instead. Characters beyond ASCII
arrive in the character set that charset= names. Runs on TigerVNC's X server, whose keyboard
layout can be switched."""

import contextlib
import re
import subprocess

import pytest

from win32 import VK_CAPITAL, VK_CONTROL, VK_MENU
from winebed import (Receiver, ScanCodeReader, SerialKey, as_received, type_bytes, utf16_hex, wait_for_open,
                     wait_until, wine_session)

LAYOUTS = ["us", "gb", "de", "fr"]
# Names, units and symbols: umlauts and accents that German has keys for, and characters no
# layout here has, one of them beyond U+FFFF.
TEXT = "Gr\u00fc\u00dfe, caf\u00e9, na\u00efve \u2013 25 \u00b0C, 5 \u00b5m \u00b1 0.1, \u03a9mega \U0001f600"
# All 95 printable characters, then TAB and CR.
LINE = bytes(range(0x20, 0x7F)) + b"\t\r"
WINE_MAJOR = int(re.search(r"wine-(\d+)", subprocess.run(["wine", "--version"], capture_output=True,
                                                          text=True).stdout).group(1))


@pytest.fixture(scope="session")
def wine():
    with wine_session(keyboard_layouts=True) as session:
        yield session


@pytest.fixture(params=LAYOUTS)
def keyboard(request, clean_wine):
    """The session's Wine with the X keyboard switched to each layout in turn."""
    clean_wine.set_keyboard_layout(request.param)
    return clean_wine


@pytest.fixture(params=["us", "de"])
def us_or_german(request, clean_wine):
    clean_wine.set_keyboard_layout(request.param)
    return clean_wine


def open_serialkey(wine, device, *args):
    program = SerialKey(wine, *args)
    program.open()
    wait_for_open(device)
    return program


def caps_lock(wine, receiver):
    """Presses Caps Lock on the X keyboard while the receiver has the focus, and waits until
    the receiver has seen it."""
    seen = len(receiver.key_messages())
    wine.xdotool("key", "Caps_Lock")
    wait_until(lambda: any(vk == VK_CAPITAL for _, vk, _, _ in receiver.key_messages()[seen:]), 10,
               "Caps Lock to reach the receiver")


class Notepad:
    """Wine's own Notepad, which nobody here wrote; its text is read back from its Edit control."""

    TITLE = "Untitled - Notepad"

    def __init__(self, wine):
        self.wine = wine
        wine.start_ready(lambda: "foreground 1" in self.probe("window").stdout, "Notepad in front", "notepad")

    def probe(self, *args):
        return self.wine.probe(args[0], self.TITLE, *args[1:])

    def text(self):
        return utf16_hex(self.probe("childtext", "Edit").stdout.strip())


def test_every_printable_character_tab_and_cr_arrive_exactly(keyboard, line, tmp_path):
    open_serialkey(keyboard, line)
    receiver = Receiver(keyboard, tmp_path / "receiver.log")

    line.send(LINE)

    receiver.settle(5, expected=len(LINE))
    assert receiver.chars() == LINE.decode()
    wait_until(lambda: receiver.text() == LINE.decode() + "\n", 10, "the text in the edit control")
    # AltGr characters go as themselves: neither Ctrl nor Alt is ever pressed, so none stays down.
    assert not [m for m in receiver.key_messages() if m[1] in (VK_CONTROL, VK_MENU)]


def test_every_printable_character_tab_and_cr_arrive_exactly_in_notepad(keyboard, line):
    open_serialkey(keyboard, line)
    notepad = Notepad(keyboard)

    line.send(LINE)

    expected = LINE.decode() + "\n"
    with contextlib.suppress(TimeoutError):
        wait_until(lambda: notepad.text() == expected, 60, "the whole line in Notepad")
    assert notepad.text() == expected


def test_a_remote_client_rebuilds_every_printable_character_tab_and_cr_from_the_scan_codes(keyboard, line,
                                                                                          tmp_path):
    open_serialkey(keyboard, line)
    client = ScanCodeReader(keyboard, tmp_path / "client.log")
    receiver = Receiver(keyboard, tmp_path / "receiver.log")

    line.send(LINE)

    receiver.settle(5, expected=len(LINE))
    # Characters that the layout has no plain key for went as themselves, and arrive as such.
    wait_until(lambda: client.chars() == LINE.decode(), 10, "the whole line rebuilt from the scan codes")


# Windows, and Wine from 9, give a thread that takes no keyboard input of its own (SerialKey's
# reader) the system's Caps Lock in GetKeyState; Wine 8 gives it its own, which stays off.
@pytest.mark.xfail(WINE_MAJOR < 9, reason="Wine 8 does not show another thread's Caps Lock", strict=True)
def test_mixed_case_arrives_as_sent_with_caps_lock_on(keyboard, line, tmp_path):
    open_serialkey(keyboard, line)
    receiver = Receiver(keyboard, tmp_path / "receiver.log")
    caps_lock(keyboard, receiver)
    try:
        line.send(LINE)

        receiver.settle(5, expected=len(LINE))
        assert receiver.chars() == LINE.decode()
    finally:
        caps_lock(keyboard, receiver)


@pytest.mark.parametrize("layout", ["us", "de"])
def test_with_keys_the_key_table_is_struck_on_every_layout(clean_wine, layout, line, tmp_path):
    clean_wine.set_keyboard_layout(layout)
    open_serialkey(clean_wine, line, "/keys")
    client = ScanCodeReader(clean_wine, tmp_path / "client.log")
    receiver = Receiver(clean_wine, tmp_path / "receiver.log")
    data = b"@Hello, World!\r"

    line.send(data)

    events = type_bytes(clean_wine, data, inject=False)
    expected = as_received(events)
    assert receiver.wait_for_key_messages(len(expected)) == expected
    # The events as they were sent, scan codes 0x45 and 0 and the extended flag everywhere included.
    assert client.key_events() == [("KEYUP" if flags & 2 else "KEYDOWN", vk, scan, flags & 1)
                                   for vk, scan, flags, _ in events]
    # The key table types @ as Shift+2, which is " on a German keyboard.
    wait_until(lambda: receiver.chars() == ('"' if layout == "de" else "@") + "Hello, World!\r", 10,
               "the typed text")


# Every character a device sends: QR codes in UTF-8, scanners in 1252, scales in 437.

def in_codec(text, codec):
    """What of text the codec can carry."""
    return "".join(c for c in text if c.encode(codec, errors="ignore"))


@pytest.mark.parametrize("charset, codec, text", [
    ("utf-8", "utf-8", TEXT),
    ("1252", "cp1252", in_codec(TEXT, "cp1252")),
    ("437", "cp437", "25 \u00b0C, 5 \u00b5m"),
], ids=["utf-8", "1252", "437"])
def test_a_text_sent_in_its_character_set_arrives_exactly(us_or_german, line, tmp_path, charset, codec, text):
    open_serialkey(us_or_german, line, f"charset={charset}")
    receiver = Receiver(us_or_german, tmp_path / "receiver.log")

    line.send(text.encode(codec) + b"\r")

    wait_until(lambda: receiver.chars() == text + "\r", 30, "the text")
    wait_until(lambda: receiver.text() == text + "\r\n", 10, "the text in the edit control")


def test_a_utf8_text_arrives_exactly_in_notepad(us_or_german, line):
    open_serialkey(us_or_german, line, "charset=utf-8")
    notepad = Notepad(us_or_german)

    line.send(TEXT.encode())

    with contextlib.suppress(TimeoutError):
        wait_until(lambda: notepad.text() == TEXT, 60, "the whole text in Notepad")
    assert notepad.text() == TEXT


def test_malformed_utf8_shows_the_replacement_character_and_the_text_around_it_arrives(clean_wine, line, tmp_path):
    clean_wine.set_keyboard_layout("us")
    open_serialkey(clean_wine, line, "charset=utf-8")
    receiver = Receiver(clean_wine, tmp_path / "receiver.log")
    # A stray continuation byte, an overlong form, a sequence cut short, a surrogate, a byte no
    # character begins with.
    data = b"ab\x80cd\xc0\xafef\xf0\x9f\x98gh\xed\xa0\x80ij\xffkl\r"

    line.send(data)

    expected = data.decode("utf-8", errors="replace")  # Python replaces each maximal part, as browsers do
    assert expected.count("\ufffd") == 8
    wait_until(lambda: receiver.chars() == expected, 30, "the text")
