"""F1 with the help page beside the program, as in the zip and the installed folder: the web browser
starts on the page at the topic of the window where F1 was pressed."""

import html.parser
import shutil
import urllib.parse

import pytest

from test_tray import press_f1_in_the_settings_window_then_in_the_about_box
from win32 import HID_BASE_RESOURCE
from winebed import BUILD_DIR, RESOURCE, SERIALKEY, SOURCE_DIR, SerialKey, winpath

STAND_IN = BUILD_DIR / "tests/wine/StandIn.exe"
HELP_PAGE = SOURCE_DIR / "help/SerialKey.html"
WEB_LINKS_COMMAND = r"HKCR\http\shell\open\command"


class SectionHeadings(html.parser.HTMLParser):
    """The heading of each section of a page, by the section's id."""

    def __init__(self, page):
        super().__init__()
        self.headings, self._section, self._in_heading = {}, None, False
        self.feed(page)

    def handle_starttag(self, tag, attrs):
        if tag == "section":
            self._section = dict(attrs).get("id")
        self._in_heading = tag == "h2"

    def handle_endtag(self, tag):
        self._in_heading = self._in_heading and tag != "h2"

    def handle_data(self, data):
        if self._in_heading and self._section:
            self.headings[self._section] = self.headings.get(self._section, "") + data


@pytest.fixture
def program_with_help_page(tmp_path):
    """SerialKey.exe with the help page beside it, in a folder whose name a URL must encode."""
    folder = tmp_path / "Serial Key #1"
    folder.mkdir()
    shutil.copy(SERIALKEY, folder)
    shutil.copy(HELP_PAGE, folder)
    return folder / SERIALKEY.name


@pytest.fixture
def browser(clean_wine, tmp_path):
    """A stand-in registered as the command for web links; returns the arguments of its starts so far."""
    log = tmp_path / "browser.log"
    command = f'"{winpath(STAND_IN)}" browser "{winpath(log)}" "%1"'
    assert clean_wine.run("reg", "add", WEB_LINKS_COMMAND, "/ve", "/d", command, "/f").returncode == 0
    return lambda: [line.split(" ", 1)[1] for line in log.read_text(encoding="utf-8").splitlines()] \
        if log.exists() else []


def test_f1_opens_the_help_page_at_the_topic_of_the_window_in_front(clean_wine, program_with_help_page, browser):
    program = SerialKey(clean_wine, exe=program_with_help_page)

    press_f1_in_the_settings_window_then_in_the_about_box(clean_wine, program, browser)

    page = "/" + winpath(program_with_help_page.with_suffix(".html")).replace("\\", "/")
    urls = [urllib.parse.urlsplit(argument) for argument in browser()]  # one argument each start
    assert [(url.scheme, urllib.parse.unquote(url.path)) for url in urls] == [("file", page)] * 2
    topics = [url.fragment for url in urls]
    assert topics == [f"context-{HID_BASE_RESOURCE + RESOURCE.IDD_MAIN:#x}",
                      f"context-{HID_BASE_RESOURCE + RESOURCE.IDD_ABOUTBOX:#x}"]
    headings = SectionHeadings(HELP_PAGE.read_text(encoding="utf-8")).headings
    assert [headings.get(topic) for topic in topics] == ["The settings window", "The About box"]


def test_f1_with_the_help_page_but_no_browser_says_so(clean_wine, program_with_help_page):
    clean_wine.run("reg", "delete", WEB_LINKS_COMMAND, "/f")
    program = SerialKey(clean_wine, exe=program_with_help_page)

    clean_wine.xdotool("key", "F1")

    box = program.message_box()
    assert (box["caption"], box["text"], box["buttons"]) == ("SerialKey", "Help could not be started.", ["OK"])

