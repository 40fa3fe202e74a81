#!/usr/bin/python3
"""The demo (scripts/run-demo, what make run starts) beside a user's own profile and running
client: the demo comes up in a profile and on a session bus of its own, and the user's draft,
files and client are as they were.

Usage: run_demo_isolation.py SOURCE_DIR BIN_DIR
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

source, bin_dir = sys.argv[1:3]
work = tempfile.mkdtemp(prefix="quibbo-demo-")
children = []
NAME = "example.quibbo.Quibbo"


def fail(message):
    print("FAIL:", message, flush=True)
    raise SystemExit(1)


def wait_for(what, find, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    fail("waited %d s for %s" % (timeout, what))


def ask_bus(bus, method, *arguments):
    return subprocess.run(["dbus-send", "--bus=" + bus, "--print-reply",
                           "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus." + method, *arguments],
                          capture_output=True, text=True).stdout


def owned(bus):
    return "boolean true" in ask_bus(bus, "NameHasOwner", "string:" + NAME)


def owner_pid(bus):
    return int(ask_bus(bus, "GetConnectionUnixProcessID", "string:" + NAME).split()[-1])


def snapshot(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read()
    return files


try:
    home = os.path.join(work, "home")
    user = dict(os.environ, HOME=home, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8",
                XDG_CONFIG_HOME=os.path.join(home, "config"),
                XDG_DATA_HOME=os.path.join(home, "data"),
                XDG_STATE_HOME=os.path.join(home, "state"),
                XDG_CACHE_HOME=os.path.join(home, "cache"),
                XDG_RUNTIME_DIR=work)
    for variable in ("DISPLAY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS"):
        user.pop(variable, None)
    os.makedirs(os.path.join(home, "state", "quibbo"))
    draft = os.path.join(home, "state", "quibbo", "draft.json")
    with open(draft, "w") as f:
        f.write('{"message":"The user\'s own words","recipient":"07700 900123"}')

    # The user's session: a bus, and their client on it.
    daemon = subprocess.Popen(["dbus-daemon", "--config-file=" +
                               os.path.join(source, "scripts", "demo-bus.conf"),
                               "--print-address=1", "--nofork"],
                              stdout=subprocess.PIPE, text=True, env=user)
    children.append(daemon)
    user["DBUS_SESSION_BUS_ADDRESS"] = daemon.stdout.readline().strip()
    client = subprocess.Popen([os.path.join(bin_dir, "quibbo")], env=user)
    children.append(client)
    wait_for("the user's client on the user's bus",
             lambda: owned(user["DBUS_SESSION_BUS_ADDRESS"]))
    before = snapshot(home)

    # The demo, started from the user's session as make run starts it.
    demo = subprocess.Popen([os.path.join(source, "scripts", "run-demo")],
                            env=dict(user, QUIBBO_BIN=bin_dir,
                                     QUIBBO_DEMO=os.path.join(work, "demo")),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            start_new_session=True)
    children.append(demo)
    said = []
    threading.Thread(target=lambda: said.extend(demo.stdout), daemon=True).start()
    announced = "run-demo: the demo has a session bus of its own: "
    deadline = time.monotonic() + 60
    line = None
    while not line and time.monotonic() < deadline and demo.poll() is None:
        # The bus daemon's own warnings share the stream, and may begin a line before the
        # announcement is written into it.
        line = next((l[l.index(announced):] for l in list(said) if announced in l), None)
        time.sleep(0.05)
    if not line:
        fail("the demo did not start on a bus of its own; it said: %s" % "".join(said))
    demo_bus = line[len(announced):].strip()
    wait_for("the demo's client on the demo's bus", lambda: owned(demo_bus))
    if client.poll() is not None:
        fail("the user's client ended when the demo started")
    # The demo's own client, not the user's (to which a demo on the user's bus hands over).
    pid = owner_pid(demo_bus)
    if pid == client.pid:
        fail("the demo handed itself over to the user's client")
    with open("/proc/%d/environ" % pid, "rb") as f:
        environment = dict(entry.split(b"=", 1) for entry in f.read().split(b"\0") if b"=" in entry)
    demo_dir = os.path.join(work, "demo").encode()
    for variable in (b"XDG_CONFIG_HOME", b"XDG_DATA_HOME", b"XDG_STATE_HOME", b"XDG_CACHE_HOME"):
        if not environment.get(variable, b"").startswith(demo_dir):
            fail("the demo's %s is %r" % (variable.decode(), environment.get(variable)))
    # Nothing is started on the demo's bus on demand: no keyring.
    if "org.freedesktop.secrets" in ask_bus(demo_bus, "ListActivatableNames"):
        fail("a keyring can be started on the demo's bus")

    os.killpg(demo.pid, signal.SIGTERM)
    demo.wait(20)
    if client.poll() is not None:
        fail("the user's client ended with the demo")
    after = snapshot(home)
    if after != before:
        changed = sorted(set(before) ^ set(after)
                         | {k for k in before if k in after and before[k] != after[k]})
        fail("the demo changed the user's files: %s" % changed)
    print("the demo ran beside the user's client; the user's %d files are unchanged" % len(after))
finally:
    # The demo's whole group (the simulator, the log's tail, the bus, the client) goes too.
    if len(children) > 2:
        try:
            os.killpg(children[2].pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    for process in reversed(children):
        if process.poll() is None:
            process.kill()
            process.wait()
    shutil.rmtree(work, ignore_errors=True)
