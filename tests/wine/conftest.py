"""Fixtures of the end-to-end tests: the Wine test bed, one per pytest session."""

import os

import pytest

from winebed import Pty, Receiver, wine_session


def pytest_configure(config):
    # The build's configuration found that this host cannot run its programs; ctest reports
    # the exit code as a skip.
    if reason := os.environ.get("SERIALKEY_WINE_SKIP"):
        pytest.exit(f"skipped: {reason}", returncode=77)


@pytest.fixture(scope="session")
def wine():
    with wine_session() as session:
        yield session


@pytest.fixture
def clean_wine(wine):
    """The session's Wine, with every program that the test started ended afterwards."""
    yield wine
    wine.stop_all()


@pytest.fixture
def receiver(clean_wine, tmp_path):
    return Receiver(clean_wine, tmp_path / "receiver.log")


@pytest.fixture
def line(clean_wine):
    """COM1 on a fresh pseudo-terminal."""
    pty = Pty()
    clean_wine.set_port("COM1", pty.path)
    yield pty
    pty.close()


@pytest.fixture
def two_lines(clean_wine):
    """COM1 and COM2, each on a fresh pseudo-terminal."""
    first, second = Pty(), Pty()
    clean_wine.set_port("COM1", first.path)
    clean_wine.set_port("COM2", second.path)
    yield first, second
    first.close()
    second.close()
