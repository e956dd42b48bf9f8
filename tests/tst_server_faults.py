#!/usr/bin/python3
"""What only the server process shows, end to end: started by activation on a private bus,
with the grace period for abandoned objects cut to one second (TARVEL_TEST_GRACE_MS).
Usage: tst_server_faults.py BUILD_DIR"""
import asyncio, glob, os, pathlib, signal, subprocess, sys, tempfile, time

from dbus_next import Message, MessageType, Variant
from dbus_next.aio import MessageBus

build = sys.argv[1]
tmp = tempfile.mkdtemp()
home, jobs_folder = f"{tmp}/home", f"{tmp}/home/Documents/Tarvel"
APP, ADRESS, UNKNOWN = "Tarvel.Application", "Tarvel.AdressLabels", "org.freedesktop.DBus.Error.UnknownObject"
os.makedirs(f"{tmp}/services")
for name in (APP, ADRESS):
    pathlib.Path(f"{tmp}/services/{name}.service").write_text(
        f"[D-BUS Service]\nName={name}\nExec={build}/src/tarvel --automation\n")
pathlib.Path(f"{tmp}/bus.conf").write_text(f"""<busconfig><type>session</type><listen>unix:path={tmp}/bus</listen>
<servicedir>{tmp}/services</servicedir>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
</policy></busconfig>""")
# An Arabic locale: what the server prints and answers stays German all the same.
env = {"PATH": os.environ["PATH"], "HOME": home, "LANG": "ar_SA.UTF-8", "LC_ALL": "ar_SA.UTF-8", "QT_QPA_PLATFORM": "offscreen",
       "XDG_RUNTIME_DIR": tmp, "CUPS_SERVER": "/nonexistent", "TARVEL_TEST_GRACE_MS": "1000"}
daemon = subprocess.Popen(["dbus-daemon", f"--config-file={tmp}/bus.conf", "--nofork", "--print-address"],
                          stdout=subprocess.PIPE, env=env, text=True)
env["DBUS_SESSION_BUS_ADDRESS"] = address = daemon.stdout.readline().strip()


async def call(bus, path, member, signature="", body=(), interface=None):
    """The reply, or the error's name and text."""
    cls = ADRESS if path.startswith("/Tarvel/AdressLabels") else APP
    reply = await bus.call(Message(destination=cls, path=path, interface=interface or cls, member=member,
                                   signature=signature, body=list(body)))
    return reply.body if reply.message_type == MessageType.METHOD_RETURN else f"{reply.error_name} {reply.body[0]}"


async def create(bus, cls=APP):
    reply = await call(bus, "/Tarvel", "CreateObject", "s", [cls], "Tarvel.Server")
    assert isinstance(reply, list), reply
    return reply[0]


async def labels(bus, numbers):
    """An object that printed a label for each number."""
    path = await create(bus)
    for number in numbers:
        await call(bus, path, "Set", "ssv", [APP, "ArtikelNr", Variant("s", number)], "org.freedesktop.DBus.Properties")
        assert await call(bus, path, "DruckeLabel") == [], number
    return path


async def ask_bus(bus, member):
    """The bus's answer about the server's name (its process, whether it is owned)."""
    return (await bus.call(Message(destination="org.freedesktop.DBus", path="/org/freedesktop/DBus",
                                   interface="org.freedesktop.DBus", member=member, signature="s", body=[APP]))).body[0]


async def server_pid(bus):
    return await ask_bus(bus, "GetConnectionUnixProcessID")


async def unowned(bus, seconds=5):
    """Once the bus has noticed that the server is gone: a call then starts a new one."""
    end = time.monotonic() + seconds
    while await ask_bus(bus, "NameHasOwner") and time.monotonic() < end:
        await asyncio.sleep(0.05)
    return not await ask_bus(bus, "NameHasOwner")


async def wait_until(condition, seconds):
    end = time.monotonic() + seconds
    while not condition() and time.monotonic() < end:
        await asyncio.sleep(0.05)
    return condition()


async def delivered(count, seconds=5):
    """The jobs once there are count of them: each as its barcodes, one page a label."""
    await wait_until(lambda: len(glob.glob(f"{jobs_folder}/*.pdf")) >= count, seconds)
    result = []
    for pdf in sorted(glob.glob(f"{jobs_folder}/*.pdf")):  # its pages beside it, as <pdf>-N.pgm
        subprocess.run(["pdftoppm", "-r", "300", "-gray", pdf, pdf], check=True)
        result.append([subprocess.run(["zbarimg", "-q", "--raw", p], capture_output=True, text=True).stdout.strip()
                       for p in sorted(glob.glob(f"{pdf}-*.pgm"))])
        os.remove(pdf)
    return result


def gone(pid):
    try:
        return open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()[0] == "Z"
    except OSError:
        return True


async def activation_and_one_job_at_release(bus):
    path = await labels(bus, ["4711-0815", "TV 100"])
    assert path.startswith("/Tarvel/Application/") and path.rsplit("/", 1)[1].isdigit(), path
    pid = await server_pid(bus)
    # A second server finds the names taken, leaves them and ends.
    assert subprocess.run([f"{build}/src/tarvel", "--automation"], env=env, capture_output=True, timeout=20).returncode == 0
    assert await server_pid(bus) == pid
    assert await delivered(1, 0.3) == [], "ein Auftrag vor der Freigabe"
    props = "org.freedesktop.DBus.Properties"
    assert await call(bus, path, "Set", "ssv", [APP, "Preis1", Variant("d", 1234.5)], props) == []
    price = (await call(bus, path, "Get", "ss", [APP, "Preis1"], props))[0]
    while isinstance(price, Variant):
        price = price.value
    assert price == "1234,5", price
    assert await call(bus, path, "Release") == []
    assert await delivered(1) == [["4711-0815", "TV 100"]]


async def abandoned_object_is_delivered_after_the_grace(bus):
    gone_client = await MessageBus(bus_address=address).connect()
    path = await labels(gone_client, ["WEG-1", "WEG-2", "WEG-3"])
    gone_client.disconnect()
    since = time.monotonic()
    assert await delivered(1, 10) == [["WEG-1", "WEG-2", "WEG-3"]]
    assert time.monotonic() - since > 0.8
    assert (await call(bus, path, "DruckeLabel")).startswith(UNKNOWN)


async def object_limits_across_connections(bus):
    """64 objects a connection, 512 in all; a released one makes room, and those of a connection gone
    count no more after the grace."""
    floods = [await MessageBus(bus_address=address).connect() for _ in range(8)]
    replies = await asyncio.gather(*(call(flood, "/Tarvel", "CreateObject", "s", [ADRESS], "Tarvel.Server")
                                     for flood in floods for _ in range(65)))
    refused = [r for r in replies if isinstance(r, str)]
    assert len(refused) == 8 and all(r.startswith("Tarvel.Error.CannotCreateObject") for r in refused), refused
    assert any(r.endswith("Laufzeitfehler 429: Objekt kann nicht erstellt werden (Tarvel.AdressLabels: diese Verbindung "
                          "hält schon 64 Objekte, das Höchste; erst freigeben)") for r in refused), refused
    assert "der Server hält schon 512 Objekte" in await call(bus, "/Tarvel", "CreateObject", "s", [APP], "Tarvel.Server")
    first = [r[0] for r in replies[:65] if not isinstance(r, str)]  # those of floods[0]
    assert await call(floods[0], first[0], "Release") == []
    assert await call(floods[0], await create(floods[0], ADRESS), "Release") == []
    for flood in floods:
        flood.disconnect()
    await asyncio.sleep(2.5)
    assert await call(bus, await create(bus, ADRESS), "Release") == []


async def terminated_server_delivers_open_jobs(bus):
    await labels(bus, ["BEENDET"])
    address_labels = await create(bus, ADRESS)
    lines = ["Erika Mustermann", "", "Hauptstr. 1", "", "12345 Musterstadt"]
    assert (await call(bus, address_labels, "Drucke", "nas", [0, lines]))[0] == lines
    pid = await server_pid(bus)
    os.kill(pid, signal.SIGTERM)
    assert await wait_until(lambda: gone(pid), 5)
    assert sorted(await delivered(2)) == [[""], ["BEENDET"]]


async def paths_outlive_their_server(bus):
    """Killed or ended when idle, no later server hands out its paths again."""
    killed = await create(bus)
    first = await server_pid(bus)
    os.kill(first, signal.SIGKILL)
    assert await wait_until(lambda: gone(first), 5) and await unowned(bus)
    second = await create(bus)
    pid = await server_pid(bus)
    assert pid != first and second != killed, second
    assert (await call(bus, killed, "DruckeLabel")).startswith(UNKNOWN)
    assert await call(bus, second, "Release") == []
    since = time.monotonic()
    assert await wait_until(lambda: gone(pid), 14) and time.monotonic() - since < 11, "der Server endet nicht"
    assert await unowned(bus)
    third = await create(bus)
    assert third not in (killed, second), third
    assert (await call(bus, second, "DruckeLabel")).startswith(UNKNOWN)
    await call(bus, third, "Release")


async def activation_environment(bus, **variables):
    """What the bus hands the next servers it starts (an empty value counts as unset)."""
    await bus.call(Message(destination="org.freedesktop.DBus", path="/org/freedesktop/DBus",
                           interface="org.freedesktop.DBus", member="UpdateActivationEnvironment",
                           signature="a{ss}", body=[variables]))


async def stop_server(bus):
    if await ask_bus(bus, "NameHasOwner"):
        pid = await server_pid(bus)
        os.kill(pid, signal.SIGTERM)
        assert await wait_until(lambda: gone(pid), 5) and await unowned(bus)


async def servers_that_start_or_end_at_a_bad_moment(bus):
    """A display of a session long gone leaves the server offscreen. A CreateObject that reaches the idle
    server just as it gives up its names (sent to its own connection, as the bus routes a call a moment
    before) gets an object, and the server goes on serving it under the names."""
    await stop_server(bus)
    await activation_environment(bus, DISPLAY=":97", WAYLAND_DISPLAY="wayland-97", QT_QPA_PLATFORM="",
                                 TARVEL_TEST_IDLE_MS="200")
    released = asyncio.Queue()
    def on_release(m):
        if m.member == "NameOwnerChanged" and m.body[0] == APP and not m.body[2]:
            released.put_nowait(m.body[1])
    bus.add_message_handler(on_release)
    await bus.call(Message(destination="org.freedesktop.DBus", path="/org/freedesktop/DBus", interface="org.freedesktop.DBus",
                           member="AddMatch", signature="s", body=[f"type='signal',member='NameOwnerChanged',arg0='{APP}'"]))
    try:
        for _ in range(3):
            await call(bus, await create(bus), "Release")
            server = await asyncio.wait_for(released.get(), 5)
            reply = await bus.call(Message(destination=server, path="/Tarvel", interface="Tarvel.Server",
                                           member="CreateObject", signature="s", body=[APP]))
            assert reply.message_type == MessageType.METHOD_RETURN, reply.body
            path = reply.body[0]
            assert await call(bus, path, "Set", "ssv", [APP, "ArtikelNr", Variant("s", "ENDE")],
                              "org.freedesktop.DBus.Properties") == []
            assert await call(bus, path, "Release") == []
    finally:
        bus.remove_message_handler(on_release)
        await activation_environment(bus, DISPLAY="", WAYLAND_DISPLAY="", QT_QPA_PLATFORM="offscreen",
                                     TARVEL_TEST_IDLE_MS="")
        await stop_server(bus)


async def main():
    bus, failed = await MessageBus(bus_address=address).connect(), 0
    tests = (activation_and_one_job_at_release, abandoned_object_is_delivered_after_the_grace,
             object_limits_across_connections, terminated_server_delivers_open_jobs, paths_outlive_their_server,
             servers_that_start_or_end_at_a_bad_moment)
    for test in tests:
        try:
            await test(bus)
            print(f"ok: {test.__name__}")
        except Exception as e:
            print(f"FEHLER: {test.__name__}: {type(e).__name__} {e}")
            failed += 1
    print(f"{len(tests) - failed} passed, {failed} failed")
    return failed


result = 1
try:
    result = asyncio.run(main())
finally:
    daemon.terminate()  # the servers end with their bus
    daemon.wait()
    subprocess.run(["rm", "-rf", tmp])
sys.exit(1 if result else 0)
