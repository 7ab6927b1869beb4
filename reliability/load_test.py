#!/usr/bin/env python3
"""Load on the wizard's two form pages: 10,000 requests of the entry page and the selection
page over 64 keep-alive connections to `vorlintex serve`, after a warm-up that has every worker
thread serve. Fails on any error and when resident memory after the load is more than 10% above
what it was before it. Then 300 clients ask for a 2 MB selection page and read none of it:
memory must stay under 256 MiB and be back within --return-mib of where it was 5 s after they
leave.

    VORLINTEX=build/app/vorlintex reliability/load_test.py [--requests N] [--connections N]
        [--return-mib N]
"""

import argparse
import os
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vorlintex_server as vs  # noqa: E402

MEMORY_CEILING_KIB = 256 * 1024
RETURN_SECONDS = 5


def selection_post(server, folder, name, cookie=None):
    return vs.form_post(server, vs.selection_form(folder, folder + "-out" + name, name),
                        cookie=cookie)


def browser(server, source, requests, index, errors, start):
    """Alternates the entry page and the selection page, keeping its session."""
    connection = server.connect(timeout=30)
    start.wait()  # every connection is open before any asks, so the server's workers all serve
    cookie = None
    for number in range(requests):
        selection = number % 2 == 1
        try:
            status, headers, page = connection.request(
                selection_post(server, source, "Load%d" % index, cookie) if selection else
                vs.entry_get(server, cookie))
            cookie = vs.session_cookie(headers) or cookie
        except (OSError, ValueError) as error:
            status, page = error, b""
            connection.close()
        if status != 200 or not page.endswith(b"</HTML>\r\n") or \
                selection and b"page07.asp" not in page:
            errors.append("request %d: %s, %d bytes" % (number, status, len(page)))
    connection.close()


def load(server, source, total, connections):
    """(errors, seconds taken)."""
    errors, start = [], threading.Barrier(connections + 1, timeout=60)
    threads = [threading.Thread(target=browser, args=(
        server, source, total // connections + (i < total % connections), i, errors, start))
        for i in range(connections)]
    for thread in threads:
        thread.start()
    start.wait()
    started = time.time()
    for thread in threads:
        thread.join()
    return errors, time.time() - started


def never_reading(server, folder, clients=300):
    """`clients` connections each ask for the selection page of `folder` and read nothing of it
    until the server has made every page (its CPU time stops growing); then they all leave. The
    peak resident KiB."""
    connections = []
    peak = server.rss_kib()
    for _ in range(clients):
        connections.append(server.connect(timeout=30))
        connections[-1].send(selection_post(server, folder, "Big"))
        peak = max(peak, server.rss_kib())
    quiet_since, cpu = time.time(), server.cpu_ticks()
    while time.time() - quiet_since < 3:
        time.sleep(0.2)
        peak = max(peak, server.rss_kib())
        if server.cpu_ticks() != cpu:
            quiet_since, cpu = time.time(), server.cpu_ticks()
    for connection in connections:
        connection.close()
    return peak


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--requests", type=int, default=10000)
    parser.add_argument("--connections", type=int, default=64)
    parser.add_argument("--warmup", type=int, default=4000)
    # As many as the server's default pool of workers: a worker's first request grows its stack.
    parser.add_argument("--warmup-connections", type=int, default=128)
    # The sanitizers' allocator keeps freed memory longer: the test command allows it more.
    parser.add_argument("--return-mib", type=int, default=16)
    args = parser.parse_args()

    with vs.Server(vs.find_binary()) as server:
        source = server.site
        warmup_errors, _ = load(server, source, args.warmup, args.warmup_connections)
        time.sleep(0.5)
        before = server.rss_kib()
        errors, elapsed = load(server, source, args.requests, args.connections)
        time.sleep(0.5)
        after = server.rss_kib()
        folder = os.path.join(server.scratch, "big")  # its selection page is about 2 MB
        os.mkdir(folder)
        for number in range(20000):
            open(os.path.join(folder, "customer_order_history_page_%05d.asp" % number), "w").close()
        peak = never_reading(server, folder)
        left = time.time()
        while server.rss_kib() > after + args.return_mib * 1024 and \
                time.time() - left < RETURN_SECONDS:
            time.sleep(0.1)
        back, alive = server.rss_kib(), server.process.poll() is None

    print("%d requests over %d connections in %.1f s, %d errors; resident memory %d KiB before, "
          "%d KiB after; 300 clients not reading: %d KiB at peak, %d KiB after they left"
          % (args.requests, args.connections, elapsed, len(errors), before, after, peak, back))
    failures = [message for failed, message in [
        (warmup_errors, "warm-up: %d errors, first: %s" % (len(warmup_errors), warmup_errors[:1])),
        (errors, "%d errors, first: %s" % (len(errors), "; ".join(errors[:3]))),
        (after > before * 1.10, "resident memory grew by more than 10%"),
        (peak > MEMORY_CEILING_KIB, "resident memory reached %d MiB" % (peak // 1024)),
        (back > after + args.return_mib * 1024, "resident memory %d KiB more than before, %d s "
         "after the clients left" % (back - after, RETURN_SECONDS)),
        (not alive, "the server exited")] if failed]
    for message in failures:
        print("FAIL: " + message)
    print("FAIL" if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
