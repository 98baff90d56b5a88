"""Key strokes injected on Windows reach the focused window as the exact key messages."""

from win32 import VK_CONTROL as CTRL, VK_SHIFT as SHIFT
from winebed import as_received, type_bytes, wait_until


def test_text_and_control_codes_arrive_as_sent_key_messages(receiver):
    data = b"Hello, World!\r" + b"x\x08" + b"\t~{_}"
    events = type_bytes(receiver.wine, data)

    assert receiver.wait_for_key_messages(len(events)) == as_received(events)
    assert as_received(events)[:4] == [("KEYDOWN", SHIFT, 0x45, 0), ("KEYDOWN", ord("H"), 0x00, 1),
                                       ("KEYUP", ord("H"), 0x00, 1), ("KEYUP", SHIFT, 0x45, 0)]
    wait_until(lambda: receiver.text() == "Hello, World!\r\n\t~{_}", 10, "the typed text")
    assert receiver.chars() == "Hello, World!\rx\x08\t~{_}"


def test_ctrl_combinations_reach_the_window_with_ctrl_held(receiver):
    # LF is Ctrl+Enter, NUL is Shift+Ctrl+2 (Shift released before Ctrl), DEL is Ctrl+Backspace.
    events = type_bytes(receiver.wine, b"\x0a\x00\x7f")

    assert receiver.wait_for_key_messages(len(events)) == [
        ("KEYDOWN", CTRL, 0x45, 1), ("KEYDOWN", 0x0D, 0, 1), ("KEYUP", 0x0D, 0, 1), ("KEYUP", CTRL, 0x45, 1),
        ("KEYDOWN", SHIFT, 0x45, 0), ("KEYDOWN", CTRL, 0x45, 1), ("KEYDOWN", 0x32, 0, 1),
        ("KEYUP", 0x32, 0, 1), ("KEYUP", SHIFT, 0x45, 0), ("KEYUP", CTRL, 0x45, 1),
        ("KEYDOWN", CTRL, 0x45, 1), ("KEYDOWN", 0x08, 0, 1), ("KEYUP", 0x08, 0, 1), ("KEYUP", CTRL, 0x45, 1),
    ]
    assert receiver.chars().startswith("\x0a")


def test_bytes_above_0x7f_type_nothing(receiver):
    events = type_bytes(receiver.wine, bytes([0x80, 0xA9, 0xFF]) + b"z")

    assert receiver.wait_for_key_messages(2) == [("KEYDOWN", 0x5A, 0, 1), ("KEYUP", 0x5A, 0, 1)]
    assert len(events) == 2
    assert receiver.chars() == "z"
