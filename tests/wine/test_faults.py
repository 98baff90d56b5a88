"""End to end, under faults and stress: a device that vanishes, Open pressed again and again
while data streams, a burst far larger than any buffer, and random bytes at full speed."""

import random
import time

import pytest

from streams import (SPINNING_SHARE_OF_A_CORE, PacedWriter, compare_lines, is_subsequence, numbered_text,
                     share_of_a_core)
from winebed import Pty, as_received, type_bytes, typing_into_receiver, wait_for_open, wait_until


@pytest.fixture
def rng():
    return random.Random(6)


def test_a_device_that_vanishes_mid_stream_and_comes_back_types_again_after_open(clean_wine, tmp_path, rng):
    # COM1 names a link, as a device node that comes and goes with the device.
    device, first = tmp_path / "ttyUSB0", Pty()
    device.symlink_to(first.path)
    clean_wine.set_port("COM1", device)
    program, receiver = typing_into_receiver(clean_wine, tmp_path, first, stream=True)
    text = numbered_text(rng, 4000)
    writer = PacedWriter(first, 9600).start(text.encode())
    wait_until(lambda: len(receiver.typed()) > 200, 30, "the stream to be typed")

    writer.stop()
    first.hang_up()
    device.unlink()
    time.sleep(2)  # several read cycles on the dead port
    assert program.answers()

    second = Pty()
    device.symlink_to(second.path)
    program.open()
    wait_for_open(second)
    second.send(b"back\r")
    wait_until(lambda: receiver.chars().endswith("back\r"), 30, "the bytes after the new Open")
    assert text.startswith(receiver.chars()[:-len("back\r")])
    assert share_of_a_core(program.process.pid, 2) < SPINNING_SHARE_OF_A_CORE
    assert program.answers()
    first.close()
    second.close()


def test_open_pressed_again_and_again_while_data_streams_types_no_byte_twice_or_out_of_order(
        clean_wine, line, tmp_path, rng):
    program, receiver = typing_into_receiver(clean_wine, tmp_path, line, stream=True)
    text = numbered_text(rng, 9600)  # ten seconds at 9600 baud
    writer = PacedWriter(line, 9600).start(text.encode())
    wait_until(lambda: receiver.typed(), 30, "the stream to be typed")

    program.press_open(30)
    after_last_open = writer.written

    writer.wait(30)
    receiver.settle(quiet_seconds=2)
    typed = receiver.chars()
    assert is_subsequence(typed, text)
    _, duplicated, out_of_order = compare_lines(text, typed)
    assert (duplicated, out_of_order) == (0, 0)
    assert typed.endswith(text[after_last_open:]), "bytes sent after the last Open are missing"
    assert program.answers()


def test_a_64_kib_burst_is_typed_complete_and_in_order(clean_wine, line, tmp_path, rng):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line, stream=True)
    text = numbered_text(rng, 64 * 1024)[:64 * 1024]

    PacedWriter(line).start(text.encode()).wait(120)

    receiver.settle(quiet_seconds=5, expected=len(text))
    assert receiver.chars() == text


def test_random_bytes_at_full_speed_type_exactly_their_7_bit_bytes(clean_wine, line, tmp_path, rng):
    program, receiver = typing_into_receiver(clean_wine, tmp_path, line, stream=True, args=["/keys"])
    data = bytes(range(256)) + rng.randbytes(3840)
    expected = as_received(type_bytes(clean_wine, bytes(byte for byte in data if byte < 0x80), inject=False))
    end = as_received(type_bytes(clean_wine, b"z", inject=False))

    line.send(data + b"z")  # z: the last key, so that nothing typed after it is missed

    assert receiver.wait_for_key_messages(len(expected + end), timeout=120) == expected + end
    assert program.answers()
