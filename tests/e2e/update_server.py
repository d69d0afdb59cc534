#!/usr/bin/env python3
"""The operator's update server for the self-update journey, reached as the prefix's HTTP proxy.

Under Wine the program asks this proxy for the operator's addresses: the update information
(http://HOST/live/downloadtxt.aspx) names a newer version and the installer's address on the
same host, and the installer's address answers the installer's bytes. Every request is logged
as one line "METHOD ADDRESS STATUS" to the log file, in the order it came.

The installer is sent in two halves: after the first the server waits until the file named by
--release exists (at most --hold seconds), so that the journey sees the download's progress
half way. With --fail-first-info the first request for the information is answered 404.
The listening port is written to --port-file once the server accepts connections.
"""
import argparse
import http.server
import os
import sys
import time
import urllib.parse

INFO_PATH = "/live/downloadtxt.aspx"


def make_handler(args):
    installer = open(args.installer, "rb").read()
    name = os.path.basename(args.installer)
    megabytes = f"{len(installer) / 1048576:.1f}".replace(".", ",")
    state = {"info_requests": 0}

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *_):
            pass

        def log_request_line(self, status):
            with open(args.log, "a", encoding="utf-8") as log:
                log.write(f"{self.command} {self.path} {status}\n")

        def answer(self, status, body, content_type, hold=False):
            self.log_request_line(status)
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            if self.command == "HEAD":
                return
            half = len(body) // 2 if hold else len(body)
            # The last piece of the half a moment later: Wine's urlmon reports the progress
            # of a read that had to wait, so the half is reported before the hold.
            self.wfile.write(body[: max(half - 4096, 0)])
            self.wfile.flush()
            if hold:
                time.sleep(0.3)
            self.wfile.write(body[max(half - 4096, 0) : half])
            self.wfile.flush()
            if hold:
                with open(args.log, "a", encoding="utf-8") as log:
                    log.write("HALF\n")
                deadline = time.monotonic() + args.hold
                while not os.path.exists(args.release) and time.monotonic() < deadline:
                    time.sleep(0.05)
                self.wfile.write(body[half:])

        def do_GET(self):
            address = urllib.parse.urlsplit(self.path)
            if address.hostname != args.host:
                return self.answer(502, b"not the operator's host", "text/plain")
            if address.path == INFO_PATH:
                state["info_requests"] += 1
                if args.fail_first_info and state["info_requests"] == 1:
                    return self.answer(404, b"not found", "text/plain")
                info = f"{args.version}\r\nhttp://{args.host}/live/{name}\r\n{megabytes} МБ"
                return self.answer(200, info.encode("cp1251"), "text/plain; charset=windows-1251")
            if address.path == f"/live/{name}":
                return self.answer(200, installer, "application/octet-stream", hold=True)
            return self.answer(404, b"not found", "text/plain")

        do_HEAD = do_GET

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--installer", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--release", required=True)
    parser.add_argument("--host", default="www.qvt.example")
    parser.add_argument("--version", type=int, default=2)
    parser.add_argument("--hold", type=float, default=20)
    parser.add_argument("--fail-first-info", action="store_true")
    parser.add_argument("--lifetime", type=float, default=170,
                        help="seconds after which the server ends by itself")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(args))
    server.daemon_threads = True
    server.timeout = 0.5
    with open(args.port_file + ".new", "w") as port:
        port.write(str(server.server_address[1]))
    os.replace(args.port_file + ".new", args.port_file)
    deadline = time.monotonic() + args.lifetime
    while time.monotonic() < deadline:
        server.handle_request()
    return 0


if __name__ == "__main__":
    sys.exit(main())
