"""SerialKey at work under Wine: COM1 is wired to a simulated serial device (a
pseudo-terminal) or to a real one, Open is pressed, and what arrives on the line
is typed into a receiver window. Prints the typed text and saves a screenshot."""

import argparse
import sys
import time

from winebed import BUILD_DIR, Pty, Receiver, SerialKey, wait_for_open, wait_until, wine_session

SCANS = [b"4006381333931\r", b"9780201379624\r", b"ST,GS,+0012.50kg\r"]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("device", nargs="?", help="a real serial device for COM1, e.g. /dev/ttyUSB0")
    args = parser.parse_args()
    screenshot = BUILD_DIR / "demo.png"

    with wine_session() as wine:
        pty = None if args.device else Pty()
        wine.set_port("COM1", args.device or pty.path)
        program = SerialKey(wine)
        print(f"SerialKey is running; COM1 is {args.device or 'a simulated device at ' + pty.path}.")
        program.open()  # the defaults: COM1, 9600 baud, 8 data bits, no parity, 1 stop bit
        if pty:
            wait_for_open(pty)
        else:
            time.sleep(1)  # the open sequence takes a little over 100 ms
            if program.probe("messagebox").returncode == 0:
                print(f"COM1 ({args.device}) could not be opened.")
                return 1
        receiver = Receiver(wine, wine.workdir / "receiver.log")

        if pty:
            for scan in SCANS:
                print("device sends:", scan)
                pty.send(scan)
                time.sleep(0.5)  # a person scanning the next item
            expected = "\r\n".join(scan.decode().rstrip("\r") for scan in SCANS) + "\r\n"
            wait_until(lambda: receiver.text() == expected, 30, "the typed text")
        else:
            print("Send or scan now; press Ctrl+C to finish.")
            try:
                while True:
                    time.sleep(1)
            except KeyboardInterrupt:
                pass

        wine.screenshot(screenshot)
        print("The receiver window shows:")
        print(receiver.text().replace("\r\n", "\n"), end="")
        print(f"\nScreenshot: {screenshot}")
        if pty:
            pty.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
