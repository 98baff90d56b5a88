"""Wine test bed: a private X display (Xvfb, or TigerVNC's X server where a test switches
keyboard layouts), a private Wine prefix with a virtual desktop, and helpers to start Windows
programs in it and wait for what they do. Used by the end-to-end tests and by the demo."""

import array
import contextlib
import fcntl
import os
import pathlib
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import termios
import time
import tty
import types
import warnings

from win32 import IDCANCEL, VK_SHIFT, WM_NULL

BUILD_DIR = pathlib.Path(os.environ.get("SERIALKEY_BUILD_DIR", "build/windows-x64")).resolve()
HERE = pathlib.Path(__file__).resolve().parent
SOURCE_DIR = HERE.parent.parent
DESKTOP_WIDTH, DESKTOP_HEIGHT, TASKBAR_HEIGHT = 1024, 768, 20
SEND_KEYS = BUILD_DIR / "tests/wine/SendKeys.exe"
PROBE = BUILD_DIR / "tests/wine/WinProbe.exe"
SERIALKEY = BUILD_DIR / "app/SerialKey.exe"
WINE_FONTS = pathlib.Path("/usr/share/wine/fonts")
# Where serial drivers list the ports of the devices present, as Windows has it.
DEVICE_MAP = r"HKLM\HARDWARE\DEVICEMAP\SERIALCOMM"
CMSPAR = 0o10000000000  # mark or space parity in termios; Python's termios does not name it


def read_defines(header):
    """The names and numbers of a C header's "#define NAME NUMBER" lines."""
    return {name: int(value, 0) for name, value in
            re.findall(r"^#define\s+(\w+)\s+((?:0x)?[0-9A-Fa-f]+)\s*$", header.read_text(), re.MULTILINE)}


# The program's resource identifiers (RESOURCE.IDC_OPEN and so on), as the program and its resource
# script have them.
RESOURCE = types.SimpleNamespace(**read_defines(SOURCE_DIR / "res/resource.h"))
# The message that the notification-area icon sends the settings window, and the icon's id: the
# same number, but two things.
WM_TRAYNOTIFY = 0x8065
TRAY_ICON_ID = 0x8065

# Per architecture: the PE machine and optional-header magic, the Wine loader and prefix kind
# that run it, the MinGW-w64 triple whose tools read it, and its name in a manifest. Debian's
# `wine` wrapper would pick the 32-bit loader for every program, and that one cannot start
# where the host has no 32-bit support.
ARCHITECTURES = {
    "x86": {"machine": 0x014C, "magic": 0x10B, "loader": "/usr/lib/wine/wine", "prefix": "win32",
            "triple": "i686-w64-mingw32", "manifest": "x86"},
    "x64": {"machine": 0x8664, "magic": 0x20B, "loader": "/usr/lib/wine/wine64", "prefix": "win64",
            "triple": "x86_64-w64-mingw32", "manifest": "amd64"},
}


def pe_header(exe):
    """(machine, optional-header magic, subsystem) of a Windows program."""
    with open(exe, "rb") as file:
        data = file.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", f"{exe} is not a PE file"
    optional = pe + 24
    return (struct.unpack_from("<H", data, pe + 4)[0], struct.unpack_from("<H", data, optional)[0],
            struct.unpack_from("<H", data, optional + 68)[0])


def architecture(exe=SERIALKEY):
    """"x86" or "x64", from the machine field of a Windows program's PE header."""
    machine = pe_header(exe)[0]
    return next(name for name, arch in ARCHITECTURES.items() if arch["machine"] == machine)


def tool(name):
    """A MinGW-w64 tool (windres, objdump) for the architecture of the build under test."""
    return f"{ARCHITECTURES[architecture()]['triple']}-{name}"


def host_cannot_run(arch):
    """Why this host cannot run arch's programs under Wine, or None if it can."""
    if arch != "x86":
        return None
    probe = subprocess.run([SOURCE_DIR / "scripts/host-runs-x86.sh"], capture_output=True, text=True)
    return probe.stdout.strip() if probe.returncode else None


def wait_until(condition, timeout, what):
    """Polls condition() until it returns something truthy; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


def from_utf16(text):
    """A text whose characters beyond U+FFFF came as their two UTF-16 units, one character each, with
    each pair put together again."""
    return text.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "surrogatepass")


def utf16_hex(units):
    """The text of a string of UTF-16 units, four hex digits each, as WinProbe and the receivers log them."""
    return from_utf16("".join(chr(int(units[i:i + 4], 16)) for i in range(0, len(units), 4)))


def winpath(path):
    """The Windows name of a Unix path (Wine's drive Z: is the Unix root)."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def start_x_server(workdir, command):
    """Starts an X server that announces its display number on the file descriptor given after
    -displayfd in command; returns (process, display)."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen([command[0], "-displayfd", str(write_end), *command[1:]], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=open(workdir / f"{command[0]}.log", "w"))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        raise RuntimeError(f"{command[0]} did not start")
    return server, f":{number}"


def start_xvfb(workdir):
    """Starts Xvfb on a free display number and returns (process, display)."""
    return start_x_server(workdir, ["Xvfb", "-screen", "0", f"{DESKTOP_WIDTH}x{DESKTOP_HEIGHT}x24", "-nolisten", "tcp"])


def start_tigervnc(workdir):
    """Starts TigerVNC's X server on a free display number and returns (process, display).
    Unlike Xvfb it honours keyboard layout changes (setxkbmap); nobody connects to it."""
    return start_x_server(workdir, ["Xtigervnc", "-geometry", f"{DESKTOP_WIDTH}x{DESKTOP_HEIGHT}", "-depth", "24",
                                    "-SecurityTypes", "None", "-localhost", "-rfbport", "0", "-nolisten", "tcp"])


class Wine:
    """One Wine prefix on one X display. Programs run inside a 1024x768 virtual desktop,
    which has a taskbar with a notification area."""

    def __init__(self, workdir, display, arch):
        self.workdir = workdir
        self.loader = ARCHITECTURES[arch]["loader"]
        # Without winemenubuilder, the shortcuts that a test installs stay in the prefix instead of
        # reaching the desktop's menus.
        self.env = dict(os.environ, WINEPREFIX=str(workdir / "prefix"), WINEDEBUG="-all", DISPLAY=display,
                        WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=", LANG="C.UTF-8",
                        WINELOADER=self.loader, WINEARCH=ARCHITECTURES[arch]["prefix"])
        self.display = display
        self.processes = []
        self._probe = None

    def setup_prefix(self):
        subprocess.run([self.loader, "wineboot", "-i"], env=self.env, check=True, timeout=300,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Debian's Wine does not find its own fonts (Tahoma, and Marlett for the title-bar
        # buttons) where the package puts them; the prefix's font folder it always reads.
        for font in WINE_FONTS.glob("*.ttf"):
            shutil.copy(font, self.workdir / "prefix/drive_c/windows/Fonts")
        self.import_registry(HERE / "prefix.reg")
        self.stop_all()

    def import_registry(self, reg_file):
        # regedit reads UTF-16; the file in the tree is UTF-8 so that it stays readable.
        utf16 = self.workdir / (reg_file.stem + ".utf16.reg")
        utf16.write_bytes(b"\xff\xfe" + reg_file.read_text(encoding="utf-8").encode("utf-16-le"))
        self.run("regedit", "/S", winpath(utf16))

    def run(self, program, *args, timeout=120):
        """Runs a program to its end and returns the completed process (output as text)."""
        # Output goes through files, not pipes: Wine's own background processes, started by
        # whichever program comes first, inherit the pipes and would hold them open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.run([self.loader, str(program), *map(str, args)], env=self.env, timeout=timeout,
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(process.args, process.returncode,
                                               out.read().decode(errors="replace"),
                                               err.read().decode(errors="replace"))

    def start(self, program, *args, env=None):
        """Starts a program without waiting for it, with more environment variables if given;
        stop_all() ends it at the latest. The probe is started first if it does not run: a Wine
        program that starts while another one starts now and then blocks for minutes."""
        self.running_probe()
        process = subprocess.Popen([self.loader, str(program), *map(str, args)], env={**self.env, **(env or {})},
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def start_ready(self, ready, what, program, *args, env=None, timeout=30, attempts=3):
        """Starts a program and returns it once ready() is truthy. Now and then a Wine program blocks at
        its start for minutes, and a new start after it is ended goes through: a start that is not ready
        within timeout seconds is ended and made again, and the test run warns of it."""
        for attempt in range(1, attempts + 1):
            process = self.start(program, *args, env=env)
            try:
                wait_until(ready, timeout, what)
                return process
            except TimeoutError as error:
                if attempt == attempts:
                    raise
                warnings.warn(f"{pathlib.Path(program).name} started again: {error}")
                process.kill()
                process.wait()

    def running_probe(self):
        """The probe of this test, started if it does not run yet (or any more)."""
        if self._probe is None or self._probe.process.poll() is not None:
            self._probe = Probe(self)
        return self._probe

    def probe(self, *question, timeout=120):
        """WinProbe's answer to a question (see the head of WinProbe.cpp), as a completed process:
        returncode is the answer's status, stdout its text."""
        return self.running_probe().ask(*question, timeout=timeout)

    def window(self, title):
        """hwnd, visible, foreground, process, style, exstyle, rect and xwindow (the X window that shows
        it) of the top-level window with that title; {} when there is none."""
        result = self.probe("window", title)
        return dict(line.split(" ", 1) for line in result.stdout.splitlines()) if result.returncode == 0 else {}

    def has_x_focus(self, title):
        """Whether the X server sends its keys to the window with that title. Wine moves the X input focus
        a moment after a window has come to the front: a key pressed in between goes to the window before,
        which no longer takes it, and is lost."""
        return self.xdotool("getwindowfocus").strip() == self.window(title).get("xwindow")

    def set_port(self, name, device):
        """Maps a COM port to a Unix device path; takes effect for programs started afterwards."""
        self.stop_all()
        self.run("reg", "add", r"HKLM\Software\Wine\Ports", "/v", name, "/t", "REG_SZ", "/d", device, "/f")
        self.stop_all()

    def stop_all(self):
        """Ends every program in the prefix and waits until the Wine server has gone."""
        if self._probe is not None:
            self._probe.close()
            self._probe = None
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.processes.clear()

    def set_keyboard_layout(self, layout):
        """Switches the X keyboard to an X layout ("us", "gb", "de", "fr") for the programs started
        afterwards; it ends those that run. Needs a session with keyboard_layouts."""
        self.stop_all()
        subprocess.run(["setxkbmap", "-display", self.display, "-layout", layout], check=True, timeout=30)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", "-display", self.display, str(path)], check=True,
                       timeout=60)

    def tray_icons(self):
        """Centres (x, y) of the icons in the taskbar's notification area, right to left."""
        shot = self.workdir / "tray.png"
        self.screenshot(shot)
        top, height, width = DESKTOP_HEIGHT - TASKBAR_HEIGHT, TASKBAR_HEIGHT, DESKTOP_WIDTH
        pixels = subprocess.run(["convert", str(shot), "-crop", f"{width}x{height}+0+{top}", "+repage",
                                 "-depth", "8", "rgb:-"], check=True, capture_output=True,
                                timeout=60).stdout
        background = pixels[0:3]
        # The notification area is on the right half; the Start button sits at the far left.
        columns = [x for x in range(width // 2, width)
                   if any(pixels[3 * (y * width + x):3 * (y * width + x) + 3] != background
                          for y in range(height))]
        icons = []
        for x in columns:
            if icons and x - icons[-1][-1] <= 3:
                icons[-1].append(x)
            else:
                icons.append([x])
        return [((group[0] + group[-1]) // 2, top + height // 2) for group in reversed(icons)]

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=dict(self.env), check=True, timeout=30,
                              capture_output=True, text=True).stdout


class Probe:
    """WinProbe.exe, which looks at and drives other programs' windows from outside. One process answers
    every question of a test: one question a line on its standard input, its words separated by tabs;
    the answer's lines, then a line of the record separator (0x1E) and the answer's status."""

    END = re.compile(rb"\x1e(-?\d+)\r?\n")

    def __init__(self, wine):
        # Its output is read as it comes, through a pipe; Wine's background processes may inherit
        # the pipe, so its end is found by the marker, never by the end of the file.
        self.process = subprocess.Popen([wine.loader, str(PROBE)], env=wine.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.answer(60)  # the empty answer that says it is ready

    def ask(self, *question, timeout=120):
        words = [str(word) for word in question]
        assert not any(set(word) & set("\t\r\n") for word in words), f"a tab or line break in {words}"
        self.process.stdin.write("\t".join(words).encode() + b"\n")
        self.process.stdin.flush()
        status, text = self.answer(timeout)
        return subprocess.CompletedProcess(words, status, text, "")

    def answer(self, timeout):
        """(status, text) of the next answer. A probe that has not answered within timeout seconds is
        ended, as its answer would come as that of the next question."""
        deadline, data = time.monotonic() + timeout, b""
        while not (end := self.END.search(data)):
            if self.process.poll() is not None:
                raise RuntimeError(f"WinProbe ended with {self.process.returncode} before it answered")
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                self.process.kill()
                self.process.wait()
                raise subprocess.TimeoutExpired(self.process.args, timeout)
            readable, _, _ = select.select([self.process.stdout], [], [], min(remaining, 1))
            if readable:
                data += os.read(self.process.stdout.fileno(), 65536)
        return int(end[1]), data[:end.start()].decode(errors="replace")

    def close(self):
        """Ends the probe: it stops at the end of its input."""
        with contextlib.suppress(BrokenPipeError):
            self.process.stdin.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()


def type_bytes(wine, data, inject=True, characters=False):
    """The key events that the key table makes of data, as (vk, scan, flags, extra), as /keys types them;
    with characters, those that type data as characters on the layout of the window in front, as the
    program types by default. With inject, they are also typed into the focused window."""
    options = ([] if inject else ["--print-only"]) + (["--characters"] if characters else [])
    result = wine.run(SEND_KEYS, *options, data.hex())
    assert result.returncode == 0, result.stderr
    return [tuple(int(value, 16) for value in line.split()) for line in result.stdout.splitlines()]


def as_received(events):
    """The key messages that events produce in the focused window. Wine does not carry
    the extended flag on Shift events (it reads 0 there); all else arrives as sent."""
    return [("KEYUP" if flags & 2 else "KEYDOWN", vk, scan, 0 if vk == VK_SHIFT else flags & 1)
            for vk, scan, flags, _ in events]


class ScanCodeReader:
    """ScanCodeReader.exe, which reads the keyboard from a low-level hook as a remote desktop client does
    and rebuilds the text from the scan codes alone; read through its log file."""

    def __init__(self, wine, log_path):
        self.log_path = log_path
        wine.start_ready(lambda: log_path.exists() and "READY" in log_path.read_text(), "the scan-code reader",
                         BUILD_DIR / "tests/wine/ScanCodeReader.exe", winpath(log_path))

    def lines(self):
        return self.log_path.read_text().splitlines()

    def chars(self):
        """The text rebuilt so far; U+FFFD for each key event that carried no scan code."""
        return from_utf16("".join(chr(int(line.split()[1], 16)) if line.startswith("CHAR") else "\ufffd"
                                  for line in self.lines() if line.startswith(("CHAR", "ERROR"))))

    def key_events(self):
        """[(message, vk, scan, ext)] of the injected key events the hook saw, as Receiver.key_messages()
        names them."""
        events = []
        for line in self.lines():
            if line.startswith("KEY "):
                _, direction, *fields = line.split()
                values = dict(field.split("=") for field in fields)
                if values["injected"] == "1":
                    events.append(("KEYDOWN" if direction == "down" else "KEYUP", int(values["vk"], 16),
                                   int(values["scan"], 16), int(values["ext"])))
        return events


class Receiver:
    """The key-logging receiver window (Receiver.exe), read through its log file. With
    stream, the window takes the keys itself instead of an edit control, and keeps up
    with long, fast streams."""

    def __init__(self, wine, log_path, stream=False):
        self.wine = wine
        self.log_path = log_path
        self._read, self._lines, self._parsed, self._typed = 0, [], 0, []
        self.process = wine.start_ready(lambda: "READY" in self.lines(), "the receiver window to have the focus",
                                        BUILD_DIR / "tests/wine/Receiver.exe", *(["--stream"] if stream else []),
                                        winpath(log_path))

    def lines(self):
        """Every complete line logged so far; each call reads on from where the last one stopped."""
        try:
            with open(self.log_path, "rb") as log:
                log.seek(self._read)
                data = log.read()
        except FileNotFoundError:
            return self._lines
        end = data.rfind(b"\n") + 1
        self._read += end
        self._lines.extend(data[:end].decode().splitlines())
        return self._lines

    def key_messages(self):
        """[(message, vk, scan, ext)] for every key message, in order."""
        messages = []
        for line in self.lines():
            name, *fields = line.split()
            if name.endswith(("KEYDOWN", "KEYUP")):
                values = dict(field.split("=") for field in fields)
                messages.append((name, int(values["vk"], 16), int(values["scan"], 16), int(values["ext"])))
        return messages

    def typed(self):
        """[(character, time)] for every character message so far; time in seconds since the Unix epoch,
        on the same clock as time.time()."""
        lines = self.lines()
        for line in lines[self._parsed:]:
            if line.startswith("CHAR "):
                _, code, stamp = line.split()
                self._typed.append((chr(int(code, 16)), int(stamp[2:]) / 1e6))
        self._parsed = len(lines)
        return self._typed

    def chars(self):
        return from_utf16("".join(char for char, _ in self.typed()))

    def settle(self, quiet_seconds, expected=None, timeout=120):
        """Waits until nothing more arrives for quiet_seconds, or until expected characters have
        arrived; returns typed()."""
        deadline, count, last_change = time.monotonic() + timeout, -1, time.monotonic()
        while True:
            typed, now = self.typed(), time.monotonic()
            if expected is not None and len(typed) >= expected:
                return typed
            if len(typed) != count:
                count, last_change = len(typed), now
            elif now - last_change > quiet_seconds:
                return typed
            if now > deadline:
                raise TimeoutError(f"characters still arriving after {timeout} s")
            time.sleep(0.05)

    def text(self):
        texts = [line[5:] for line in self.lines() if line.startswith("TEXT ")]
        if not texts:
            return ""
        return utf16_hex(texts[-1])

    def wait_for_key_messages(self, count, timeout=30):
        return wait_until(lambda: len(self.key_messages()) >= count and self.key_messages(), timeout,
                          f"{count} key messages")


@contextlib.contextmanager
def wine_session(keyboard_layouts=False):
    """A Wine prefix for the build under test, on a fresh Xvfb display, ended and removed afterwards.
    With keyboard_layouts, the display is TigerVNC's X server instead, whose layout
    set_keyboard_layout() can change."""
    arch = architecture()
    if reason := host_cannot_run(arch):
        raise RuntimeError(f"{SERIALKEY} is an {arch} program, and {reason}")
    workdir = pathlib.Path(tempfile.mkdtemp(prefix="serialkey-wine-"))
    x_server, display = (start_tigervnc if keyboard_layouts else start_xvfb)(workdir)
    session = Wine(workdir, display, arch)
    try:
        session.setup_prefix()
        yield session
    finally:
        session.stop_all()
        x_server.send_signal(signal.SIGTERM)
        x_server.wait(timeout=30)
        shutil.rmtree(workdir, ignore_errors=True)


class Pty:
    """A pseudo-terminal standing in for a serial device: the program opens the slave
    side as a COM port, and what is written to the master "arrives on the line"."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        # Raw mode, held open by us: otherwise the terminal's XON/XOFF handling
        # swallows 0x11 and 0x13 on their way in.
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)

    def send(self, data):
        os.write(self.master, data)

    def unread(self):
        """How many bytes sent on the line the program has not read yet."""
        count = array.array("i", [0])
        fcntl.ioctl(self.slave, termios.FIONREAD, count)
        return count[0]

    def attributes(self):
        """The line settings as the program left them (termios of the slave side)."""
        return termios.tcgetattr(self.slave)

    def holders(self):
        """The processes, other than this one, that have the device open: the program and the
        Wine server while the port is open."""
        found = set()
        for fd_dir in pathlib.Path("/proc").glob("[0-9]*/fd"):
            pid = int(fd_dir.parent.name)
            if pid == os.getpid():
                continue
            with contextlib.suppress(OSError):
                if any(os.readlink(fd) == self.path for fd in fd_dir.iterdir()):
                    found.add(pid)
        return found

    def hang_up(self):
        """The device goes away: every later read on the port fails."""
        if self.master is not None:
            os.close(self.master)
            self.master = None

    def close(self):
        self.hang_up()
        os.close(self.slave)


def wait_for_open(device, speed=termios.B9600):
    """The program has opened and configured the device: its speed went from the pty's 38400 to speed."""
    wait_until(lambda: device.attributes()[5] == speed, 30, "the port to be opened")


class SerialKey:
    """SerialKey.exe running under Wine, seen and driven from outside through WinProbe."""

    TITLE = "RS-232C to KeyBoard(for Win2000)"
    ABOUT_TITLE = "關於Varento"
    EXE = SERIALKEY
    OPEN, CLOSE = RESOURCE.IDC_OPEN, IDCANCEL
    PORT, BAUD, DATA_BITS, PARITY, STOP_BITS = (RESOURCE.IDC_PORT, RESOURCE.IDC_BAUD, RESOURCE.IDC_DATABITS,
                                                RESOURCE.IDC_PARITY, RESOURCE.IDC_STOPBITS)

    def __init__(self, wine, *args, exe=SERIALKEY, env=None, shown=True):
        """Starts the program with args; returns once its settings window exists, visible or, if not shown,
        hidden, and the program waits for input."""
        self.wine = wine
        self.process = wine.start_ready(lambda: self.window().get("visible") == ("1" if shown else "0"),
                                        "the settings window", exe, *args, env=env)
        self.probe("idle")

    def probe(self, command, *args, timeout=120):
        """WinProbe's answer to a question about the settings window."""
        return self.wine.probe(command, self.TITLE, *args, timeout=timeout)

    def window(self):
        """hwnd, visible, foreground, process and styles of the settings window; {} when it is gone."""
        return self.wine.window(self.TITLE)

    def answers(self):
        """The program runs and its window handles messages: a sent WM_NULL is answered only by a window
        whose thread runs. Sent messages are handled in the order they arrive, so it has also handled
        every message sent to it before."""
        return self.process.poll() is None and self.probe("send", WM_NULL, 0, 0).returncode == 0

    def notify(self, mouse_message):
        """Sends the window what the shell sends for a mouse event over the icon; returns once it is handled."""
        assert self.probe("send", WM_TRAYNOTIFY, TRAY_ICON_ID, mouse_message).returncode == 0

    def select(self, control, index):
        assert self.probe("select", control, index).returncode == 0

    def open(self, **positions):
        """Chooses list positions (port=, baud=, data_bits=, parity=, stop_bits=) and presses Open."""
        for name, index in positions.items():
            self.select(getattr(self, name.upper()), index)
        assert self.probe("click", self.OPEN).returncode == 0

    def press_open(self, times):
        """Presses Open times in a row, each as soon as the one before has run; returns after the last."""
        assert self.probe("press", self.OPEN, times).returncode == 0

    def message_box(self, timeout=30):
        """The message box that the settings window owns: {"caption", "text", "icon", "buttons"}."""
        # The box is shown once it is filled in; before that its caption or icon may be missing.
        # Every box of the program carries an icon, which Wine may set just after showing the box.
        result = wait_until(lambda: (r := self.probe("messagebox")).returncode == 0 and "visible 1" in r.stdout
                            and "icon none" not in r.stdout and r,
                            timeout, "a message box")
        box = {"buttons": []}
        for line in result.stdout.splitlines():
            key, _, value = line.partition(" ")
            if key == "button":
                box["buttons"].append(value.split(" ", 1)[1])
            elif key != "visible":
                box[key] = value
        return box

    def tip(self):
        """The tip that the notification-area icon shows, read afresh."""
        icons = wait_until(lambda: self.wine.tray_icons(), 30, "the icon in the notification area")
        self.wine.xdotool("mousemove", 10, 10)
        time.sleep(0.5)  # the old tip goes away
        self.wine.xdotool("mousemove", *icons[0])
        return wait_until(lambda: (r := self.wine.probe("tooltip")).returncode == 0 and r.stdout.strip(), 30,
                          "the tip")

    def dismiss_message_box(self):
        """Presses Enter, which the message box takes as it has the focus, and waits until it has gone."""
        self.wine.xdotool("key", "Return")
        wait_until(lambda: self.probe("messagebox").returncode == 1, 30, "the message to be dismissed")


def typing_into_receiver(wine, log_dir, device, stream=False, args=(), **positions):
    """SerialKey started with args and opened on device with the list positions given (the defaults
    otherwise), and a receiver window in front that logs to log_dir."""
    program = SerialKey(wine, *args)
    program.open(**positions)
    wait_for_open(device)
    return program, Receiver(wine, log_dir / "receiver.log", stream=stream)
