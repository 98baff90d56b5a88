"""Fixtures of the release's checks: two runs of the release command, and the test bed's helpers."""

import pathlib
import sys

import pytest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "wine"))

from packages import release  # noqa: E402  (found through the path above)


@pytest.fixture(scope="session")
def first_run(tmp_path_factory):
    """The release of this commit, as scripts/release.sh writes it."""
    return release(tmp_path_factory.mktemp("first"))


@pytest.fixture(scope="session")
def second_run(first_run, tmp_path_factory):
    """The same release once more, from a build folder of its own, at another time."""
    return release(tmp_path_factory.mktemp("second"))
