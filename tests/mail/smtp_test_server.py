#!/usr/bin/python3
"""A real SMTP server on 127.0.0.1 for the mail tests and benchmarks.

Listens on a free port, prints "PORT <n>" on stdout, and runs until its
standard input closes (the test that started it ends) or it is terminated.
Every message it accepts is written to the record folder before the "250"
goes back: NNNNNN.eml (the data as received, dots undone), NNNNNN.rcpt
(one envelope recipient a line) and NNNNNN.from (the envelope sender). events.log notes each connection, login,
command answer and drop, so a test can tell what the client did.

Behaviours a test asks for on the command line:
  --security none|starttls|tls   --cert FILE --key FILE
  --user U --password P          login required, with these credentials
  --refuse ADDR                  RCPT answered 550 (repeatable)
  --temp-fail ADDR:N             the first N RCPT for ADDR answered 450
  --limit K                      at most K recipients a transaction (452)
  --close-421-at N               the N-th MAIL answered 421, then closed
  --drop-at N                    the connection dropped at the N-th RCPT
  --hang                         MAIL is never answered
  --size-limit BYTES             advertised SIZE; bigger messages get 552
  --sink                         record nothing (benchmarks)
"""

import argparse
import asyncio
import logging
import os
import socket
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--security", choices=["none", "starttls", "tls"], default="none")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--record")
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--temp-fail", action="append", default=[])
    p.add_argument("--limit", type=int, default=0)
    p.add_argument("--close-421-at", type=int, default=0)
    p.add_argument("--drop-at", type=int, default=0)
    p.add_argument("--hang", action="store_true")
    p.add_argument("--size-limit", type=int, default=0)
    p.add_argument("--sink", action="store_true")
    return p.parse_args()


class Recorder:
    def __init__(self, args):
        self.args = args
        self.refuse = {a.lower() for a in args.refuse}
        self.temp = {}
        for item in args.temp_fail:
            addr, _, count = item.rpartition(":")
            self.temp[addr.lower()] = int(count)
        self.mails = 0
        self.rcpts = 0
        self.saved = 0
        self.log = None
        if args.record:
            os.makedirs(args.record, exist_ok=True)
            self.log = open(os.path.join(args.record, "events.log"), "a", buffering=1)

    def note(self, text):
        if self.log:
            self.log.write(text + "\n")

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        self.note("EHLO tls=%d" % (1 if session.ssl else 0))
        return responses

    async def handle_MAIL(self, server, session, envelope, address, options):
        self.mails += 1
        if self.args.hang:
            self.note("HANG")
            await asyncio.Event().wait()
        if self.args.close_421_at and self.mails == self.args.close_421_at:
            self.note("421 at MAIL %d" % self.mails)
            # Closed once the answer has gone out.
            asyncio.get_running_loop().call_soon(server.transport.close)
            return "421 4.3.2 Service shutting down, closing channel"
        envelope.mail_from = address
        envelope.mail_options.extend(options)
        self.note("MAIL %s" % address)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        self.rcpts += 1
        key = address.lower()
        if self.args.drop_at and self.rcpts == self.args.drop_at:
            self.note("DROP at RCPT %s" % address)
            server.transport.abort()
            await asyncio.Event().wait()
        if key in self.refuse:
            self.note("RCPT %s 550" % address)
            return "550 5.1.1 <%s>: Recipient address rejected: User unknown" % address
        if self.temp.get(key, 0) > 0:
            self.temp[key] -= 1
            self.note("RCPT %s 450" % address)
            return "450 4.2.1 <%s>: Mailbox busy, try again later" % address
        if self.args.limit and len(envelope.rcpt_tos) >= self.args.limit:
            self.note("RCPT %s 452" % address)
            return "452 4.5.3 Too many recipients"
        envelope.rcpt_tos.append(address)
        envelope.rcpt_options.extend(options)
        self.note("RCPT %s 250" % address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.args.sink:
            return "250 OK"
        self.saved += 1
        base = os.path.join(self.args.record, "%06d" % self.saved)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".rcpt", "w") as f:
            f.write("".join(r + "\n" for r in envelope.rcpt_tos))
        with open(base + ".from", "w") as f:
            f.write(envelope.mail_from)
        self.note("DATA %d" % len(envelope.rcpt_tos))
        return "250 2.0.0 Ok: queued as %06d" % self.saved


def authenticator_for(args, recorder):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        recorder.note("AUTH %s %s tls=%d" % (mechanism, "ok" if ok else "refused", 1 if session.ssl else 0))
        return AuthResult(success=ok, handled=False)
    return authenticate


def main():
    # Login over clear text is what some tests are about: no warnings.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    args = parse_args()
    recorder = Recorder(args)
    context = None
    if args.security != "none":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)

    def factory():
        options = dict(
            hostname="velmaro-test",
            data_size_limit=args.size_limit or None,
            auth_require_tls=False,
            loop=loop,
        )
        if args.security == "starttls":
            options["tls_context"] = context
        if args.user is not None:
            options["authenticator"] = authenticator_for(args, recorder)
            options["auth_required"] = True
        recorder.note("CONNECT")
        return SMTP(recorder, **options)

    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    sock.listen(128)
    implicit = context if args.security == "tls" else None
    server = loop.run_until_complete(loop.create_server(factory, sock=sock, ssl=implicit))

    # Ends with the test that started it: its end closes our stdin.
    def stdin_closed():
        if not os.read(sys.stdin.fileno(), 4096):
            loop.stop()
    loop.add_reader(sys.stdin.fileno(), stdin_closed)

    print("PORT %d" % sock.getsockname()[1], flush=True)
    try:
        loop.run_forever()
    finally:
        server.close()


if __name__ == "__main__":
    main()
