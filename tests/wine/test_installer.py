"""The Windows Installer package of this build's architecture under Wine, in one prefix from the first
installation to the removal, in the order an administrator meets them: settings SerialKey would refuse,
installations with and without a start at logon, upgrades with and without settings, an older package,
and the removal.

Wine puts the per-machine Start-menu and Startup shortcuts into the user's folders, where Windows
puts them into the all-users ones: the tests look in both, and the package's tables, checked apart
(tests/release), show the per-machine installation."""

import re
import struct
import termios
import zipfile

import pytest

from packages import dotted, package_name, project_version, release
from test_command_line import dismiss, message_box_text
from winebed import Pty, Receiver, SerialKey, architecture, wait_for_open, wait_until, winpath

ARCH = architecture()
VERSION = project_version()
RAISED = (*VERSION[:2], VERSION[2] + 1)
PROGRAM_FILES = {"x86": "Program Files (x86)", "x64": "Program Files"}[ARCH]
INSTALLED_FILES = ["LICENSE.txt", "SerialKey.exe", "SerialKey.html"]
START_MENUS = ["drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs",
               "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"]
STARTUP = "[Ss]tart[Uu]p"  # Wine writes "StartUp", Windows "Startup"
SILENT_SETTINGS = ["PORT=COM3", "BAUD=19200", "OPEN=1", "AUTOSTART=1"]
ERROR_INSTALL_FAILURE = 1603
RUN_AS_USER = 0x2000  # a shortcut's flag: "Run as administrator"


@pytest.fixture(scope="module")
def packages(tmp_path_factory):
    """This architecture's packages of the project's version and of a raised one: {version: folder}."""
    return {version: release(tmp_path_factory.mktemp(dotted(version)), "--arch", ARCH, "--version", dotted(version))
            for version in (VERSION, RAISED)}


def package(packages, version, extension="msi"):
    return packages[version] / package_name(version, ARCH, extension)


@pytest.fixture(scope="module")
def machine_before(wine):
    """The prefix's files and registry keys before any installation."""
    return snapshot(wine)


def snapshot(wine):
    """(the files under C:, the registry's keys with the values that name SerialKey), once Wine has
    written its registry out."""
    wine.stop_all()
    prefix = wine.workdir / "prefix"
    files = {str(path.relative_to(prefix)) for path in (prefix / "drive_c").rglob("*")}
    keys, mentions = set(), set()
    for hive in ("system.reg", "user.reg"):
        for line in (prefix / hive).read_text(encoding="utf-8", errors="replace").splitlines():
            if line.startswith("["):
                keys.add(line.rsplit("]", 1)[0] + "]")
            elif "serialkey" in line.lower():
                mentions.add(line)
    return files, keys, mentions


def msiexec(wine, *arguments):
    """msiexec's exit code; Wine hands on only its low eight bits."""
    return wine.run("msiexec", *arguments, timeout=300).returncode


def refused_with_basic_ui(wine, msi, *properties):
    """Installs as a double-click does, with basic UI; returns (the message that stopped it, the exit
    code) once the message is dismissed."""
    process = wine.start("msiexec", "/i", winpath(msi), "/qb", *properties)
    message = message_box_text(wine, "Install Failed")
    dismiss(wine, "Install Failed")
    return message, process.wait(timeout=60)


def read_shortcut(path):
    """A shell link's target and arguments, and its flags (MS-SHLLINK); Wine ends its strings with a NUL."""
    data = path.read_bytes()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    position = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        position += 2 + struct.unpack_from("<H", data, position)[0]
    target = ""
    if flags & 0x2:  # HasLinkInfo, which holds the target's local path
        path_start = position + struct.unpack_from("<I", data, position + 16)[0]
        target = data[path_start:data.index(b"\0", path_start)].decode("latin-1")
        position += struct.unpack_from("<I", data, position)[0]
    strings = {}
    for bit, name in ((0x4, "description"), (0x8, "relative path"), (0x10, "working directory"),
                      (0x20, "arguments"), (0x40, "icon location")):
        if flags & bit:
            count = struct.unpack_from("<H", data, position)[0]
            strings[name] = data[position + 2:position + 2 + 2 * count].decode("utf-16-le").rstrip("\0")
            position += 2 + 2 * count
    return {"target": target, "arguments": strings.get("arguments", ""), "flags": flags}


def shortcuts(wine, folder=None):
    """The SerialKey shortcuts in the Start menu, or in a folder of it, per user and for all users."""
    prefix = wine.workdir / "prefix"
    return [path for menu in START_MENUS
            for path in prefix.glob(f"{menu}/{folder}/SerialKey.lnk" if folder else f"{menu}/SerialKey.lnk")]


def the_shortcut(wine, folder=None):
    found = shortcuts(wine, folder)
    assert len(found) == 1, found
    return found[0], read_shortcut(found[0])


def installed(wine):
    folder = wine.workdir / "prefix/drive_c" / PROGRAM_FILES / "SerialKey"
    return {file.name: file.read_bytes() for file in folder.iterdir()} if folder.exists() else {}


def registered_versions(wine):
    """The versions of SerialKey in the list of installed programs."""
    listing = wine.run("reg", "query", r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall", "/s").stdout
    programs = [dict(re.findall(r"^[ \t]+(\w+)[ \t]+REG_\w+[ \t]*(.*?)[ \t\r]*$", key, re.MULTILINE))
                for key in re.split(r"(?:\r?\n){2,}", listing)]
    return [program.get("DisplayVersion") for program in programs if program.get("DisplayName") == "SerialKey"]


def packaged(packages, version):
    """The files of the version's zip, which the package installs too."""
    with zipfile.ZipFile(package(packages, version, "zip")) as archive:
        return {name: archive.read(name) for name in archive.namelist()}


BAD_VALUES = [
    "PORT=LPT1", "PORT=COM", "PORT=COM0", "PORT=COM3 /keys", "PORT=COM3\t/keys",
    "BAUD=12345", "BAUD=9601", "DATA=9", "PARITY=x", "PARITY=nein", "STOP=3", "STOP=1.0",
    "CHARSET=utf-16", "OPEN=yes", "KEYS=2", "AUTOSTART=true",
]


@pytest.mark.parametrize("setting", BAD_VALUES)
def test_a_value_serialkey_would_refuse_stops_a_silent_installation(clean_wine, machine_before, packages, setting):
    assert msiexec(clean_wine, "/i", winpath(package(packages, VERSION)), "/qn", setting) == \
        ERROR_INSTALL_FAILURE % 256
    assert installed(clean_wine) == {}


def test_the_refusal_names_the_property_and_its_value(clean_wine, packages):
    message, code = refused_with_basic_ui(clean_wine, package(packages, VERSION), "PORT=COM3", "BAUD=12345")

    assert message.startswith("BAUD=12345 is not a baud rate SerialKey takes: 300, 600, 1200,"), message
    assert code == ERROR_INSTALL_FAILURE % 256


def test_without_autostart_only_the_start_menu_has_serialkey(clean_wine, packages):
    msi = winpath(package(packages, VERSION))
    assert msiexec(clean_wine, "/i", msi, "/qn", "PORT=COM3") == 0

    _, start_menu = the_shortcut(clean_wine)
    assert (start_menu["target"], start_menu["arguments"]) == (f"C:\\{PROGRAM_FILES}\\SerialKey\\SerialKey.exe", "")
    assert shortcuts(clean_wine, STARTUP) == []
    assert msiexec(clean_wine, "/x", msi, "/qn") == 0


@pytest.mark.parametrize("upgrade_with, arguments", [("BAUD=9600", ["baud=9600"]), ("AUTOSTART=0", None)])
def test_an_upgrade_given_settings_replaces_them_all(clean_wine, packages, upgrade_with, arguments):
    older, newer = winpath(package(packages, VERSION)), winpath(package(packages, RAISED))
    assert msiexec(clean_wine, "/i", older, "/qn", "AUTOSTART=1", "PORT=COM5", "DATA=7", "CHARSET=utf-8", "KEYS=1") == 0
    assert the_shortcut(clean_wine, STARTUP)[1]["arguments"] == "COM5 data=7 charset=utf-8 /keys"

    assert msiexec(clean_wine, "/i", newer, "/qn", upgrade_with) == 0

    startup = shortcuts(clean_wine, STARTUP)
    assert [read_shortcut(path)["arguments"].split() for path in startup] == ([arguments] if arguments else [])
    assert msiexec(clean_wine, "/x", newer, "/qn") == 0


def test_a_silent_installation_with_settings_starts_serialkey_at_logon_with_them(clean_wine, packages):
    assert msiexec(clean_wine, "/i", winpath(package(packages, VERSION)), "/qn", *SILENT_SETTINGS) == 0

    assert installed(clean_wine) == packaged(packages, VERSION)
    assert sorted(installed(clean_wine)) == INSTALLED_FILES
    assert registered_versions(clean_wine) == [dotted(VERSION)]
    _, startup = the_shortcut(clean_wine, STARTUP)
    assert startup["target"] == f"C:\\{PROGRAM_FILES}\\SerialKey\\SerialKey.exe"
    assert startup["arguments"] == "COM3 baud=19200 /open"
    assert not startup["flags"] & RUN_AS_USER


def test_the_startup_shortcut_runs_serialkey_hidden_typing_from_com3_at_19200(clean_wine, tmp_path):
    device = Pty()
    clean_wine.set_port("COM3", device.path)
    receiver = Receiver(clean_wine, tmp_path / "receiver.log")
    path, _ = the_shortcut(clean_wine, STARTUP)

    clean_wine.start("start", "/unix", path)  # as the shell starts what is in the Startup folder

    wait_for_open(device, termios.B19200)
    assert clean_wine.window(SerialKey.TITLE)["visible"] == "0"
    device.send(b"4006381333931\r")
    wait_until(lambda: receiver.chars() == "4006381333931\r", 30, "the typed line")
    device.close()


def test_an_upgrade_keeps_the_startup_shortcut_and_its_arguments(clean_wine, packages):
    # Basic UI, as a station user's double-click on the newer package: no properties given.
    assert msiexec(clean_wine, "/i", winpath(package(packages, RAISED)), "/qb") == 0

    assert installed(clean_wine) == packaged(packages, RAISED)
    _, startup = the_shortcut(clean_wine, STARTUP)
    assert startup["arguments"] == "COM3 baud=19200 /open"
    assert registered_versions(clean_wine) == [dotted(RAISED)]
    # The same package once more repairs what is there.
    assert msiexec(clean_wine, "/i", winpath(package(packages, RAISED)), "/qn") == 0
    assert registered_versions(clean_wine) == [dotted(RAISED)]


def test_the_installed_program_names_the_raised_version_in_its_usage(clean_wine):
    process = clean_wine.start(clean_wine.workdir / "prefix/drive_c" / PROGRAM_FILES / "SerialKey/SerialKey.exe", "/?")

    assert message_box_text(clean_wine).splitlines()[-1] == f"SerialKey {dotted(RAISED)}"
    dismiss(clean_wine)
    assert process.wait(timeout=30) == 0


def test_an_older_package_is_refused_and_the_newer_one_stays(clean_wine, packages):
    older = package(packages, VERSION)

    assert msiexec(clean_wine, "/i", winpath(older), "/qn") == ERROR_INSTALL_FAILURE % 256
    message, code = refused_with_basic_ui(clean_wine, older)
    assert message.startswith("A newer version of SerialKey is already installed")
    assert code == ERROR_INSTALL_FAILURE % 256
    assert installed(clean_wine) == packaged(packages, RAISED)
    assert the_shortcut(clean_wine, STARTUP)[1]["arguments"] == "COM3 baud=19200 /open"


def test_removal_leaves_nothing_behind(clean_wine, machine_before, packages):
    assert msiexec(clean_wine, "/x", winpath(package(packages, RAISED)), "/qn") == 0

    files_before, keys_before, _ = machine_before
    files, keys, mentions = snapshot(clean_wine)
    # Windows Installer's own folder and registers stay, as on every Windows, empty.
    assert files - files_before <= {"drive_c/windows/Installer"}
    assert {key.rsplit("\\\\", 1)[-1] for key in keys - keys_before} <= \
        {"Features]", "Products]", "UpgradeCodes]", "Components]"}
    assert mentions == set()
