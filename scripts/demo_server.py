#!/usr/bin/env python3
"""The demo's download server: serves a folder over HTTP on 127.0.0.1 and
sends each file in small pieces over a few seconds, so the updater's
progress can be watched. Small files (a signature) go at once."""
import argparse
import http.server
import os
import time


class TrickleHandler(http.server.SimpleHTTPRequestHandler):
    seconds = 3.0

    def copyfile(self, source, outputfile):
        data = source.read()
        if len(data) < 4096:
            outputfile.write(data)
            return
        pieces = 40
        size = max(1, -(-len(data) // pieces))
        for offset in range(0, len(data), size):
            outputfile.write(data[offset:offset + size])
            outputfile.flush()
            time.sleep(self.seconds / pieces)

    def log_message(self, fmt, *args):
        print("server: " + fmt % args, flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, default=8047)
    parser.add_argument("--root", required=True)
    parser.add_argument("--seconds", type=float, default=3.0)
    args = parser.parse_args()
    TrickleHandler.seconds = args.seconds
    os.chdir(args.root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), TrickleHandler)
    # Port 0: one the system chooses, named here.
    print(f"server: serving {args.root} on http://127.0.0.1:{server.server_address[1]}/", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
