#!/usr/bin/env python3
"""Load on the wizard's two form pages: 10,000 requests of the entry page and the selection
page over 64 keep-alive connections to `vorlintex serve` on a free loopback port. Fails on any
error (a status other than 200, a page without its end, a dropped connection) and when the
server's resident memory after the load is more than 10% above what it was before it (measured
after a warm-up that has every worker thread of the server serve).

    reliability/load_test.py [--vorlintex PATH] [--requests N] [--connections N]
"""

import argparse
import os
import sys
import threading
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vorlintex_server as vs  # noqa: E402


def worker(server, source, requests, results, index, barrier):
    """One browser: alternates the entry page and the selection page, keeping its session."""
    errors = []
    done = 0
    cookie = None
    body = urllib.parse.urlencode({
        "PageNumber": "1", "sourcedir": source, "targetdir": source + "-out%d" % index,
        "dllname": "Load%d" % index}).encode()
    try:
        connection = server.connect(timeout=30)
    except OSError as error:
        results[index] = (0, ["connect: %s" % error])
        barrier.wait()
        return
    barrier.wait()
    for number in range(requests):
        selection = number % 2 == 1
        try:
            if selection:
                status, headers, page = connection.request(vs.form_post(server, body, cookie))
            else:
                status, headers, page = connection.request(vs.entry_get(server, cookie))
            cookie = vs.session_cookie(headers) or cookie
        except (OSError, ValueError) as error:
            errors.append("request %d: %s" % (number, error))
            try:
                connection.close()
                connection = server.connect(timeout=30)
            except OSError:
                break
            continue
        if status != 200 or not page.endswith(b"</HTML>\r\n"):
            errors.append("request %d: status %d, %d bytes" % (number, status, len(page)))
        elif selection and b"page07.asp" not in page:
            errors.append("request %d: the selection page lists no pages" % number)
        done += 1
    connection.close()
    results[index] = (done, errors)


def load(server, source, total, connections):
    per_connection = [total // connections + (1 if i < total % connections else 0)
                      for i in range(connections)]
    results = [None] * connections
    barrier = threading.Barrier(connections + 1)
    threads = [threading.Thread(target=worker,
                                args=(server, source, per_connection[i], results, i, barrier))
               for i in range(connections)]
    for thread in threads:
        thread.start()
    barrier.wait()
    started = time.time()
    for thread in threads:
        thread.join()
    elapsed = time.time() - started
    served = sum(result[0] for result in results)
    errors = [error for result in results for error in result[1]]
    return served, errors, elapsed


# Whatever the clients do, the server stays under this, and is back within --return-mib of
# where it started within RETURN_SECONDS after they leave.
MEMORY_CEILING_KIB = 256 * 1024
RETURN_SECONDS = 5


def big_folder(root, files=20000):
    """A folder whose selection page is about 2 MB."""
    folder = os.path.join(root, "big")
    os.mkdir(folder)
    for number in range(files):
        open(os.path.join(folder, "customer_order_history_page_%05d.asp" % number), "w").close()
    return folder


def never_reading(server, folder, return_kib, clients=300):
    """`clients` connections each ask for the selection page of `folder` and read nothing of it;
    then they all leave. (peak KiB, KiB some seconds after, seconds taken to come back)."""
    body = urllib.parse.urlencode({"PageNumber": "1", "sourcedir": folder,
                                   "targetdir": folder + "-out", "dllname": "Big"}).encode()
    connections = []
    peak = server.rss_kib()
    for _ in range(clients):
        connection = server.connect(timeout=30)
        connection.send(vs.form_post(server, body))
        connections.append(connection)
        peak = max(peak, server.rss_kib())
    # Until the server has made every page (its CPU time stops growing) and some seconds more.
    quiet_since = time.time()
    cpu = server.cpu_ticks()
    while time.time() - quiet_since < 3:
        time.sleep(0.2)
        peak = max(peak, server.rss_kib())
        if server.cpu_ticks() != cpu:
            cpu = server.cpu_ticks()
            quiet_since = time.time()
    for connection in connections:
        connection.close()
    left = time.time()
    after = server.rss_kib()
    while time.time() - left < RETURN_SECONDS:
        after = server.rss_kib()
        if after <= server.start_kib + return_kib:
            break
        time.sleep(0.1)
    return peak, after, time.time() - left


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vorlintex", help="the vorlintex executable")
    parser.add_argument("--requests", type=int, default=10000)
    parser.add_argument("--connections", type=int, default=64)
    parser.add_argument("--warmup", type=int, default=4000)
    # As many as the server has worker threads (its default pool), so that every worker has
    # served before the baseline is taken: a worker's first request touches its stack.
    parser.add_argument("--warmup-connections", type=int, default=128)
    # The sanitizers' allocator keeps freed memory (and its shadow) longer: the test command
    # allows it more.
    parser.add_argument("--return-mib", type=int, default=16)
    args = parser.parse_args()

    binary = vs.find_binary(args.vorlintex)
    with vs.Server(binary) as server:
        source = vs.make_site(server.scratch)
        served, errors, _ = load(server, source, args.warmup, args.warmup_connections)
        if errors:
            print("FAIL warm-up: %d errors, first: %s" % (len(errors), errors[0]))
            return 1
        time.sleep(0.5)
        before = server.rss_kib()
        served, errors, elapsed = load(server, source, args.requests, args.connections)
        time.sleep(0.5)
        after = server.rss_kib()
        server.start_kib = after
        folder = big_folder(server.scratch)
        started = time.time()
        peak, left, back_in = never_reading(server, folder, args.return_mib * 1024)
        unread_seconds = time.time() - started
        alive = server.alive()

    print("served %d of %d requests over %d connections in %.1f s (%.0f/s), %d errors"
          % (served, args.requests, args.connections, elapsed, served / elapsed, len(errors)))
    print("resident memory: %d KiB before, %d KiB after (%+.1f%%)"
          % (before, after, 100.0 * (after - before) / before))
    print("300 clients not reading a 2 MB page: %d KiB at peak, %d KiB %.1f s after they "
          "left (%d KiB before; %.0f s)" % (peak, left, back_in, after, unread_seconds))
    failed = False
    if peak > MEMORY_CEILING_KIB:
        print("FAIL: resident memory reached %d MiB" % (peak // 1024))
        failed = True
    if left > after + args.return_mib * 1024:
        print("FAIL: resident memory %d KiB more than before, %d s after the clients left"
              % (left - after, RETURN_SECONDS))
        failed = True
    if errors:
        print("FAIL: %d errors, first: %s" % (len(errors), "; ".join(errors[:3])))
        failed = True
    if served != args.requests:
        print("FAIL: only %d requests answered" % served)
        failed = True
    if after > before * 1.10:
        print("FAIL: resident memory grew by more than 10%")
        failed = True
    if not alive:
        print("FAIL: the server exited")
        failed = True
    print("FAIL" if failed else "ok")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
