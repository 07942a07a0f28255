#!/usr/bin/python3
"""A scripted SQL Server endpoint on loopback, for the wire cases no SQLite run can show.

It speaks just enough TDS 7.4 for an ODBC driver to log in and run statements: it answers the
pre-login (no encryption), takes any login and acknowledges it (database "Business", collation
SQL_Latin1_General_CP1_CI_AS), then answers each batch, remote procedure call or transaction
request by the first rule of the script whose text occurs in it (UTF-16LE, as the driver sends
SQL text), and anything no rule matches with an empty DONE. An attention (cancel) is acknowledged.

The script is a JSON list of rules:
  {"match": "SCOPE_IDENTITY", "results": [{"columns": ["TriggerID"], "rows": [[7]]},
                                          {"columns": ["ID"], "rows": [[42]]}]}
  {"match": "WAITFOR", "silent": true}      never answered (a cancel is acknowledged)
  {"match": "WAITFOR", "silent": true, "deaf": true}   neither it nor a cancel is answered
  {"match": "Orders", "error": "Invalid object name 'Orders'.", "number": 208}
A column is a bigint holding whole numbers, or an nvarchar holding texts when its name ends in
":nvarchar" ("Name:nvarchar"); any value may be null.

Each request is appended to the log file as one line: its packet type in hex, a blank, and its
payload in hex, so a test can see exactly what the driver sent.

Not covered: encryption (TLS inside TDS), column types other than bigint and nvarchar, output
parameters and return values, prepared handles (so a prepared statement runs once per
connection: FreeTDS's second execution by handle is refused), MARS, Sybase TDS 5.0, and every
server-side meaning: nothing is stored, nothing is checked.

Usage: tds_endpoint.py SCRIPT.json LOG PORT-FILE [ALIVE-FILE]
writes the port it listens on to PORT-FILE; with ALIVE-FILE, ends soon after that file is gone
(for a caller that cannot signal it: a Windows program under wine).
"""

import json
import os
import socket
import struct
import sys
import threading
import time

PRELOGIN, LOGIN7, BATCH, RPC, ATTENTION, TRANSACTION = 0x12, 0x10, 0x01, 0x03, 0x06, 0x0E
REPLY = 0x04
COLLATION = bytes([0x09, 0x04, 0xD0, 0x00, 0x34])  # SQL_Latin1_General_CP1_CI_AS, code page 1252


def b_varchar(text):
    data = text.encode("utf-16-le")
    return bytes([len(text)]) + data


def done(status=0x0000, count=0, token=0xFD):
    return struct.pack("<BHHQ", token, status, 0xC1, count)


def env_change(kind, new, old=""):
    body = bytes([kind]) + b_varchar(new) + b_varchar(old)
    return struct.pack("<BH", 0xE3, len(body)) + body


def collation_change():
    body = bytes([7, len(COLLATION)]) + COLLATION + bytes([0])
    return struct.pack("<BH", 0xE3, len(body)) + body


def login_ack():
    body = bytes([1]) + bytes([0x74, 0x00, 0x00, 0x04]) + b_varchar("Microsoft SQL Server")
    body += bytes([16, 0, 0x10, 0x00])  # server version 16.0.4096
    return struct.pack("<BH", 0xAD, len(body)) + body


def error_token(number, message):
    body = struct.pack("<iBB", number, 1, 16)
    body += struct.pack("<H", len(message)) + message.encode("utf-16-le")
    body += b_varchar("endpoint") + b_varchar("") + struct.pack("<i", 1)
    return struct.pack("<BH", 0xAA, len(body)) + body


def result_set(columns, rows, more):
    out = struct.pack("<BH", 0x81, len(columns))
    texts = [name.endswith(":nvarchar") for name in columns]
    for name, text in zip(columns, texts):
        out += struct.pack("<IH", 0, 0x0009)
        if text:
            out += bytes([0xE7]) + struct.pack("<H", 8000) + COLLATION
            name = name[:-len(":nvarchar")]
        else:
            out += bytes([0x26, 8])
        out += b_varchar(name)
    for row in rows:
        out += bytes([0xD1])
        for value, text in zip(row, texts):
            if text:
                data = value.encode("utf-16-le") if value is not None else None
                out += b"\xff\xff" if data is None else struct.pack("<H", len(data)) + data
            else:
                out += bytes([0]) if value is None else bytes([8]) + struct.pack("<q", value)
    status = 0x0010 | (0x0001 if more else 0)
    return out + done(status, len(rows))


def answer(rule):
    if "error" in rule:
        return error_token(rule.get("number", 50000), rule["error"]) + done(0x0002)
    results = rule.get("results", [])
    if not results:
        return done()
    out = b""
    for i, result in enumerate(results):
        out += result_set(result["columns"], result["rows"], i + 1 < len(results))
    return out


def read_message(conn):
    """One whole request: its packet type and its payload, or None at the end of the stream."""
    payload, kind = b"", None
    while True:
        header = read_exactly(conn, 8)
        if header is None:
            return None
        kind, status, length = header[0], header[1], struct.unpack(">H", header[2:4])[0]
        body = read_exactly(conn, length - 8)
        if body is None:
            return None
        payload += body
        if status & 0x01:
            return kind, payload


def read_exactly(conn, n):
    data = b""
    while len(data) < n:
        chunk = conn.recv(n - len(data))
        if not chunk:
            return None
        data += chunk
    return data


def send(conn, payload):
    size = 4096
    for start in range(0, max(len(payload), 1), size - 8):
        piece = payload[start:start + size - 8]
        last = start + size - 8 >= len(payload)
        header = struct.pack(">BBHHBB", REPLY, 1 if last else 0, len(piece) + 8, 0, 1, 0)
        conn.sendall(header + piece)


def prelogin_reply():
    options = [(0x00, bytes([16, 0, 0x10, 0x00, 0, 0])), (0x01, bytes([0x02])), (0x02, b"\0"),
               (0x04, b"\0")]
    offset = 5 * len(options) + 1
    head, data = b"", b""
    for kind, value in options:
        head += struct.pack(">BHH", kind, offset + len(data), len(value))
        data += value
    return head + b"\xff" + data


def serve(conn, rules, log, lock):
    deaf = False  # after a rule that says so, a cancel is not answered either
    with conn:
        while True:
            message = read_message(conn)
            if message is None:
                return
            kind, payload = message
            with lock, open(log, "a") as out:
                out.write("%02x %s\n" % (kind, payload.hex()))
            if kind == PRELOGIN:
                send(conn, prelogin_reply())
            elif kind == LOGIN7:
                send(conn, env_change(1, "Business", "master") + collation_change() +
                     env_change(2, "us_english") + login_ack() + env_change(4, "4096", "4096") +
                     done())
            elif kind == ATTENTION:
                if not deaf:
                    send(conn, done(0x0020))
            else:
                rule = next((r for r in rules if r["match"].encode("utf-16-le") in payload), {})
                if rule.get("silent"):
                    deaf = rule.get("deaf", False)
                    continue
                send(conn, answer(rule))


def end_when_gone(path):
    while os.path.exists(path):
        time.sleep(0.05)
    os._exit(0)


def main():
    script, log, port_file = sys.argv[1:4]
    alive = sys.argv[4] if len(sys.argv) > 4 else None
    with open(script) as f:
        rules = json.load(f)
    lock = threading.Lock()
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(16)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)
    if alive:
        threading.Thread(target=end_when_gone, args=(alive,), daemon=True).start()
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, rules, log, lock), daemon=True).start()


if __name__ == "__main__":
    main()
