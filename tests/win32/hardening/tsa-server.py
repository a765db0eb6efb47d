#!/usr/bin/env python3
"""A local RFC 3161 time-stamp server for the signing tests: each HTTP POST
of a time-stamp query is answered by `openssl ts -reply` with the given
authority's key and certificate. Listens on 127.0.0.1 on a free port, which
it writes to --port-file once it accepts connections."""
import argparse
import http.server
import os
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--config", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--chain", required=True)
    parser.add_argument("--port-file", required=True)
    options = parser.parse_args()

    class TimeStampHandler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            query = self.rfile.read(length)
            with tempfile.TemporaryDirectory() as work:
                query_file = os.path.join(work, "query.tsq")
                reply_file = os.path.join(work, "reply.tsr")
                with open(query_file, "wb") as f:
                    f.write(query)
                result = subprocess.run(
                    ["openssl", "ts", "-reply", "-config", options.config, "-section", "tsa_config",
                     "-queryfile", query_file, "-inkey", options.key, "-signer", options.cert,
                     "-chain", options.chain, "-out", reply_file],
                    capture_output=True)
                if result.returncode != 0:
                    sys.stderr.write(result.stderr.decode(errors="replace"))
                    self.send_response(500)
                    self.end_headers()
                    return
                with open(reply_file, "rb") as f:
                    reply = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(reply)))
            self.end_headers()
            self.wfile.write(reply)

    server = http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler)
    temporary = options.port_file + ".part"
    with open(temporary, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(temporary, options.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
