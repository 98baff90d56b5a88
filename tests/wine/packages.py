"""The release's packages as the tests make and read them: scripts/release.sh into a folder of the test's,
the one version of CMakeLists.txt, and the tables of a Windows Installer package (msiinfo)."""

import re
import subprocess

from winebed import SOURCE_DIR


def project_version():
    """The version that CMakeLists.txt writes once, as (X, Y, Z)."""
    found = re.search(r"^\s*set\(SERIALKEY_VERSION (\d+)\.(\d+)\.(\d+)\)", (SOURCE_DIR / "CMakeLists.txt").read_text(),
                      re.MULTILINE)
    return tuple(map(int, found.groups()))


def dotted(version):
    return ".".join(map(str, version))


def release(dist, *options):
    """Runs the release command into dist with options (--arch, --version); returns dist."""
    subprocess.run([SOURCE_DIR / "scripts/release.sh", "--dist", str(dist), *options], check=True, timeout=1200,
                   stdout=subprocess.DEVNULL)
    return dist


def package_name(version, arch, extension):
    return f"SerialKey-{dotted(version)}-{arch}.{extension}"


def msi_table(msi, table):
    """The rows of a table of the package, each a dict by column name."""
    lines = subprocess.run(["msiinfo", "export", str(msi), table], check=True, capture_output=True, text=True,
                           timeout=60).stdout.splitlines()
    columns = lines[0].split("\t")  # then the column types and the table's name with its keys
    # A condition may hold a tab, which msiinfo writes as it is: only the first column can.
    return [dict(zip(columns, line.rsplit("\t", len(columns) - 1))) for line in lines[3:]]
