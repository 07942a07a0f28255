#!/usr/bin/python3
"""A small FTP server on loopback standing in for the partner's server.

Serves one folder to the partner account (user "ftpvend1", password "qT#wz4Lp" unless
--password says otherwise) with read and write permission, in passive mode.

  /usr/bin/python3 scripts/ftp_server.py --root DIR [--port N] [--port-file FILE]
      [--password PW] [--cut NAME]... [--stall NAME]... [--rename OLD NEW]... [--log FILE]
      [--while-exists FILE] [--quiet]

--port 0 (the default) takes a free port; the port is printed on standard output as
"port N" and, with --port-file, written to that file once the server is listening.
--cut NAME breaks every download of NAME halfway: the data connection is closed after half of
the file and the transfer is reported as aborted.
--stall NAME stalls every download of NAME halfway: the first half of the file is sent, then
nothing more on either connection, as from a server that has hung: no reply to any command, no
final reply, and nothing closed by the server (it leaves a data connection the client closes half
open), until the client gives up on the control connection (or the server ends).
--rename OLD NEW renames the root's file OLD to NEW before serving: for names that a Windows
program cannot write side by side, such as two that differ only in case.
--log FILE appends one line per transfer: "sent NAME", "incomplete NAME", "received NAME", and
"login-failed USER" for a refused login; "stalled NAME" when a stalled download stops sending.
--while-exists FILE serves only while FILE exists, then closes every connection and writes
FILE.stopped: a way to end the server for a caller that cannot signal it (a Windows program
under wine, where a unix process it starts is not its child).
"""

import argparse
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer


class CutProducer:
    """Sends the first half of the file as it is, then fails as a broken read would."""

    buffer_size = 65536

    def __init__(self, file):
        self.file = file
        file.seek(0, os.SEEK_END)
        self._left = file.tell() // 2
        file.seek(0)

    def more(self):
        if self._left <= 0:
            raise OSError(5, "transfer cut by the test server")
        data = self.file.read(min(self._left, self.buffer_size))
        self._left -= len(data)
        return data


class StallingDTPHandler(DTPHandler):
    """A data connection that, once stalled, neither answers nor closes when the client closes."""

    stalled = False
    held = []  # stalled connections the client closed: kept open, no longer watched

    def handle_close(self):
        if not self.stalled:
            return super().handle_close()
        self.del_channel()
        StallingDTPHandler.held.append(self)
        return None


def make_handler(cut_names, stall_names, log_path):
    class Handler(FTPHandler):
        dtp_handler = StallingDTPHandler
        _stalled = None  # (file, first half) of a stalled download waiting for its connection
        _silent = False  # a download has stalled: the control connection answers nothing more

        def respond(self, resp, *args, **kwargs):
            if not self._silent:
                super().respond(resp, *args, **kwargs)

        def pre_process_command(self, line, cmd, arg):
            if not self._silent:
                super().pre_process_command(line, cmd, arg)

        def _note(self, text):
            if log_path:
                with open(log_path, "a", encoding="utf-8") as log:
                    log.write(text + "\n")

        def ftp_RETR(self, file):
            if os.path.basename(file) in stall_names:
                return self._stall_RETR(file)
            if os.path.basename(file) not in cut_names:
                return super().ftp_RETR(file)
            try:
                fd = self.run_as_current_user(self.fs.open, file, "rb")
            except OSError as err:
                self.respond("550 %s." % err.strerror)
                return None
            self.use_sendfile = False  # sendfile would send the whole file past the producer
            self.push_dtp_data(CutProducer(fd), isproducer=True,
                               file=fd, cmd="RETR")
            return file

        def _stall_RETR(self, file):
            try:
                fd = self.run_as_current_user(self.fs.open, file, "rb")
            except OSError as err:
                self.respond("550 %s." % err.strerror)
                return None
            half = fd.read()
            half = half[:len(half) // 2]
            if self.data_channel is not None:
                self.respond("125 Data connection already open. Transfer starting.")
                self._push_stalled(fd, half)
            else:
                self.respond("150 File status okay. About to open data connection.")
                self._stalled = (fd, half)
            return file

        def _on_dtp_connection(self):
            super()._on_dtp_connection()
            if self._stalled is not None:
                fd, half = self._stalled
                self._stalled = None
                self._push_stalled(fd, half)

        def _push_stalled(self, fd, half):
            # Never told to finish: no end of data, no final reply, until the client goes.
            self.data_channel.file_obj = fd
            self.data_channel.cmd = "RETR"
            self.data_channel.push(half)
            self.data_channel.stalled = True
            self._silent = True
            self._note("stalled " + os.path.basename(fd.name))

        def on_file_sent(self, file):
            self._note("sent " + os.path.basename(file))

        def on_incomplete_file_sent(self, file):
            self._note("incomplete " + os.path.basename(file))

        def on_file_received(self, file):
            self._note("received " + os.path.basename(file))

        def on_login_failed(self, username, password):
            self._note("login-failed " + username)

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="the folder served as the login directory")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--user", default="ftpvend1")
    parser.add_argument("--password", default="qT#wz4Lp")
    parser.add_argument("--cut", action="append", default=[])
    parser.add_argument("--stall", action="append", default=[])
    parser.add_argument("--rename", nargs=2, action="append", default=[])
    parser.add_argument("--log")
    parser.add_argument("--while-exists")
    parser.add_argument("--quiet", action="store_true")
    args = parser.parse_args()

    logging.basicConfig(level=logging.WARNING if args.quiet else logging.INFO,
                        format="ftp_server: %(message)s")
    for old, new in args.rename:
        os.rename(os.path.join(args.root, old), os.path.join(args.root, new))
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, os.path.abspath(args.root), perm="elradfmwMT")
    handler = make_handler(set(args.cut), set(args.stall), args.log)
    handler.authorizer = authorizer
    handler.banner = "test FTP server ready"
    handler.auth_failed_timeout = 0.1  # refuse a wrong password at once, not after 3 seconds
    server = FTPServer((args.host, args.port), handler)
    port = server.socket.getsockname()[1]
    print("port %d" % port, flush=True)
    if args.port_file:
        # Written under a temporary name first, so that a reader never sees half a number.
        part = args.port_file + ".part"
        with open(part, "w", encoding="ascii") as out:
            out.write("%d\n" % port)
        os.replace(part, args.port_file)
    try:
        if args.while_exists:
            while os.path.exists(args.while_exists):
                server.serve_forever(timeout=0.05, blocking=False, handle_exit=False)
        else:
            server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()
        if args.while_exists:
            with open(args.while_exists + ".stopped", "w", encoding="ascii"):
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
