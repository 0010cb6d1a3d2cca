"""Debian's Firefox ESR, headless, driven through WebDriver BiDi, which it
speaks itself (--remote-debugging-port): no geckodriver.

    with Firefox() as browser:
        context = browser.new_context()
        browser.navigate(context, "http://127.0.0.1:8015/")
        image = browser.screenshot(context)      # a png.Image
        browser.click(context, 100, 80)

A fresh profile in a temporary folder for each Firefox(); every wait has a
deadline and raises TimeoutError when it passes.
"""

import base64
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time

import websocket

import png


class BiDiError(Exception):
    pass


def plain(remote):
    """A script result (a BiDi remote value) as a Python value."""
    kind = remote.get("type")
    if kind in ("array", "set"):
        return [plain(item) for item in remote.get("value", [])]
    if kind in ("object", "map"):
        return {(key if isinstance(key, str) else plain(key)): plain(value)
                for key, value in remote.get("value", [])}
    if kind in ("undefined", "null"):
        return None
    return remote.get("value")


class Firefox:
    def __init__(self, binary="firefox-esr", width=800, height=600, timeout=60):
        self.profile = tempfile.mkdtemp(prefix="puzzle15-firefox-")
        # No first-run pages, updates or telemetry: a quiet browser that
        # stays off the network.
        with open(os.path.join(self.profile, "user.js"), "w") as prefs:
            for name, value in (("browser.shell.checkDefaultBrowser", "false"),
                                ("browser.startup.homepage_override.mstone", '"ignore"'),
                                ("datareporting.policy.dataSubmissionEnabled", "false"),
                                ("toolkit.telemetry.reportingpolicy.firstRun", "false"),
                                ("app.update.auto", "false"),
                                ("app.update.enabled", "false"),
                                ("browser.aboutwelcome.enabled", "false"),
                                ("extensions.update.enabled", "false")):
                prefs.write('user_pref("%s", %s);\n' % (name, value))
        command = [binary, "--headless", "--no-remote", "--profile", self.profile,
                   "--width", str(width), "--height", str(height),
                   "--remote-debugging-port", "0", "about:blank"]
        environment = dict(os.environ, MOZ_HEADLESS="1")
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, env=environment, start_new_session=True)
        # The port it chose is on its standard error; the rest is kept.
        self.log = []
        found = threading.Event()
        self.url = None

        def read_errors():
            for raw in self.process.stderr:
                line = raw.decode("utf-8", "replace")
                self.log.append(line)
                match = re.search(r"WebDriver BiDi listening on (ws://\S+)", line)
                if match and not found.is_set():
                    self.url = match.group(1)
                    found.set()

        threading.Thread(target=read_errors, daemon=True).start()
        if not found.wait(timeout):
            self.close()
            raise TimeoutError("firefox gave no WebDriver BiDi address within %s s:\n%s"
                               % (timeout, "".join(self.log[-20:])))
        self.socket = websocket.create_connection(self.url.rstrip("/") + "/session", timeout=30,
                                                  suppress_origin=True)
        self.next_id = 0
        self.events = []
        self.call("session.new", {"capabilities": {}})

    def call(self, method, params=None, timeout=60):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params or {}}))
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            self.socket.settimeout(max(end - time.monotonic(), 0.001))
            try:
                answer = json.loads(self.socket.recv())
            except websocket.WebSocketTimeoutException:
                continue
            if answer.get("id") == self.next_id:
                if answer.get("type") == "error":
                    raise BiDiError("%s: %s: %s" % (method, answer.get("error"), answer.get("message")))
                return answer.get("result", {})
            if answer.get("type") == "event":
                self.events.append(answer)
        raise TimeoutError("no answer to %s within %s s" % (method, timeout))

    def new_context(self):
        """The browser's first tab."""
        return self.call("browsingContext.getTree")["contexts"][0]["context"]

    def navigate(self, context, url, timeout=60):
        self.call("browsingContext.navigate", {"context": context, "url": url, "wait": "complete"}, timeout)

    def evaluate(self, context, expression):
        result = self.call("script.evaluate", {"expression": expression, "target": {"context": context},
                                               "awaitPromise": True, "resultOwnership": "none"})
        if result.get("type") == "exception":
            raise BiDiError("%s: %s" % (expression, result["exceptionDetails"].get("text")))
        return plain(result["result"])

    def wait_for(self, context, expression, timeout=60):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            value = self.evaluate(context, expression)
            if value:
                return value
            time.sleep(0.05)
        raise TimeoutError("%s did not become true within %s s" % (expression, timeout))

    def screenshot(self, context, clip=None):
        """The tab's viewport as a png.Image; CLIP (x, y, width, height in
        CSS pixels) takes part of it."""
        params = {"context": context}
        if clip:
            x, y, width, height = clip
            params["clip"] = {"type": "box", "x": x, "y": y, "width": width, "height": height}
        return png.decode(base64.b64decode(self.call("browsingContext.captureScreenshot", params)["data"]))

    def click(self, context, x, y):
        """A left click of the mouse at (X, Y), CSS pixels of the viewport."""
        self.call("input.performActions", {"context": context, "actions": [{
            "type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
            "actions": [{"type": "pointerMove", "x": int(x), "y": int(y)},
                        {"type": "pointerDown", "button": 0},
                        {"type": "pause", "duration": 50},
                        {"type": "pointerUp", "button": 0}]}]})
        self.call("input.releaseActions", {"context": context})

    def close(self):
        try:
            if getattr(self, "socket", None):
                try:
                    self.call("browser.close", timeout=10)
                except Exception:
                    pass
                self.socket.close()
        finally:
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
            self.process.stderr.close()
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()
