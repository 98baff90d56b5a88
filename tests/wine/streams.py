"""What a device sends, and how what was typed is checked against it: paced writing to a
line, numbered text whose lines show where a byte went, and the comparisons."""

import os
import pathlib
import threading
import time

CLOCK_TICK = os.sysconf("SC_CLK_TCK")
WORDS = ["Serial", "to", "keyboard", "WEDGE", "4006381333931", "+0012.50kg", "{ok}", "a|b", "~x_y", "Lorem",
         "ipsum", "dolor", "$42.00", "#7", "(n=3)", "\"q\"", "<tag>", "50%", "a&b", "`c'"]


def line_rate(baud):
    """Bytes per second on a line with 8 data bits, no parity and 1 stop bit: ten bits a byte."""
    return baud / 10


def numbered_text(rng, length, words=None):
    """At least length characters of numbered lines of mixed printable text (of words, if given),
    each ended by CR, so that a lost, repeated or misplaced piece shows which line it hit."""
    lines, size = [], 0
    while size < length:
        line = f"{len(lines):07d} " + " ".join(rng.choice(words or WORDS) for _ in range(rng.randint(1, 8))) + "\r"
        lines.append(line)
        size += len(line)
    return "".join(lines)


def is_subsequence(typed, sent):
    """Every typed character was sent, in order, and none was typed twice."""
    remaining = iter(sent)
    return all(char in remaining for char in typed)


def compare_lines(sent, typed):
    """(lost, duplicated, out of order) in bytes, counted by line: a sent line that was not
    typed intact counts as lost, one typed more than once as duplicated."""
    sent_lines, typed_lines = sent.split("\r"), typed.split("\r")
    # No sent line is empty: an empty one typed is a line whose body Open dropped.
    position = {line: index for index, line in enumerate(sent_lines) if line}
    seen, duplicated, out_of_order, last = set(), 0, 0, -1
    for line in typed_lines:
        if line not in position:
            continue
        if line in seen:
            duplicated += len(line) + 1
            continue
        seen.add(line)
        if position[line] < last:
            out_of_order += len(line) + 1
        last = max(last, position[line])
    lost = sum(len(line) + 1 for line in sent_lines if line and line not in seen)
    return lost, duplicated, out_of_order


def processor_seconds(pid):
    """Processor time, user and system, of every thread of a process so far."""
    fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICK


# A process that spins keeps a core busy; an idle one uses next to nothing of it.
SPINNING_SHARE_OF_A_CORE = 0.1


def share_of_a_core(pid, seconds):
    """The part of one processor that a process uses over the next seconds: 1.0 for a spinning thread."""
    before = processor_seconds(pid)
    time.sleep(seconds)
    return (processor_seconds(pid) - before) / seconds


class PacedWriter:
    """Writes to a line no faster than its baud rate allows, as a device's UART would;
    with no baud, as fast as the line takes it."""

    def __init__(self, line, baud=None):
        self.line, self.rate = line, baud and line_rate(baud)
        self.written = 0
        # The longest that one write waited for the line to take it, in seconds: a line whose
        # reader has stopped reading fills up, and then every write waits.
        self.longest_write = 0.0
        self._stop = threading.Event()
        self._thread = None

    def write(self, data, step_seconds=0.005):
        """Writes data; returns the time (time.time()) at which its last byte was written."""
        start, self.written = time.monotonic(), 0
        while self.written < len(data) and not self._stop.is_set():
            due = len(data) if not self.rate else min(len(data), int((time.monotonic() - start) * self.rate) + 1)
            if due > self.written:
                began = time.monotonic()
                self.written += os.write(self.line.master, data[self.written:due])
                self.longest_write = max(self.longest_write, time.monotonic() - began)
            if self.written < len(data):
                time.sleep(step_seconds)
        return time.time()

    def start(self, data):
        """Writes data in the background."""
        self._thread = threading.Thread(target=self.write, args=(data,), daemon=True)
        self._thread.start()
        return self

    def wait(self, timeout):
        self._thread.join(timeout)
        assert not self._thread.is_alive(), f"the line did not take all bytes within {timeout} s"

    def stop(self):
        self._stop.set()
        self._thread.join(10)
