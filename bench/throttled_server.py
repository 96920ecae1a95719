#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 no faster than a given rate, as a link of
that speed would: each response paced to RATE bytes a second.

usage: throttled_server.py PORT ROOT RATE
"""
import http.server
import os
import sys
import time

PORT, ROOT, RATE = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
TICK = 0.01


class Throttled(http.server.SimpleHTTPRequestHandler):
    def copyfile(self, source, outputfile):
        start = time.monotonic()
        sent = 0
        piece = max(1, int(RATE * TICK))
        while True:
            data = source.read(piece)
            if not data:
                return
            outputfile.write(data)
            sent += len(data)
            ahead = sent / RATE - (time.monotonic() - start)
            if ahead > 0:
                time.sleep(ahead)

    def log_message(self, *args):
        pass


os.chdir(ROOT)
http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Throttled).serve_forever()
