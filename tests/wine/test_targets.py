"""Received bytes wait while the window in front cannot take key strokes (the program's own window,
no window at all, a modifier key that the user holds) and arrive once it can; the icon's tip says
why. Reading goes on meanwhile: however long the wait, nothing is lost."""

import random
import time

from streams import PacedWriter, line_rate, numbered_text
from win32 import VK_CONTROL, WM_LBUTTONDOWN
from winebed import typing_into_receiver, wait_until

# The receiver's WM_APP + 1: it gives up being active, and no window is in front afterwards.
LET_GO_OF_FOCUS = 0x8001
LETTERS = b"qwertyuiopasdfghjklzxcvbnm"


def test_letters_wait_while_the_user_holds_ctrl_and_then_arrive_without_it(clean_wine, line, tmp_path):
    _, receiver = typing_into_receiver(clean_wine, tmp_path, line, stream=True)
    assert clean_wine.probe("key", VK_CONTROL, "down").returncode == 0
    try:
        line.send(LETTERS)  # each one a shortcut with Ctrl: Ctrl+W closes many windows
        wait_until(lambda: line.unread() == 0, 30, "the program to read the bytes")
        time.sleep(1)  # many times as long as the program takes to type what it has read
        assert receiver.chars() == ""
    finally:
        assert clean_wine.probe("key", VK_CONTROL, "up").returncode == 0

    receiver.settle(3, expected=len(LETTERS))
    assert receiver.chars() == LETTERS.decode()
    messages = receiver.key_messages()
    ctrl_up = messages.index(("KEYUP", VK_CONTROL, 0x1D, 0))
    assert all(vk != VK_CONTROL for _, vk, _, _ in messages[ctrl_up + 1:])
    assert all(vk == VK_CONTROL for _, vk, _, _ in messages[:ctrl_up + 1])


def test_bytes_wait_while_no_window_is_in_front_the_tip_says_why_and_they_arrive_once_one_is(
        clean_wine, line, tmp_path):
    program, receiver = typing_into_receiver(clean_wine, tmp_path, line)
    assert clean_wine.probe("post", "Receiver", LET_GO_OF_FOCUS, 0, 0).returncode == 0
    wait_until(lambda: clean_wine.probe("foreground").stdout.strip() == "none", 10, "no window in front")

    line.send(b"held")

    wait_until(lambda: program.tip() == "Serial to Keyboard \u2013 waiting: no window has the focus", 30,
               "the tip to say why the typing waits")
    assert receiver.chars() == ""
    assert clean_wine.probe("show", "Receiver").returncode == 0
    wait_until(lambda: receiver.chars() == "held", 10, "the held bytes")
    assert program.tip() == "Serial to Keyboard"


def test_a_minute_held_for_the_settings_window_keeps_the_line_drained_and_loses_nothing(clean_wine, line, tmp_path):
    program, receiver = typing_into_receiver(clean_wine, tmp_path, line, stream=True)
    program.notify(WM_LBUTTONDOWN)  # the settings window comes to the front: the typing waits
    wait_until(lambda: program.window().get("foreground") == "1", 30, "the settings window in front")
    # A scale in continuous mode: a minute at 9600 baud, fourteen times what many drivers hold.
    text = numbered_text(random.Random(60), int(line_rate(9600) * 60))

    writer = PacedWriter(line, 9600).start(text.encode())
    writer.wait(90)

    assert writer.longest_write < 0.5, "the program stopped reading while the typing waited"
    assert receiver.chars() == ""
    assert clean_wine.probe("show", "Receiver").returncode == 0
    receiver.settle(quiet_seconds=5, expected=len(text), timeout=300)
    assert receiver.chars() == text
