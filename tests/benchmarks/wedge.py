"""Measures the program end to end as a user's device sees it: a serial line paced at its
baud rate on one side, a focused window taking the keys on the other.

    wedge.py run [--exe SerialKey.exe] [--label NAME] [--json FILE] [--quick] [--layout de]
    wedge.py compare FILE [FILE ...]

run measures the build that SERIALKEY_BUILD_DIR names, prints one table and can keep the
figures as JSON; compare prints the tables of several runs side by side (the other
architecture, another build, another platform). Everything that depends on the platform is
in a rig: WineRig runs the Windows build under Wine, with COM1 on a pseudo-terminal. A rig
for another platform needs the same few members.

How fast keys can arrive at all depends on the host: Wine's keyboard path makes many server
round trips. So each run also measures a ceiling, a plain injector typing the same text at the
fastest line's rate, and rates the program against the lower of the line rate and that ceiling.
"""

import argparse
import json
import os
import pathlib
import random
import statistics
import subprocess
import sys
import tempfile
import termios
import threading
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "wine"))
from streams import PacedWriter, compare_lines, line_rate, numbered_text, share_of_a_core  # noqa: E402
from winebed import (SEND_KEYS, SERIALKEY, Pty, Receiver, SerialKey, architecture, tool, wait_for_open,  # noqa: E402
                     wait_until, wine_session, winpath)

THROUGHPUT_BAUDS = (9600, 115200)
UTF8_WORDS = ["Gr\u00fc\u00dfe", "caf\u00e9", "na\u00efve", "\u2013", "25 \u00b0C", "5 \u00b5m", "\u00b1 0.1",
              "\u03a9mega", "\U0001f600", "M\u00fcller", "\u5317\u4eac", "4006381333931", "+0012.50kg"]
LATENCY_BAUD = 9600
BURSTS = 200
IDLE_SECONDS = 30
STREAM_SECONDS = 30


class WineRig:
    """The Windows build under Wine: COM1 on a pseudo-terminal behind a link, the receiver window in front."""

    BAUD_POSITIONS = {9600: 5, 115200: 11}
    TERMIOS_SPEEDS = {9600: termios.B9600, 115200: termios.B115200}

    def __init__(self, wine, exe):
        self.wine = wine
        self.exe = pathlib.Path(exe)
        self.platform = "Wine " + subprocess.run([wine.loader, "--version"], capture_output=True,
                                                 text=True).stdout.strip().removeprefix("wine-")

    def start(self, *args):
        """Starts the program, with args, and COM1 on a fresh simulated line; returns the line."""
        self.line = Pty()
        # COM1 names a link, as a device node that goes with its device.
        self.device = self.wine.workdir / "ttyUSB0"
        self.device.unlink(missing_ok=True)
        self.device.symlink_to(self.line.path)
        self.wine.set_port("COM1", self.device)
        self.program = SerialKey(self.wine, *args, exe=self.exe)
        return self.line

    def pid(self):
        return self.program.process.pid

    def open(self, baud):
        """Presses Open for COM1 at baud and waits until the port is configured."""
        self.program.open(baud=self.BAUD_POSITIONS[baud])
        wait_for_open(self.line, self.TERMIOS_SPEEDS[baud])

    def open_missing_port(self):
        """Presses Open for a port that does not exist, and dismisses the failure message."""
        self.program.open(port=8)  # COM9: mapped to nothing
        self.program.message_box()
        self.program.dismiss_message_box()

    def vanish_device(self):
        """The open port's device goes away; returns once the program has closed the port and waits."""
        self.line.hang_up()
        self.device.unlink()
        wait_until(lambda: not port_holders(self.line), 30, "the program to close the port")

    def receiver(self):
        return Receiver(self.wine, self.wine.workdir / f"receiver-{time.monotonic_ns()}.log", stream=True)

    def inject(self, text, bytes_per_second):
        """Types text into a receiver with a plain injector at most at the given rate, no serial
        line involved; returns the receiver."""
        source = self.wine.workdir / "injected.txt"
        source.write_bytes(text.encode())
        receiver = self.receiver()
        self.wine.start(SEND_KEYS, "--file", winpath(source), bytes_per_second)
        return receiver

    def stripped_size(self):
        with tempfile.TemporaryDirectory() as scratch:
            stripped = pathlib.Path(scratch) / self.exe.name
            subprocess.run([tool("strip"), "-o", str(stripped), str(self.exe)], check=True)
            return stripped.stat().st_size

    def stop(self):
        self.wine.stop_all()
        self.line.close()


def port_holders(line):
    """The processes, other than this one, that have the line's device open, also once it has hung up
    (its node is gone then)."""
    names = (line.path, line.path + " (deleted)")
    found = set()
    for fd_dir in pathlib.Path("/proc").glob("[0-9]*/fd"):
        if int(fd_dir.parent.name) == os.getpid():
            continue
        try:
            if any(os.readlink(fd) in names for fd in fd_dir.iterdir()):
                found.add(int(fd_dir.parent.name))
        except OSError:
            pass
    return found


def private_kib(pid):
    """Memory that only this process uses, resident, in KiB."""
    sizes = dict(line.split(":") for line in pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:])
    return sum(int(sizes[field].split()[0]) for field in ("Private_Clean", "Private_Dirty"))


def measure_throughput(rig, baud, seconds, rng, words=None, charset=None):
    """Typed text against the line, in bytes and in characters: in a charset beyond ASCII a character
    may take more than one byte on the line."""
    line = rig.start(*([f"charset={charset}"] if charset else []))
    try:
        rig.open(baud)
        receiver = rig.receiver()
        encoding = charset or "ascii"
        text = numbered_text(rng, int(line_rate(baud) * seconds), words)
        data = text.encode(encoding)
        started = time.time()
        PacedWriter(line, baud).write(data)
        receiver.settle(quiet_seconds=5, expected=len(text.encode("utf-16-le")) // 2, timeout=10 * seconds)
        chars = receiver.chars()
        typed = receiver.typed()
        lost, duplicated, out_of_order = compare_lines(text, chars)
        elapsed = (typed[-1][1] if typed else time.time()) - started
        typed_bytes = len(chars.encode(encoding))
        return {"line_rate": line_rate(baud), "sent": len(data), "typed": typed_bytes, "seconds": elapsed,
                "ratio": typed_bytes / elapsed / line_rate(baud), "chars_per_second": len(chars) / elapsed,
                "line_chars_per_second": line_rate(baud) * len(text) / len(data), "lost": lost,
                "duplicated": duplicated, "out_of_order": out_of_order, "exact": chars == text}
    finally:
        rig.stop()


def measure_ceiling(rig, seconds, rng):
    """Characters per second that the platform takes from a plain injector given the text of the
    fastest throughput run at that line's rate, from the first character to the last: the most
    that any program could type here."""
    fastest = max(THROUGHPUT_BAUDS)
    text = numbered_text(rng, int(line_rate(fastest) * seconds))
    try:
        receiver = rig.inject(text, line_rate(fastest))
        typed = receiver.settle(quiet_seconds=5, expected=len(text), timeout=20 * seconds)
        return {"typed": len(typed), "per_second": (len(typed) - 1) / (typed[-1][1] - typed[0][1]),
                "exact": receiver.chars() == text}
    finally:
        rig.wine.stop_all()


def measure_split(rig, seconds, rng):
    """Where the time of the fastest run goes, in two halves that run one after the other: the
    stream arrives while the settings window is in front, so that everything is held, and the
    reader's processor time is taken; then the receiver comes to the front and the held text is
    typed with no reading beside it, rated from the first character to the last as the ceiling is."""
    fastest = max(THROUGHPUT_BAUDS)
    line = rig.start()
    try:
        rig.open(fastest)
        rig.program.probe("show")
        wait_until(lambda: rig.program.window().get("foreground") == "1", 30, "the settings window in front")
        text = numbered_text(rng, int(line_rate(fastest) * seconds))
        writer = threading.Thread(target=PacedWriter(line, fastest).write, args=(text.encode(),))
        writer.start()
        reading = share_of_a_core(rig.pid(), seconds / 2)
        writer.join()
        receiver = rig.receiver()
        typed = receiver.settle(quiet_seconds=5, expected=len(text), timeout=20 * seconds)
        return {"reading_percent": 100 * reading,
                "typing_per_second": (len(typed) - 1) / (typed[-1][1] - typed[0][1]),
                "exact": receiver.chars() == text}
    finally:
        rig.stop()


def measure_latency(rig, bursts, rng):
    line = rig.start()
    try:
        rig.open(LATENCY_BAUD)
        receiver = rig.receiver()
        writer, latencies, sent = PacedWriter(line, LATENCY_BAUD), [], ""
        for _ in range(bursts):
            time.sleep(rng.uniform(0.05, 0.6))  # anywhere in the reader's cycle
            scan = "".join(rng.choice("0123456789") for _ in range(13)) + "\r"
            last_written = writer.write(scan.encode())
            sent += scan
            typed = wait_until(lambda: len(receiver.typed()) >= len(sent) and receiver.typed(), 10, "the burst")
            latencies.append(typed[len(sent) - 1][1] - last_written)
        latencies.sort()
        return {"bursts": bursts, "median_ms": 1000 * statistics.median(latencies),
                "p95_ms": 1000 * latencies[int(0.95 * (len(latencies) - 1))], "max_ms": 1000 * latencies[-1],
                "exact": receiver.chars() == sent}
    finally:
        rig.stop()


def measure_idle(rig, seconds):
    """Processor time of the program's process while nothing arrives, in % of one core."""
    def busy(pid):
        return 100 * share_of_a_core(pid, seconds)

    rig.start()
    try:
        pid = rig.pid()
        memory = private_kib(pid)
        result = {"before_open": busy(pid)}
        rig.open(9600)
        result["port_open"] = busy(pid)
        rig.vanish_device()
        result["waiting_for_device"] = busy(pid)
        rig.open_missing_port()
        result["after_failed_open"] = busy(pid)
        return result, memory
    finally:
        rig.stop()


def run(rig, label, quick):
    rng = random.Random(20261210)
    stream_seconds, bursts, idle_seconds = (5, 20, 5) if quick else (STREAM_SECONDS, BURSTS, IDLE_SECONDS)
    result = {"label": label, "platform": rig.platform, "stream_seconds": stream_seconds,
              "idle_seconds": idle_seconds}
    result["ceiling"] = measure_ceiling(rig, stream_seconds, rng)
    result["throughput"] = {str(baud): measure_throughput(rig, baud, stream_seconds, rng)
                            for baud in THROUGHPUT_BAUDS}
    # The same at the fastest rate in UTF-8: names and units from 2D codes and scales.
    result["throughput"]["utf-8"] = measure_throughput(rig, max(THROUGHPUT_BAUDS), stream_seconds, rng, UTF8_WORDS,
                                                       "utf-8")
    for throughput in result["throughput"].values():
        attainable = min(throughput["line_chars_per_second"], result["ceiling"]["per_second"])
        throughput["ratio_to_attainable"] = throughput["chars_per_second"] / attainable
    result["split"] = measure_split(rig, stream_seconds, rng)
    result["split"]["typing_to_ceiling"] = result["split"]["typing_per_second"] / result["ceiling"]["per_second"]
    result["latency"] = measure_latency(rig, bursts, rng)
    result["idle"], private = measure_idle(rig, idle_seconds)
    result["size"] = {"stripped_bytes": rig.stripped_size(), "private_kib": private}
    return result


def yes_no(flag):
    return "yes" if flag else "NO"


ROWS = [  # (heading, how to read the figure from a result)
    ("ceiling: plain injector, chars/s", lambda r: f"{r['ceiling']['per_second']:.0f}"),
    ("  typed text identical to sent", lambda r: yes_no(r["ceiling"]["exact"])),
    *[row for run, heading in [(str(b), f"{b} 8N1") for b in THROUGHPUT_BAUDS] +
      [("utf-8", f"{max(THROUGHPUT_BAUDS)} 8N1, UTF-8 text")] for row in [
        (f"throughput {heading}: line rate, B/s", lambda r, k=run: f"{r['throughput'][k]['line_rate']:.0f}"),
        ("  bytes sent / typed", lambda r, k=run: "{sent} / {typed}".format(**r["throughput"][k])),
        ("  typed / line rate", lambda r, k=run: f"{r['throughput'][k]['ratio']:.3f}"),
        ("  characters typed per second", lambda r, k=run: f"{r['throughput'][k]['chars_per_second']:.0f}"),
        ("  typed / min(line rate, ceiling)", lambda r, k=run: f"{r['throughput'][k]['ratio_to_attainable']:.3f}"),
        ("  lost / duplicated / out of order",
         lambda r, k=run: "{lost} / {duplicated} / {out_of_order}".format(**r["throughput"][k])),
        ("  typed text identical to sent", lambda r, k=run: yes_no(r["throughput"][k]["exact"])),
    ]],
    (f"{max(THROUGHPUT_BAUDS)} 8N1, held then typed: reading, % of a core",
     lambda r: f"{r['split']['reading_percent']:.1f}"),
    ("  typing alone, chars/s", lambda r: f"{r['split']['typing_per_second']:.0f}"),
    ("  typing alone / ceiling", lambda r: f"{r['split']['typing_to_ceiling']:.3f}"),
    ("  typed text identical to sent", lambda r: yes_no(r["split"]["exact"])),
    (f"latency {LATENCY_BAUD} 8N1, bursts", lambda r: f"{r['latency']['bursts']}"),
    ("  median / p95 / max, ms",
     lambda r: "{median_ms:.0f} / {p95_ms:.0f} / {max_ms:.0f}".format(**r["latency"])),
    ("  typed text identical to sent", lambda r: yes_no(r["latency"]["exact"])),
    ("idle CPU, % of a core: before Open", lambda r: f"{r['idle']['before_open']:.2f}"),
    ("  port open, nothing arriving", lambda r: f"{r['idle']['port_open']:.2f}"),
    ("  waiting for a vanished device", lambda r: f"{r['idle']['waiting_for_device']:.2f}"),
    ("  after a failed Open", lambda r: f"{r['idle']['after_failed_open']:.2f}"),
    ("stripped executable, bytes", lambda r: f"{r['size']['stripped_bytes']}"),
    ("private memory after start, KiB", lambda r: f"{r['size']['private_kib']}"),
]


def cell(read, result):
    """A figure of a result, or "-" where the run that made it did not measure it."""
    try:
        return read(result)
    except KeyError:
        return "-"


def table(results):
    headings = [f"{r['label']} ({r['platform']}, {r['cores']} core{'s' if r['cores'] > 1 else ''})"
                for r in results]
    cells = [[cell(read, r) for r in results] for _, read in ROWS]
    first = max(len(name) for name, _ in ROWS)
    widths = [max(len(headings[i]), *(len(row[i]) for row in cells)) for i in range(len(results))]
    lines = ["".ljust(first) + "".join(f"  {h:>{w}}" for h, w in zip(headings, widths))]
    for (name, _), row in zip(ROWS, cells):
        lines.append(name.ljust(first) + "".join(f"  {c:>{w}}" for c, w in zip(row, widths)))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    run_command = commands.add_parser("run", help="measure one build")
    run_command.add_argument("--exe", default=SERIALKEY, help="the executable to measure")
    run_command.add_argument("--label", help="the column's name in the table (default: SerialKey and the "
                                             "executable's architecture)")
    run_command.add_argument("--json", type=pathlib.Path, help="also keep the figures in this file")
    run_command.add_argument("--quick", action="store_true", help="short runs, to try the harness out")
    run_command.add_argument("--cores", type=int, default=1,
                             help="processors for the run, Wine's server and windows included (default 1: "
                                  "Wine's keyboard input crosses between processors several times slower)")
    run_command.add_argument("--layout", help="the receiving keyboard layout, an X layout name (gb, de, fr); "
                                              "runs on TigerVNC's X server (default: US on Xvfb)")
    compare_command = commands.add_parser("compare", help="print the tables of earlier runs side by side")
    compare_command.add_argument("files", nargs="+", type=pathlib.Path)
    args = parser.parse_args()

    if args.command == "compare":
        print(table([json.loads(file.read_text()) for file in args.files]))
        return 0
    os.sched_setaffinity(0, sorted(os.sched_getaffinity(0))[:args.cores])  # inherited by all that starts
    with wine_session(keyboard_layouts=bool(args.layout)) as wine:
        if args.layout:
            wine.set_keyboard_layout(args.layout)
        label = args.label or f"SerialKey {architecture(args.exe)}" + (f", {args.layout} layout" if args.layout else "")
        result = run(WineRig(wine, args.exe), label, args.quick)
    result["cores"] = args.cores
    if args.json:
        args.json.write_text(json.dumps(result, indent=2) + "\n")
    print(table([result]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
