#!/usr/bin/env python3
"""A run-time error in a handler, in the browser: reported on the browser's
console, and the program goes on with the next handler instead of
aborting. Runs report_error (tests/windows/report_error.cpp, built for the
web by `cmake --build build-wasm --target report_error`) in Debian's
Chromium and reads the console.

    tests/web/tst_error_report.py [BUILD]        (build-wasm/ of the checkout)
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import website as web  # noqa: E402
from devtools import Chromium  # noqa: E402

BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 and os.path.isdir(sys.argv[1]) \
    else os.path.join(web.ROOT, "build-wasm")
REPORT = "Run-time error 6 in Command1_Click: Overflow"


class ErrorReport(unittest.TestCase):
    def test_the_error_goes_to_the_console_and_the_program_goes_on(self):
        server = web.Server(BUILD)
        try:
            with Chromium() as browser:
                page = browser.new_page()
                page.call("Log.enable")
                page.navigate(server.url + "report_error.html", timeout=60)
                lines = []
                deadline = time.monotonic() + 60
                while not any("next handler" in line for line in lines):
                    remaining = deadline - time.monotonic()
                    self.assertGreater(remaining, 0, "no word from the program; the console had: %s" % lines)
                    try:
                        event = page.wait_event("Runtime.consoleAPICalled", timeout=remaining)
                    except TimeoutError:
                        continue
                    lines += [str(arg.get("value", "")).strip() for arg in event["args"]]
                self.assertIn(REPORT, lines)
                self.assertIn("the next handler ran", lines)
                exceptions = [e for e in browser.connection.events if e["method"] == "Runtime.exceptionThrown"]
                self.assertEqual(exceptions, [])
        finally:
            server.stop()


if __name__ == "__main__":
    arguments = sys.argv[2:] if len(sys.argv) > 1 and os.path.isdir(sys.argv[1]) else sys.argv[1:]
    unittest.main(argv=[sys.argv[0]] + arguments, verbosity=2)
