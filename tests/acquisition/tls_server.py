#!/usr/bin/env python3
"""A TLS file server for the tests: serves ROOT on a free loopback port with CERT and KEY.

Prints the port on the first line of stdout, then serves until it is ended.
Usage: tls_server.py CERT KEY ROOT
"""
import functools
import http.server
import ssl
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    cert, key, root = sys.argv[1:4]
    handler = functools.partial(QuietHandler, directory=root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
