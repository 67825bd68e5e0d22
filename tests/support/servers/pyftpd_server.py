#!/usr/bin/python3
"""An FTP server for the tests, on pyftpdlib (Debian python3-pyftpdlib).

Serves one folder to one user on a loopback port, passive and active
allowed, and logs every command and reply to a file. The hostile options
make it misbehave the way broken or malicious servers do, so that the tests
can show the program copes: a listing of the test's choosing, replies out of
bounds, garbage, a PASV reply naming another address, slow data.
"""

import argparse
import asynchat
import logging
import os
import resource
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import ActiveDTP, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def read_lines(path):
    with open(path, "rb") as f:
        return [line.rstrip(b"\r\n") for line in f]


class EndlessReply:
    """A producer of reply lines "211-..." that never runs out."""

    def __init__(self):
        self.count = 0

    def more(self):
        self.count += 1
        return b"211-line %d of a reply that never ends\r\n" % self.count


class EndlessListing:
    """A producer of listing lines without end; with a pause, one line after
    each pause, and the listing ends after a minute's worth of them."""

    def __init__(self, pause_ms):
        self.pause = pause_ms / 1000.0
        self.count = 0

    def more(self):
        self.count += 1
        if self.pause > 0:
            if self.count * self.pause > 60:
                return b""
            time.sleep(self.pause)
        return b"type=file;size=1;modify=20240101000000; endless %d\r\n" % self.count


def make_handler(opts):
    class HostileHandler(FTPHandler):
        def _raw(self, data):
            asynchat.async_chat.push(self, data)

        def push(self, s):
            # Replies naming a folder (CWD, PWD) carry its bytes as they are.
            data = s.encode("utf8", self.unicode_errors)
            if getattr(self, "_extra_pending", False) and s[:1] in "2345" and s[3:4] == " ":
                # One reply too many, sent with the final reply in one
                # piece, so that it is there before the next command.
                self._extra_pending = False
                data += opts.extra_reply.encode("utf8") + b"\r\n"
            asynchat.async_chat.push(self, data)

        def pre_process_command(self, line, cmd, arg):
            if cmd == opts.huge_reply:
                self.logline("<- %s" % line)
                self._raw(b"200 " + b"x" * (1024 * 1024) + b"\r\n")
                return
            if cmd == opts.garbage_reply:
                self.logline("<- %s" % line)
                self._raw(b"\x00\xff\xfe\x01garbage \x9b\x1b[2J\r\n\xc3\x28\r\n")
                return
            if cmd == opts.endless_reply:
                self.logline("<- %s" % line)
                self._raw(b"211-a reply without end\r\n")
                self.push_with_producer(EndlessReply())
                return
            if cmd == opts.extra_reply_after:
                self._extra_pending = True
            return FTPHandler.pre_process_command(self, line, cmd, arg)

        def on_login(self, username):
            if opts.login_folder:
                self.fs.cwd = opts.login_folder
            return FTPHandler.on_login(self, username)

        def ftp_PWD(self, line):
            if opts.pwd_without_quote:
                self.respond('257 "/no/closing/quote')
                return
            if opts.resolved_pwd:
                # As servers that report the folder a link led to.
                real = os.path.realpath(self.fs.ftp2fs(self.fs.cwd))
                rel = os.path.relpath(real, os.path.realpath(self.fs.root))
                cwd = "/" if rel == "." else "/" + rel
                self.respond('257 "%s" is the current directory.' % cwd.replace('"', '""'))
                return
            return FTPHandler.ftp_PWD(self, line)

        def ftp_LIST(self, path):
            if opts.refuse_listing and os.path.basename(path) == opts.refuse_listing:
                self.respond("550 Listing refused.")
                return
            if opts.listing is None:
                return FTPHandler.ftp_LIST(self, path)
            data = b"".join(line + b"\r\n" for line in read_lines(opts.listing))
            self.push_dtp_data(data, cmd="LIST")
            return path

        def ftp_MLSD(self, path):
            if opts.refuse_listing and os.path.basename(path) == opts.refuse_listing:
                self.respond("550 Listing refused.")
                return
            if opts.endless_listing is not None:
                self.push_dtp_data(EndlessListing(opts.endless_listing), isproducer=True,
                                   cmd="MLSD")
                return path
            if opts.mlsd is None:
                return FTPHandler.ftp_MLSD(self, path)
            data = b"".join(line + b"\r\n" for line in read_lines(opts.mlsd))
            self.push_dtp_data(data, cmd="MLSD")
            return path

    commands = dict(FTPHandler.proto_cmds)
    if opts.listing is not None:
        # A chosen LIST listing is only read when MLST is not offered.
        commands.pop("MLST", None)
        commands.pop("MLSD", None)
    if opts.pasv_address or opts.no_epsv:
        # EPSV carries no address; refuse it so that PASV is used.
        commands.pop("EPSV", None)
    HostileHandler.proto_cmds = commands
    if opts.no_eprt:
        commands.pop("EPRT", None)
    if opts.pasv_address:
        HostileHandler.masquerade_address = opts.pasv_address
    if opts.active_from:
        class ActiveFromElsewhere(ActiveDTP):
            # The data connection of active mode comes from another address.
            def connect_af_unspecified(self, addr, source_address=None):
                return ActiveDTP.connect_af_unspecified(self, addr, (opts.active_from, 0))

        HostileHandler.active_dtp = ActiveFromElsewhere
    if opts.throttle > 0:
        dtp = type("SlowDTP", (ThrottledDTPHandler,), {})
        dtp.read_limit = opts.throttle
        dtp.write_limit = opts.throttle
        HostileHandler.dtp_handler = dtp
        # sendfile() would bypass the throttled handler's writes.
        HostileHandler.use_sendfile = False
    if opts.raw_names:
        # Names pass as bytes, as on Unix servers: a name that is not UTF-8
        # is listed and found by its own bytes.
        HostileHandler.unicode_errors = "surrogateescape"
    HostileHandler.banner = opts.banner
    # A refused login answers at once instead of after the default 3 s.
    HostileHandler.auth_failed_timeout = 0.1
    return HostileHandler


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--port", type=int, required=True)
    p.add_argument("--root", required=True)
    p.add_argument("--user", required=True)
    p.add_argument("--password", required=True)
    p.add_argument("--log", required=True)
    p.add_argument("--banner", default="pyftpdlib test server ready.")
    p.add_argument("--listing")
    p.add_argument("--mlsd")
    p.add_argument("--huge-reply")
    p.add_argument("--garbage-reply")
    p.add_argument("--endless-reply")
    p.add_argument("--pwd-without-quote", action="store_true")
    p.add_argument("--pasv-address")
    p.add_argument("--no-epsv", action="store_true")
    p.add_argument("--no-eprt", action="store_true")
    p.add_argument("--throttle", type=int, default=0)
    p.add_argument("--max-file-bytes", type=int, default=0)
    p.add_argument("--perm", default="elradfmwMT")
    p.add_argument("--refuse-listing")
    p.add_argument("--raw-names", action="store_true")
    p.add_argument("--resolved-pwd", action="store_true")
    p.add_argument("--login-folder")
    p.add_argument("--endless-listing", type=int)
    p.add_argument("--active-from")
    p.add_argument("--extra-reply-after")
    p.add_argument("--extra-reply", default="250 An extra reply.")
    opts = p.parse_args()

    if opts.max_file_bytes > 0:
        # A file write beyond this size fails (EFBIG; Python ignores the
        # signal that would otherwise end the process), as on a full disk.
        resource.setrlimit(resource.RLIMIT_FSIZE,
                           (opts.max_file_bytes, opts.max_file_bytes))
    logging.basicConfig(filename=opts.log, level=logging.DEBUG,
                        format="%(asctime)s %(message)s")
    authorizer = DummyAuthorizer()
    authorizer.add_user(opts.user, opts.password, opts.root, perm=opts.perm)
    handler = make_handler(opts)
    handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", opts.port), handler)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    sys.exit(main())
