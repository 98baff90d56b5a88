"""Fixtures of the end-to-end tests: the Wine test bed, one per pytest session."""

import pytest

from winebed import Receiver, wine_session


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
