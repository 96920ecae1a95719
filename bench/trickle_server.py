#!/usr/bin/env python3
"""Serves one file on 127.0.0.1 slowly: SIZE bytes spread evenly over SECONDS.

usage: trickle_server.py PORT SIZE SECONDS
"""
import http.server
import sys
import time

PORT, SIZE, SECONDS = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
STEPS = int(SECONDS * 10)


class Trickle(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(SIZE))
        self.end_headers()
        sent = 0
        for step in range(1, STEPS + 1):
            upto = SIZE * step // STEPS
            self.wfile.write(b"t" * (upto - sent))
            self.wfile.flush()
            sent = upto
            if step < STEPS:
                time.sleep(SECONDS / STEPS)

    def log_message(self, *args):
        pass


http.server.HTTPServer(("127.0.0.1", PORT), Trickle).serve_forever()
