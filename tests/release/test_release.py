"""The release as scripts/release.sh writes it, checked without running it: the files and their sums,
the zips' contents, the executables' version, the packages' tables, and two runs that give the same
bytes. The packages' behaviour under Wine is tests/wine/test_installer.py's."""

import filecmp
import hashlib
import re
import subprocess
import time
import xml.etree.ElementTree as ElementTree
import zipfile

import pytest

from check_exe import manifest
from packages import dotted, msi_table, package_name, project_version
from test_settings_window import script_list_items
from winebed import ARCHITECTURES, RESOURCE, SOURCE_DIR, pe_header

VERSION = project_version()
ARCHS = ["x86", "x64"]
ZIPPED = ["SerialKey.exe", "SerialKey.html", "LICENSE.txt"]
UPGRADE_CODE = "{CA21F16E-FAC2-49BE-B9D4-2F9403685103}"
# What each public property becomes on the Startup shortcut's command line.
STARTUP_ARGUMENTS = ("{[PORT]}{ baud=[BAUD]}{ data=[DATA]}{ parity=[PARITY]}{ stop=[STOP]}{ charset=[CHARSET]}"
                     "{ [OPEN_SWITCH]}{ [KEYS_SWITCH]}")
CHECKED_PROPERTIES = ["PORT", "BAUD", "DATA", "PARITY", "STOP", "CHARSET", "OPEN", "KEYS", "AUTOSTART"]
# Upgrade table attributes
ONLY_DETECT, VERSION_MIN_INCLUSIVE = 0x2, 0x100
COMPONENT_64_BIT = 0x100


def commit_time():
    return int(subprocess.run(["git", "log", "-1", "--format=%ct"], cwd=SOURCE_DIR, check=True, capture_output=True,
                              text=True).stdout)


def zipped(dist, arch):
    """{name: (contents, entry)} of the architecture's zip, in its order."""
    with zipfile.ZipFile(dist / package_name(VERSION, arch, "zip")) as archive:
        return {entry.filename: (archive.read(entry), entry) for entry in archive.infolist()}


def msi(dist, arch):
    return dist / package_name(VERSION, arch, "msi")


def summary(package):
    """The package's summary information, by the names msiinfo gives them."""
    text = subprocess.run(["msiinfo", "suminfo", str(package)], check=True, capture_output=True, text=True,
                          timeout=60).stdout
    return dict(line.split(": ", 1) for line in text.splitlines())


def dumped(package, folder):
    """Every table and stream of the package, as files in folder (msidump)."""
    folder.mkdir()
    # It writes the binary tables' rows to where it runs, whatever the folder given.
    subprocess.run(["msidump", "--streams", "--tables", "--directory", str(folder), str(package)], cwd=folder,
                   check=True, capture_output=True, timeout=60)
    return folder


def test_a_release_holds_a_zip_and_a_package_of_each_architecture_and_their_sums(first_run):
    packages = [package_name(VERSION, arch, extension) for arch in ARCHS for extension in ("zip", "msi")]

    assert sorted(path.name for path in first_run.iterdir()) == sorted(packages + ["SHA256SUMS"])
    sums = dict(reversed(line.split("  ")) for line in (first_run / "SHA256SUMS").read_text().splitlines())
    assert sums == {name: hashlib.sha256((first_run / name).read_bytes()).hexdigest() for name in packages}


def test_two_runs_give_the_same_zips_and_packages_that_differ_only_in_their_summary(first_run, second_run, tmp_path):
    for arch in ARCHS:
        zip_name = package_name(VERSION, arch, "zip")
        assert (first_run / zip_name).read_bytes() == (second_run / zip_name).read_bytes(), zip_name

        # wixl gives every package a new package code and the time it was made; nothing else differs.
        first, second = (dumped(msi(run, arch), tmp_path / f"{arch}-{run.name}") for run in (first_run, second_run))
        tables, streams = filecmp.dircmp(first, second), filecmp.dircmp(first / "_Streams", second / "_Streams")
        assert (tables.diff_files, tables.left_only, tables.right_only) == (["_SummaryInformation.idt"], [], []), arch
        assert (streams.diff_files, streams.left_only, streams.right_only) == (["\x05SummaryInformation"], [], []), arch
        first_summary, second_summary = summary(msi(first_run, arch)), summary(msi(second_run, arch))
        assert {name for name in first_summary if first_summary[name] != second_summary[name]} <= \
            {"Revision number (UUID)", "Created", "Last saved"}


@pytest.mark.parametrize("arch", ARCHS)
def test_the_zip_holds_the_program_its_help_page_and_license_at_its_top(first_run, arch):
    files = zipped(first_run, arch)

    assert list(files) == ZIPPED
    assert files["SerialKey.html"][0] == (SOURCE_DIR / "help/SerialKey.html").read_bytes()
    assert files["LICENSE.txt"][0] == (SOURCE_DIR / "LICENSE").read_bytes()
    # The time of every entry is the commit's (UTC, to the two seconds that a zip can tell).
    assert {entry.date_time for _, entry in files.values()} == {time.gmtime(commit_time() & ~1)[:6]}


@pytest.mark.parametrize("arch", ARCHS)
def test_the_program_carries_the_one_version_and_runs_as_the_user_who_starts_it(first_run, tmp_path, arch):
    exe = tmp_path / "SerialKey.exe"
    exe.write_bytes(zipped(first_run, arch)["SerialKey.exe"][0])
    windres = f"{ARCHITECTURES[arch]['triple']}-windres"
    resources = subprocess.run([windres, "-i", str(exe), "-O", "rc"], check=True, capture_output=True, text=True,
                               timeout=60).stdout

    assert pe_header(exe)[0] == ARCHITECTURES[arch]["machine"]
    numbers = ", ".join(map(str, (*VERSION, 0)))
    assert re.findall(r"^ (FILEVERSION|PRODUCTVERSION) (.*)$", resources, re.MULTILINE) == \
        [("FILEVERSION", numbers), ("PRODUCTVERSION", numbers)]
    assert dict(re.findall(r'VALUE "(\w*Version)", "(.*)"', resources)) == \
        {"FileVersion": dotted(VERSION), "ProductVersion": dotted(VERSION)}
    namespace = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3"}
    assembly = ElementTree.fromstring(manifest(windres, str(exe)))
    assert assembly.find("v1:assemblyIdentity", namespace).get("version") == dotted(VERSION) + ".0"
    assert assembly.find(".//v3:requestedExecutionLevel", namespace).get("level") == "asInvoker"


@pytest.mark.parametrize("arch", ARCHS)
def test_the_package_installs_the_zips_files_for_every_user_into_program_files(first_run, tmp_path, arch):
    package = msi(first_run, arch)
    properties = {row["Property"]: row["Value"] for row in msi_table(package, "Property")}

    assert summary(package)["Template"] == {"x86": "Intel;1033", "x64": "x64;1033"}[arch]
    assert (properties["ProductName"], properties["ProductVersion"], properties["ALLUSERS"]) == \
        ("SerialKey", dotted(VERSION), "1")
    directories = {row["Directory"]: row for row in msi_table(package, "Directory")}
    assert directories["INSTALLDIR"]["Directory_Parent"] == \
        {"x86": "ProgramFilesFolder", "x64": "ProgramFiles64Folder"}[arch]
    components = {row["Component"]: int(row["Attributes"]) for row in msi_table(package, "Component")}
    assert {name: bool(attributes & COMPONENT_64_BIT) for name, attributes in components.items()} == \
        {"Program": arch == "x64", "StartupShortcut": arch == "x64"}
    assert sorted((row["FileName"], row["Component_"]) for row in msi_table(package, "File")) == \
        sorted((name, "Program") for name in ZIPPED)
    subprocess.run(["msiextract", "-C", str(tmp_path), str(package)], check=True, capture_output=True, timeout=60)
    extracted = {path.name: path.read_bytes() for path in tmp_path.rglob("*") if path.is_file()}
    assert extracted == {name: contents for name, (contents, _) in zipped(first_run, arch).items()}


@pytest.mark.parametrize("arch", ARCHS)
def test_the_shortcuts_start_the_program_from_the_start_menu_and_with_the_settings_at_logon(first_run, arch):
    package = msi(first_run, arch)
    shortcuts = {row["Shortcut"]: (row["Directory_"], row["Target"], row["Arguments"])
                 for row in msi_table(package, "Shortcut")}
    actions = {row["Action"]: (row["Source"], row["Target"]) for row in msi_table(package, "CustomAction")}
    levels = {row["Feature"]: int(row["Level"]) for row in msi_table(package, "Feature")}

    # Not advertised: the target is the file itself. Per machine, StartupFolder is that of all users.
    assert shortcuts == {"StartMenuShortcut": ("ProgramMenuFolder", "[#SerialKey.exe]", ""),
                         "StartupShortcut": ("StartupFolder", "[#SerialKey.exe]", "[STARTUP_ARGUMENTS]")}
    assert actions["StartupArguments"] == ("STARTUP_ARGUMENTS", STARTUP_ARGUMENTS)
    assert (actions["OpenSwitch"], actions["KeysSwitch"]) == (("OPEN_SWITCH", "/open"), ("KEYS_SWITCH", "/keys"))
    # The Startup shortcut only where AUTOSTART raises the install level (1 unless raised) to it.
    assert levels["Program"] == 1 < levels["Startup"] == int(actions["AddStartupShortcut"][1])
    assert actions["AddStartupShortcut"][0] == "INSTALLLEVEL"


@pytest.mark.parametrize("arch", ARCHS)
def test_the_package_replaces_any_other_version_and_refuses_to_replace_a_newer_one(first_run, arch):
    package = msi(first_run, arch)
    rows = {(row["VersionMin"], row["VersionMax"], int(row["Attributes"]), row["ActionProperty"])
            for row in msi_table(package, "Upgrade") if row["UpgradeCode"] == UPGRADE_CODE}
    conditions = {row["Condition"] for row in msi_table(package, "LaunchCondition")}
    properties = {row["Property"]: row["Value"] for row in msi_table(package, "Property")}

    assert properties["UpgradeCode"] == UPGRADE_CODE  # one for both architectures: either replaces the other
    # Every version found is replaced, once the check of a newer one has passed.
    assert rows == {("0.0.0", "", VERSION_MIN_INCLUSIVE, "REPLACED_PRODUCTS"),
                    (dotted(VERSION), "", ONLY_DETECT, "NEWER_PRODUCT")}
    assert "NOT NEWER_PRODUCT OR Installed" in conditions


def test_each_architecture_and_version_is_a_product_of_its_own(first_run):
    codes = {arch: {row["Property"]: row["Value"] for row in msi_table(msi(first_run, arch), "Property")}["ProductCode"]
             for arch in ARCHS}
    assert len(set(codes.values())) == len(ARCHS)


@pytest.mark.parametrize("arch", ARCHS)
def test_the_settings_are_worked_out_after_the_search_and_checks_and_before_costing(first_run, arch):
    sequence = {row["Action"]: int(row["Sequence"]) for row in msi_table(msi(first_run, arch), "InstallExecuteSequence")}

    order = ["AppSearch", "LaunchConditions", "KeepAutoStart", "OpenSwitch", "KeysSwitch", "StartupArguments",
             "KeepStartupArguments", "AddStartupShortcut", "CostFinalize"]
    assert [sequence[action] for action in order] == sorted(sequence[action] for action in order)
    # The old version goes before anything of the new one is installed.
    assert sequence["InstallValidate"] < sequence["RemoveExistingProducts"] < sequence["InstallInitialize"]


@pytest.mark.parametrize("arch", ARCHS)
def test_every_property_is_checked_against_what_the_program_takes_and_named_when_refused(first_run, arch):
    checks = {row["Condition"]: row["Description"] for row in msi_table(msi(first_run, arch), "LaunchCondition")}
    check_of = {name: next(condition for condition in checks if condition.startswith(f"NOT {name} OR "))
                for name in CHECKED_PROPERTIES}
    lists = script_list_items()

    for name, condition in check_of.items():
        assert checks[condition].startswith(f"{name}=[{name}] "), name
    assert re.findall(r'BAUD = "(\w+)"', check_of["BAUD"]) == lists[RESOURCE.IDC_BAUD]
    assert re.findall(r'DATA = "(\w+)"', check_of["DATA"]) == lists[RESOURCE.IDC_DATABITS]
    assert re.findall(r'STOP = "([\w.]+)"', check_of["STOP"]) == lists[RESOURCE.IDC_STOPBITS]
    parities = [parity.lower() for parity in lists[RESOURCE.IDC_PARITY]]
    assert re.findall(r'PARITY ~= "(\w+)"', check_of["PARITY"]) == parities + [parity[0] for parity in parities]
    assert re.findall(r'PORT ~<< "(\w+)"', check_of["PORT"]) == [f"COM{digit}" for digit in range(1, 10)]
