#!/usr/bin/env python3
"""Serves the files of one folder on 127.0.0.1 with sendfile(2), so the
server costs next to nothing and a benchmark measures the client.

usage: sendfile_server.py PORT FOLDER
"""
import os
import socketserver
import sys

PORT, FOLDER = int(sys.argv[1]), sys.argv[2]


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        while True:
            request = self.rfile.readline()
            if not request:
                return
            while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                pass
            parts = request.split()
            path = os.path.join(FOLDER, os.path.basename(parts[1].decode())) if len(parts) > 1 else ""
            if not os.path.isfile(path):
                self.wfile.write(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
                continue
            with open(path, "rb") as f:
                size = os.fstat(f.fileno()).st_size
                self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                                 b"Content-Length: %d\r\n\r\n" % size)
                self.wfile.flush()
                self.connection.sendfile(f)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


Server(("127.0.0.1", PORT), Handler).serve_forever()
