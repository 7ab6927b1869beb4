#!/usr/bin/env python3
"""Hostile load on the page host that unit tests cannot make: 1,000 new sessions a second,
400 posts of a 1 MB field, 10,000 selected pages, clients trickling their requests, 600 clients
each holding a 1 MiB body unfinished. Each gets
its answer or is given up on, the server's resident memory stays bounded, and a probe client is
answered throughout. (How each malformed, oversized or foreign request is answered, the limits
on a head's lines and bytes among them, pagehost_tests checks over loopback.)

    VORLINTEX=build/app/vorlintex reliability/bad_input_test.py
"""

import concurrent.futures
import os
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vorlintex_server as vs  # noqa: E402

# How long a client may wait for the server, and how long a probe may wait for the entry page.
GIVE_UP_SECONDS = 30
PROBE_LIMIT_SECONDS = 5
# Resident memory may grow by this much over the run (sessions, worker threads), no more.
MEMORY_LIMIT_KIB = 64 * 1024
# The request bodies being received, all connections together (HttpLimits::max_receiving),
# and what the server may hold while clients fill that bound and the answers' bound.
BODY_BOUND = 64 << 20
BODIES_RSS_LIMIT_KIB = 256 * 1024


def entry_page(server):
    """Asks for the entry page on a new connection: what went wrong, or None."""
    connection = server.connect(timeout=PROBE_LIMIT_SECONDS)
    try:
        status, _, page = connection.request(vs.entry_get(server))
        return None if status == 200 and page.endswith(b"</HTML>\r\n") else "status %d" % status
    except (OSError, ValueError) as error:
        return str(error)
    finally:
        connection.close()


class Probe(threading.Thread):
    """Asks for the entry page every 100 ms while the bad clients do their worst, recording
    every failure, the slowest answer and the peak resident memory."""

    def __init__(self, server):
        super().__init__(daemon=True)
        self.server, self.stop, self.failures = server, threading.Event(), []
        self.slowest, self.peak_rss = 0.0, server.rss_kib()

    def run(self):
        while not self.stop.wait(0.1):
            started = time.time()
            failure = entry_page(self.server)
            if failure:
                self.failures.append(failure)
            self.slowest = max(self.slowest, time.time() - started)
            self.peak_rss = max(self.peak_rss, self.server.rss_kib())


def in_parallel(count, work):
    """work(index) for each index below `count`, each on a thread of its own; their results."""
    with concurrent.futures.ThreadPoolExecutor(count) as pool:
        return list(pool.map(work, range(count)))


def posts(server, body, count, senders, status, session, text=b"", per_second=None):
    """Sends `count` posts of `body` over `senders` keep-alive connections (at `per_second`, if
    given); each must be answered `status`, with a new session or not (None: either), by a
    page holding `text`. The wrong answers."""
    started = time.time()

    def sender(index):
        connection = server.connect(timeout=GIVE_UP_SECONDS)
        wrong = []
        for number in range(count // senders):
            due = started + (number * senders + index) / per_second if per_second else 0
            time.sleep(max(0, due - time.time()))
            try:
                answer, headers, page = connection.request(vs.form_post(server, body))
                started_one = "set-cookie" in headers if session is not None else None
                got = (answer, started_one, text in page)
            except (OSError, ValueError) as error:
                got = (str(error), None, None)
                connection.close()
            if got != (status, session, True):
                wrong.append("answered %s, session %s, the page as it should be: %s" % got)
        connection.close()
        return wrong

    return sum(in_parallel(senders, sender), [])


def session_flood(server):
    """1,000 new sessions a second for 10 s: well-formed, so each gets its page and a session."""
    body = vs.selection_form("/nonexistent", "/nonexistent-out", "x")
    return posts(server, body, 10000, 64, 200, True, per_second=1000)


def megabyte_fields(server):
    """Posts that would each start a session holding a 1 MB sourcedir: no path is that long, so
    each is refused and stores nothing."""
    body = vs.selection_form("/" + "d" * 1000000, "/tmp/out", "x")
    return posts(server, body, 400, 8, 400, False, b"no folder or file name is that long")


def repeated_asplist(server):
    """A selection of 10,000 pages is a legitimate form: it is served."""
    body = vs.selection_form(server.site, os.path.join(server.scratch, "asplist-out"), "Many",
                             page="2") + b"&asplist=page00.asp" * 10000
    return posts(server, body, 1, 1, 200, None)


def trickling_clients(server, clients=160, seconds=20):
    """More clients than the server has worker threads, each sending its request head one byte
    every two seconds for `seconds`; the probe is answered meanwhile."""
    def trickle(_):
        connection = server.connect(timeout=seconds + 10)
        try:
            for byte in vs.entry_get(server)[:seconds // 2]:
                connection.send(bytes([byte]))
                time.sleep(2)
        except OSError:
            pass  # the server gave up on this client, as it may
        connection.close()

    in_parallel(clients, trickle)
    return []


def unfinished_bodies(server, clients=600):
    """Clients let in by the access cookie, each sending all but the last byte of a 1 MiB form
    and waiting: the bodies being received share one bound, so the server holds a few and
    refuses the others 503, and its memory stays bounded however many come."""
    body = b"PageNumber=1&sourcedir="
    body += b"d" * ((1 << 20) - len(body))
    unfinished = vs.form_post(server, body)[:-1]
    connections = [server.connect(timeout=GIVE_UP_SECONDS) for _ in range(clients)]

    def send(connection):
        try:
            connection.send(unfinished)
        except OSError:
            pass  # refused and closed while still sending, as the server may

    with concurrent.futures.ThreadPoolExecutor(64) as pool:
        list(pool.map(send, connections))
    # Sent is not yet read: the system buffers megabytes for each connection. The server has
    # read what it takes once its memory stops growing.
    last, steady_since, waited_until = server.rss_kib(), time.time(), time.time() + 20
    while time.time() - steady_since < 2 and time.time() < waited_until:
        time.sleep(0.25)
        now = server.rss_kib()
        if now > last + 1024:
            last, steady_since = now, time.time()
    answers = {}
    for connection in connections:
        try:
            connection.sock.setblocking(False)
            got = connection.sock.recv(64)
            answer = got.split(b" ")[1].decode() if got else "closed"
        except BlockingIOError:
            answer = "waiting"
        except OSError:
            answer = "closed"  # reset after its answer: refused
        answers[answer] = answers.get(answer, 0) + 1
        connection.close()
    print("       %d clients: %s" % (clients, ", ".join(
        "%d %s" % (count, answer) for answer, count in sorted(answers.items()))))
    held = answers.get("waiting", 0)
    refused = answers.get("503", 0) + answers.get("closed", 0)
    wrong = [] if held + refused == clients else ["answered %s" % answers]
    if held * (1 << 20) > BODY_BOUND:
        wrong.append("%d unfinished bodies of 1 MiB held at once" % held)
    return wrong


# Each case: its name, its run, and the resident memory (KiB) it may take the server to:
# None, within MEMORY_LIMIT_KIB of the start.
CASES = [
    ("fields longer than any path", megabyte_fields, None),
    ("10,000 asplist fields", repeated_asplist, None),
    ("1,000 new sessions a second", session_flood, None),
    ("clients trickling their requests", trickling_clients, None),
    ("600 unfinished 1 MiB bodies", unfinished_bodies, BODIES_RSS_LIMIT_KIB),
]


def main():
    failures = []
    with vs.Server(vs.find_binary()) as server:
        # Start the worker threads and the first session before the baseline.
        for _ in range(3):
            entry_page(server)
        time.sleep(0.5)
        baseline = server.rss_kib()
        probe = Probe(server)
        probe.start()
        for name, run, rss_limit in CASES:
            started = time.time()
            probe.peak_rss = server.rss_kib()
            wrong = run(server)
            if rss_limit is None:
                rss_limit = baseline + MEMORY_LIMIT_KIB
            if probe.peak_rss > rss_limit:
                wrong.append("resident memory %d KiB at peak, over %d" % (probe.peak_rss, rss_limit))
            print("%-4s %s (%.1f s, %d KiB at peak)"
                  % ("FAIL" if wrong else "ok", name, time.time() - started, probe.peak_rss))
            for what in sorted(set(wrong))[:5]:
                print("       %s" % what)
            failures += [name] if wrong else []
        probe.stop.set()
        probe.join()

    print("probe: slowest %.2f s, %d failures%s; resident memory %d KiB at start"
          % (probe.slowest, len(probe.failures), (": " + "; ".join(probe.failures[:3]))
             if probe.failures else "", baseline))
    if probe.failures or probe.slowest > PROBE_LIMIT_SECONDS:
        failures.append("the server stopped answering other clients")
    print("FAIL: " + "; ".join(failures) if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
