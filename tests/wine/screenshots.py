"""Pictures of SerialKey under Wine: the settings window (docs/settings-window.png, which the
README shows), the About box, and the icon in the notification area with its tip. The last two
go to screenshots/ in the build directory under test."""

import pathlib
import subprocess
import sys

from win32 import WM_SYSCOMMAND
from winebed import BUILD_DIR, DESKTOP_HEIGHT, DESKTOP_WIDTH, RESOURCE, Pty, SerialKey, wait_until, wine_session

DOCS = pathlib.Path(__file__).resolve().parents[2] / "docs"
ABOUT_TITLE = SerialKey.ABOUT_TITLE


def rect_of(wine, title):
    window = wine.window(title)
    assert window, f"no window {title!r}"
    return tuple(map(int, window["rect"].split()))


def save(wine, path, left, top, right, bottom):
    shot = wine.workdir / "screen.png"
    wine.screenshot(shot)
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", str(shot), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                    str(path)], check=True, timeout=60)
    print(path)


def main():
    with wine_session() as wine:
        pty = Pty()
        wine.set_port("COM1", pty.path)
        # The desktop comes up with the first program and puts the pointer in its middle, over a
        # list, which then draws its button lit: the pointer goes aside before the window comes.
        wine.probe("tooltip")
        wine.xdotool("mousemove", 5, 5)
        program = SerialKey(wine)
        save(wine, DOCS / "settings-window.png", *rect_of(wine, SerialKey.TITLE))

        program.probe("post", WM_SYSCOMMAND, RESOURCE.IDM_ABOUTBOX, 0)
        wait_until(lambda: wine.window(ABOUT_TITLE).get("foreground") == "1", 30, "the About box")
        wine.probe("idle", ABOUT_TITLE)
        save(wine, BUILD_DIR / "screenshots/about-box.png", *rect_of(wine, ABOUT_TITLE))
        wine.xdotool("key", "Escape")

        x, y = wait_until(lambda: wine.tray_icons(), 30, "the icon")[0]
        wine.xdotool("mousemove", x, y)
        wait_until(lambda: wine.probe("tooltip").returncode == 0, 30, "the tip")
        save(wine, BUILD_DIR / "screenshots/notification-area.png",
             DESKTOP_WIDTH - 240, DESKTOP_HEIGHT - 60, DESKTOP_WIDTH, DESKTOP_HEIGHT)
        pty.close()


if __name__ == "__main__":
    sys.exit(main())
