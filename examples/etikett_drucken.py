#!/usr/bin/python3
"""Prints one article label and one address label through the Tarvel automation
server, with dbus-next. The session bus starts the server by itself."""
import asyncio

from dbus_next import Variant
from dbus_next.aio import MessageBus


async def proxy(bus, name, path, interface):
    introspection = await bus.introspect(name, path)
    return bus.get_proxy_object(name, path, introspection).get_interface(interface)


async def main():
    bus = await MessageBus().connect()
    server = await proxy(bus, "Tarvel.Application", "/Tarvel", "Tarvel.Server")

    path = await server.call_create_object("Tarvel.Application")
    label = await proxy(bus, "Tarvel.Application", path, "Tarvel.Application")
    # Record fields are variants; dbus-next wraps the value once more, which the server unwraps.
    await label.set_artikel_nr(Variant("s", "PY-0815"))
    await label.set_preis1(Variant("s", "24,90 €"))
    await label.set_preis2(Variant("s", ""))
    await label.set_match_code(Variant("s", "REISEFUEHRER"))
    await label.set_waren_gruppe(Variant("i", 7))
    await label.set_isbn(Variant("s", "978-3-86680-192-9"))
    await label.call_drucke_label()
    await label.call_release()  # delivers the job

    path = await server.call_create_object("Tarvel.AdressLabels")
    adressen = await proxy(bus, "Tarvel.AdressLabels", path, "Tarvel.AdressLabels")
    gedruckt = await adressen.call_drucke(1, ["Buchhandlung am Markt", "Herrn Max Mustermann",
                                              "Bahnhofstraße 12", "54321 Beispielstadt", ""])
    print("\n".join(gedruckt))
    await adressen.call_release()
    bus.disconnect()


asyncio.run(main())
