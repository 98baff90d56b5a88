"""Key strokes injected on Windows reach the focused window as the exact key messages."""

from winebed import BUILD_DIR, wait_until

SEND_KEYS = BUILD_DIR / "tests/wine/SendKeys.exe"
SHIFT, CTRL = 0x10, 0x11


def send(wine, data):
    """Types data with SendBytesAsKeys and returns the events it injected, (vk, scan, flags, extra)."""
    result = wine.run(SEND_KEYS, data.hex())
    assert result.returncode == 0, result.stderr
    return [tuple(int(value, 16) for value in line.split()) for line in result.stdout.splitlines()]


def as_received(events):
    """The key messages that the events should produce. Wine does not carry the extended
    flag on Shift events (it reads 0 there); everything else arrives as sent."""
    return [("KEYUP" if flags & 2 else "KEYDOWN", vk, scan, 0 if vk == SHIFT else flags & 1)
            for vk, scan, flags, _ in events]


def received_after(receiver, count):
    return wait_until(lambda: len(receiver.key_messages()) >= count and receiver.key_messages(), 30,
                      f"{count} key messages")


def test_text_and_control_codes_arrive_as_sent_key_messages(receiver):
    data = b"Hello, World!\r" + b"x\x08" + b"\t~{_}"
    events = send(receiver.wine, data)

    assert received_after(receiver, len(events)) == as_received(events)
    assert as_received(events)[:4] == [("KEYDOWN", SHIFT, 0x45, 0), ("KEYDOWN", ord("H"), 0x00, 1),
                                       ("KEYUP", ord("H"), 0x00, 1), ("KEYUP", SHIFT, 0x45, 0)]
    wait_until(lambda: receiver.text() == "Hello, World!\r\n\t~{_}", 10, "the typed text")
    assert receiver.chars() == "Hello, World!\rx\x08\t~{_}"


def test_ctrl_combinations_reach_the_window_with_ctrl_held(receiver):
    # LF is Ctrl+Enter, NUL is Shift+Ctrl+2 (Shift released before Ctrl), DEL is Ctrl+Backspace.
    events = send(receiver.wine, b"\x0a\x00\x7f")

    assert received_after(receiver, len(events)) == [
        ("KEYDOWN", CTRL, 0x45, 1), ("KEYDOWN", 0x0D, 0, 1), ("KEYUP", 0x0D, 0, 1), ("KEYUP", CTRL, 0x45, 1),
        ("KEYDOWN", SHIFT, 0x45, 0), ("KEYDOWN", CTRL, 0x45, 1), ("KEYDOWN", 0x32, 0, 1),
        ("KEYUP", 0x32, 0, 1), ("KEYUP", SHIFT, 0x45, 0), ("KEYUP", CTRL, 0x45, 1),
        ("KEYDOWN", CTRL, 0x45, 1), ("KEYDOWN", 0x08, 0, 1), ("KEYUP", 0x08, 0, 1), ("KEYUP", CTRL, 0x45, 1),
    ]
    assert receiver.chars().startswith("\x0a")


def test_bytes_above_0x7f_type_nothing(receiver):
    events = send(receiver.wine, bytes([0x80, 0xA9, 0xFF]) + b"z")

    assert received_after(receiver, 2) == [("KEYDOWN", 0x5A, 0, 1), ("KEYUP", 0x5A, 0, 1)]
    assert len(events) == 2
    assert receiver.chars() == "z"
