"""Debian's Chromium, headless, driven through its DevTools protocol.

A browser of its own for each Chromium(): a fresh profile in a temporary
folder (so nothing is cached from an earlier run), and the protocol spoken
over one WebSocket (Debian's python3-websocket) with one session per page.
Input goes in as the browser's own mouse, touch and key events
(Input.dispatch*Event), which the page receives as a user's; screenshots
and the accessibility tree come out as the browser has them.

    with Chromium() as browser:
        page = browser.new_page()
        page.navigate("http://127.0.0.1:8015/")
        page.wait_for("document.readyState == 'complete'")
        page.click(100, 80)
        image = page.screenshot()          # a png.Image

Every wait has a deadline and raises TimeoutError when it passes.
"""

import base64
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

import websocket

import png

# The switches Chromium needs to run headless on a build machine or in a
# chroot as root, and to stay off the network: no sandbox for root, no GPU,
# and none of the background services that talk to Google.
CHROMIUM_SWITCHES = [
    "--headless=new",
    "--disable-gpu",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-extensions",
    "--mute-audio",
    "--hide-scrollbars",
    "--remote-debugging-port=0",
]


def deadline_loop(timeout, step=0.02):
    """Yields until TIMEOUT seconds have passed, sleeping STEP between."""
    end = time.monotonic() + timeout
    while True:
        yield
        if time.monotonic() > end:
            return
        time.sleep(step)


class ProtocolError(Exception):
    pass


class Connection:
    """One WebSocket to the browser; commands wait for their answer, events
    that arrive meanwhile are kept until someone waits for them."""

    def __init__(self, url):
        self.socket = websocket.create_connection(url, timeout=30, suppress_origin=True)
        self.next_id = 0
        self.events = []

    def close(self):
        self.socket.close()

    def _receive(self, timeout):
        self.socket.settimeout(max(timeout, 0.001))
        try:
            return json.loads(self.socket.recv())
        except websocket.WebSocketTimeoutException:
            return None

    def call(self, method, params=None, session=None, timeout=30):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            answer = self._receive(end - time.monotonic())
            if answer is None:
                continue
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise ProtocolError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            if "method" in answer:
                self.events.append(answer)
        raise TimeoutError("no answer to %s within %s s" % (method, timeout))

    def wait_event(self, method, session=None, predicate=lambda params: True, timeout=30):
        """The parameters of the first event METHOD (of SESSION) that
        PREDICATE accepts, kept or still to come."""
        end = time.monotonic() + timeout
        while True:
            for index, event in enumerate(self.events):
                if (event["method"] == method and event.get("sessionId") == session
                        and predicate(event.get("params", {}))):
                    del self.events[index]
                    return event.get("params", {})
            remaining = end - time.monotonic()
            if remaining <= 0:
                raise TimeoutError("no %s within %s s" % (method, timeout))
            event = self._receive(remaining)
            if event is not None and "method" in event:
                self.events.append(event)

    def drop_events(self, method=None, session=None):
        self.events = [e for e in self.events
                       if not ((method is None or e["method"] == method) and e.get("sessionId") == session)]


# Keys as Chromium takes them: the DOM key value, its code and the Windows
# virtual key code (which the page sees as keyCode).
KEYS = {
    "Tab": ("Tab", "Tab", 9),
    "Enter": ("Enter", "Enter", 13),
    "Backspace": ("Backspace", "Backspace", 8),
    "Escape": ("Escape", "Escape", 27),
    "Space": (" ", "Space", 32),
    "ArrowLeft": ("ArrowLeft", "ArrowLeft", 37),
    "ArrowUp": ("ArrowUp", "ArrowUp", 38),
    "ArrowRight": ("ArrowRight", "ArrowRight", 39),
    "ArrowDown": ("ArrowDown", "ArrowDown", 40),
    "F2": ("F2", "F2", 113),
}
for _letter in "abcdefghijklmnopqrstuvwxyz":
    KEYS[_letter] = (_letter, "Key" + _letter.upper(), ord(_letter.upper()))
MODIFIERS = {"Alt": 1, "Ctrl": 2, "Meta": 4, "Shift": 8}


class Page:
    def __init__(self, connection, target, session):
        self.connection = connection
        self.target = target
        self.session = session

    def call(self, method, params=None, timeout=30):
        return self.connection.call(method, params, self.session, timeout)

    def wait_event(self, method, predicate=lambda params: True, timeout=30):
        return self.connection.wait_event(method, self.session, predicate, timeout)

    def navigate(self, url, timeout=30):
        """Goes to URL and waits until the page has loaded."""
        self.connection.drop_events("Page.loadEventFired", self.session)
        result = self.call("Page.navigate", {"url": url})
        if result.get("errorText"):
            raise ProtocolError("navigating to %s: %s" % (url, result["errorText"]))
        self.wait_event("Page.loadEventFired", timeout=timeout)

    def reload(self, timeout=30):
        self.connection.drop_events("Page.loadEventFired", self.session)
        self.call("Page.reload", {"ignoreCache": False})
        self.wait_event("Page.loadEventFired", timeout=timeout)

    def evaluate(self, expression, timeout=30):
        """The value of a JavaScript expression in the page (awaited if it
        is a promise)."""
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, timeout)
        if "exceptionDetails" in result:
            raise ProtocolError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30):
        """Waits until EXPRESSION is true in the page; returns its value."""
        for _ in deadline_loop(timeout, 0.05):
            value = self.evaluate(expression)
            if value:
                return value
        raise TimeoutError("%s did not become true within %s s" % (expression, timeout))

    def screenshot(self, clip=None, timeout=10):
        """The page as shown, as a png.Image (CLIP: x, y, width, height in
        CSS pixels). A capture that meets a renderer being swapped (during a
        navigation) fails; it is tried again."""
        params = {"format": "png", "captureBeyondViewport": False}
        if clip:
            x, y, width, height = clip
            params["clip"] = {"x": x, "y": y, "width": width, "height": height, "scale": 1}
        error = None
        for _ in deadline_loop(timeout, 0.1):
            try:
                data = self.call("Page.captureScreenshot", params)["data"]
                return png.decode(base64.b64decode(data))
            except ProtocolError as failure:
                error = failure
        raise TimeoutError("no screenshot within %s s: %s" % (timeout, error))

    def mouse(self, kind, x, y, button="none", buttons=0, click_count=0, modifiers=0):
        self.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": button,
                                               "buttons": buttons, "clickCount": click_count,
                                               "modifiers": modifiers, "pointerType": "mouse"})

    def click(self, x, y):
        """A left click at (X, Y), CSS pixels from the page's top left."""
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, "left", 1, 1)
        self.mouse("mouseReleased", x, y, "left", 0, 1)

    def tap(self, x, y):
        """A tap of one finger at (X, Y)."""
        point = [{"x": x, "y": y, "radiusX": 4, "radiusY": 4, "force": 1, "id": 1}]
        self.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": point})
        self.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def key(self, name, *modifiers):
        """Presses and releases a key of KEYS, with modifiers ("Ctrl", ...)."""
        key, code, virtual = KEYS[name]
        flags = sum(MODIFIERS[m] for m in modifiers)
        down = {"type": "keyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": virtual, "nativeVirtualKeyCode": virtual, "modifiers": flags}
        if len(key) == 1 and not flags & 6:
            down["text"] = key
            down["unmodifiedText"] = key
        self.call("Input.dispatchKeyEvent", down)
        self.call("Input.dispatchKeyEvent", {"type": "keyUp", "key": key, "code": code,
                                             "windowsVirtualKeyCode": virtual,
                                             "nativeVirtualKeyCode": virtual, "modifiers": flags})

    def accessibility_tree(self):
        """Chromium's whole accessibility tree of the page: its nodes, each
        a dict with role, name, value and properties as plain values."""
        nodes = self.call("Accessibility.getFullAXTree")["nodes"]
        result = []
        for node in nodes:
            if node.get("ignored"):
                continue
            entry = {"id": node["nodeId"], "role": node.get("role", {}).get("value"),
                     "name": node.get("name", {}).get("value", ""),
                     "value": node.get("value", {}).get("value"),
                     "backend": node.get("backendDOMNodeId")}
            for prop in node.get("properties", []):
                entry[prop["name"]] = prop.get("value", {}).get("value")
            result.append(entry)
        return result

    def press_node(self, backend_node_id):
        """Clicks a DOM node the way assistive technology does, through the
        element's own click(); it may be inside a shadow root."""
        remote = self.call("DOM.resolveNode", {"backendNodeId": backend_node_id})["object"]
        self.call("Runtime.callFunctionOn", {"objectId": remote["objectId"],
                                             "functionDeclaration": "function () { this.click(); }"})


class Chromium:
    def __init__(self, binary="chromium", switches=(), timeout=30):
        self.profile = tempfile.mkdtemp(prefix="puzzle15-chromium-")
        command = [binary] + CHROMIUM_SWITCHES + ["--user-data-dir=" + self.profile] + list(switches)
        if os.geteuid() == 0:
            # Chromium's sandbox does not run as root.
            command.insert(1, "--no-sandbox")
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(command + ["about:blank"], stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        lines = None
        for _ in deadline_loop(timeout, 0.05):
            if self.process.poll() is not None:
                raise RuntimeError("chromium ended with %s; see %s" % (self.process.returncode, self.log.name))
            if os.path.exists(port_file):
                with open(port_file) as f:
                    lines = f.read().split("\n")
                if len(lines) >= 2 and lines[1]:
                    break
        else:
            raise TimeoutError("chromium gave no DevTools port within %s s" % timeout)
        self.connection = Connection("ws://127.0.0.1:%s%s" % (lines[0], lines[1]))

    def new_page(self, width=800, height=600):
        """A new tab of WIDTH by HEIGHT CSS pixels, its page, runtime,
        network and accessibility domains on."""
        target = self.connection.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.connection.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        page = Page(self.connection, target, session)
        page.call("Page.enable")
        page.call("Runtime.enable")
        page.call("Emulation.setDeviceMetricsOverride", {"width": width, "height": height,
                                                         "deviceScaleFactor": 1, "mobile": False})
        return page

    def close(self):
        try:
            self.connection.call("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.connection.close()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()
