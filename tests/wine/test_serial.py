"""End to end: bytes arriving on a COM port (a pseudo-terminal) are typed into the focused window."""

import os
import shutil
import subprocess
import termios
import time

import pytest

from win32 import VK_RETURN, VK_SHIFT
from winebed import CMSPAR, SerialKey, as_received, type_bytes, typing_into_receiver, wait_for_open, wait_until


def test_bytes_on_the_line_are_typed_as_their_key_strokes(clean_wine, line, tmp_path):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line, args=["/keys"])
    data = b"Hello, World!\r" + b"4006381333931\r"

    line.send(data)

    expected = as_received(type_bytes(clean_wine, data, inject=False))
    assert receiver.wait_for_key_messages(len(expected)) == expected
    wait_until(lambda: receiver.text() == "Hello, World!\r\n4006381333931\r\n", 10, "the typed text")


def test_every_7_bit_byte_value_arrives_as_its_row_prescribes(clean_wine, line, tmp_path):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line, args=["/keys"])
    data = bytes(range(0x80))

    line.send(data)

    expected = as_received(type_bytes(clean_wine, data, inject=False))
    assert receiver.wait_for_key_messages(len(expected), timeout=60) == expected


@pytest.mark.parametrize("args", [[], ["/keys"]])
def test_bytes_above_0x7f_type_nothing(clean_wine, line, tmp_path, args):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line, args=args)

    line.send(bytes(range(0x80, 0x100)) + b"z")

    assert receiver.wait_for_key_messages(2) == as_received(type_bytes(clean_wine, b"z", inject=False,
                                                                       characters=not args))
    assert receiver.chars() == "z"


def test_by_default_every_key_arrives_with_the_scan_code_of_the_receiving_layout(clean_wine, line, tmp_path):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line)
    data = bytes(range(0x80))

    line.send(data)

    expected = as_received(type_bytes(clean_wine, data, inject=False, characters=True))
    assert receiver.wait_for_key_messages(len(expected), timeout=60) == expected
    # Real scan codes: a capital's Shift is the left-hand one, Enter the main one, no key without a code.
    assert ("KEYDOWN", VK_SHIFT, 0x2A, 0) in expected and ("KEYDOWN", VK_RETURN, 0x1C, 0) in expected
    assert all(scan for _, _, scan, _ in expected)


def test_a_long_burst_is_typed_complete_and_in_order(clean_wine, line, tmp_path):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line)
    data = b"".join(b"%04d," % n for n in range(200))  # 1000 bytes at once

    line.send(data)

    wait_until(lambda: receiver.chars() == data.decode(), 60, "all 1000 characters")


# (list position, what the pty's termios shows). Wine has no termios speed for 14400
# and 56000 and sets 38400; 1.5 stop bits become CSTOPB, as 2 do.
BAUDS = [(0, termios.B300), (5, termios.B9600), (6, termios.B38400), (7, termios.B19200),
         (10, termios.B57600), (11, termios.B115200)]
PARITIES = [  # position: (PARODD, CMSPAR, INPCK)
    (0, (0, 0, 0)),  # NONE
    (1, (1, 0, 1)),  # ODD
    (2, (0, 0, 1)),  # EVEN
    (3, (1, 1, 1)),  # MARK
    (4, (0, 1, 1)),  # SPACE
]
STOP_BITS = [(0, 0), (1, 1), (2, 1)]


def settings_arrived(line, check):
    return wait_until(lambda: check(line.attributes()), 30, "the line settings")


@pytest.mark.parametrize("position,speed", BAUDS)
def test_chosen_baud_rate_reaches_the_device(clean_wine, line, position, speed):
    SerialKey(clean_wine).open(baud=position)
    settings_arrived(line, lambda attributes: attributes[4] == attributes[5] == speed)


@pytest.mark.parametrize("position,flags", PARITIES)
def test_chosen_parity_reaches_the_device(clean_wine, line, position, flags):
    def parity_flags(attributes):
        iflag, cflag = attributes[0], attributes[2]
        return (int(bool(cflag & termios.PARODD)), int(bool(cflag & CMSPAR)),
                int(bool(iflag & termios.INPCK)))

    SerialKey(clean_wine).open(parity=position, baud=11)  # the baud shows the settings were applied
    settings_arrived(line, lambda attributes: attributes[5] == termios.B115200)
    assert parity_flags(line.attributes()) == flags


@pytest.mark.parametrize("position,cstopb", STOP_BITS)
def test_chosen_stop_bits_reach_the_device(clean_wine, line, position, cstopb):
    SerialKey(clean_wine).open(stop_bits=position, baud=11)
    settings_arrived(line, lambda attributes: attributes[5] == termios.B115200)
    assert bool(line.attributes()[2] & termios.CSTOPB) == bool(cstopb)


@pytest.mark.parametrize("position,size", [(0, "CS7"), (1, "CS8")])
def test_chosen_data_bits_reach_the_device(clean_wine, line, tmp_path, position, size):
    # The pty driver forces CS8 on every change, so watch what the program asks for.
    program = SerialKey(clean_wine)
    trace = tmp_path / "ioctl.trace"
    strace = subprocess.Popen(["strace", "-f", "-v", "-e", "trace=ioctl", "-o", str(trace),
                               "-p", str(program.process.pid)], stderr=subprocess.DEVNULL)
    try:
        wait_until(lambda: trace.exists(), 10, "strace to attach")
        time.sleep(0.5)  # strace writes nothing until it has attached to every thread
        program.open(data_bits=position)
        wait_until(lambda: "TCSETS" in trace.read_text() and f"|{size}|" in trace.read_text(), 30,
                   f"a TCSETS with {size}")
    finally:
        strace.terminate()
        strace.wait(timeout=10)


def test_open_of_a_missing_port_shows_the_failure_message(clean_wine, tmp_path):
    # The caption follows the executable's name.
    renamed = tmp_path / "Barcode Wedge.exe"
    shutil.copy(SerialKey.EXE, renamed)
    program = SerialKey(clean_wine, exe=renamed)

    program.open(port=8)  # COM9 is mapped to nothing in a fresh prefix

    box = program.message_box()
    del box["hwnd"]
    assert box == {"caption": "Barcode Wedge", "text": "Serial Port is unavaible!", "icon": "hand",
                   "buttons": ["OK"]}


def test_a_port_that_refuses_its_settings_is_not_used_and_the_message_gives_the_systems_reason(clean_wine, line):
    program = SerialKey(clean_wine)

    program.open(data_bits=-1)  # no selection: the port is asked for a byte size it cannot have

    box = program.message_box()
    assert (box["caption"], box["icon"], box["buttons"]) == ("SerialKey", "hand", ["OK"])
    text = program.probe("messagebox").stdout
    assert "The serial port COM1 could not be set up with these settings:" in text
    assert "Request not supported. (error 50)" in text  # Wine's words for a byte size of 255
    program.dismiss_message_box()
    assert not line.holders()


def test_a_second_open_switches_ports_and_the_same_reader_types(clean_wine, two_lines, tmp_path):
    first, second = two_lines
    program, receiver = typing_into_receiver(clean_wine, tmp_path, first)
    threads = len(os.listdir(f"/proc/{program.process.pid}/task"))
    first.send(b"one\r")
    wait_until(lambda: receiver.chars() == "one\r", 30, "the first port's bytes")

    program.open(port=1)
    wait_for_open(second)
    second.send(b"two\r")
    wait_until(lambda: receiver.chars() == "one\rtwo\r", 30, "the second port's bytes")
    first.send(b"old\r")
    time.sleep(1)  # long enough for a reader of the old port to have typed it
    assert receiver.chars() == "one\rtwo\r"
    assert len(os.listdir(f"/proc/{program.process.pid}/task")) == threads


def test_a_vanished_device_does_not_end_the_program_and_a_later_open_recovers(
        clean_wine, two_lines, tmp_path):
    first, second = two_lines
    program, receiver = typing_into_receiver(clean_wine, tmp_path, first)
    first.send(b"a")
    wait_until(lambda: receiver.chars() == "a", 30, "the first byte")

    first.hang_up()
    time.sleep(2)  # a few read cycles on the dead port
    assert program.process.poll() is None
    assert program.answers(), "the window no longer answers"

    program.open(port=1)
    wait_for_open(second)
    second.send(b"b")
    wait_until(lambda: receiver.chars() == "ab", 30, "bytes from the new port")
