#!/usr/bin/python3
"""A tiny POP3 server that misbehaves on purpose, for the faults that a real server cannot
be made to show.

    scripted_pop3.py --dir DIR [--fault KIND:N] [--no-uidl] [--pipelining]
                     [--stall-quit SECONDS] [--address ADDRESS] [--stls-file PATH] [--apop]

Serves the mails DIR/mail/*.eml (sorted by name; the name without ".eml" is the UIDL) to
any user and password. DELE marks a
mail, QUIT removes the marked files, and a session that ends without QUIT removes
nothing, as real servers do. The fault hits the RETR of mail N:
  err       answers -ERR
  drop      sends half of the mail, then closes the connection
  stall     sends half of the mail, then sends nothing more
  garbage   answers with a line that is not a POP3 reply
  longline  answers +OK, then one line without end
  endless   answers +OK, then lines without end
  slow      answers as usual, after half a second
  dele-err  answers the DELE of mail N (not its RETR) with -ERR
  huge      lists mail N with 300 MB in LIST (its RETR is not faulted)
in-use, login-delay, sys-temp (no N): PASS is refused with that response code
stat:VALUE: STAT answers "+OK VALUE 0", whatever VALUE is
quit-err (no N): QUIT is answered -ERR and removes nothing
capa-err (no N): CAPA is answered -ERR
--address is the address to listen on (127.0.0.1 unless given). While the file named by
--stls-file exists, a new session's CAPA offers STLS, and STLS is refused: the server can
be made to offer encryption and then, as an attacker on the way would, to hide the offer.
--apop puts an APOP challenge in the greeting. Any USER/PASS or APOP is taken.
--pipelining lists PIPELINING in CAPA; commands are read one line at a time either way,
so a client that sends ahead is answered in order. Every command is logged to DIR/log.
Prints the port on one line once it listens; serves every connection in a thread of its
own until its standard input closes.
"""

import argparse
import os
import time

from scripted_listener import serve_until_stdin_closes

LOGIN_REFUSALS = {"in-use": b"IN-USE", "login-delay": b"LOGIN-DELAY", "sys-temp": b"SYS/TEMP"}


def mails(folder):
    box = os.path.join(folder, "mail")
    return [os.path.join(box, name) for name in sorted(os.listdir(box)) if name.endswith(".eml")]


def stuffed(data):
    lines = data.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return b"".join((b"." + line if line.startswith(b".") else line) + b"\r\n" for line in lines)


def serve(conn, args):
    files = mails(args.dir)
    marked = set()
    fault_kind, _, fault_arg = (args.fault or "none:0").partition(":")
    fault_no = int(fault_arg) if fault_arg.lstrip("-").isdigit() and fault_kind != "stat" else 0
    out = conn.makefile("wb", buffering=0)
    inp = conn.makefile("rb")
    offers_stls = bool(args.stls_file) and os.path.exists(args.stls_file)
    out.write(b"+OK scripted POP3 ready" + (b" <1896.697170952@scripted>" if args.apop else b"") +
              b"\r\n")
    log = open(os.path.join(args.dir, "log"), "ab", buffering=0)
    while True:
        line = inp.readline()
        if not line:
            return
        log.write(line)
        words = line.strip().split(b" ")
        verb = words[0].upper()
        number = int(words[1]) if len(words) > 1 and words[1].isdigit() else 0
        if verb == b"PASS" and fault_kind in LOGIN_REFUSALS:
            out.write(b"-ERR [%s] refused\r\n" % LOGIN_REFUSALS[fault_kind])
        elif verb in (b"USER", b"PASS", b"APOP", b"NOOP", b"RSET"):
            out.write(b"+OK\r\n")
        elif verb == b"CAPA" and fault_kind == "capa-err":
            out.write(b"-ERR no capabilities here\r\n")
        elif verb == b"CAPA":
            out.write(b"+OK\r\nUSER\r\n" + (b"" if args.no_uidl else b"UIDL\r\n") +
                      (b"PIPELINING\r\n" if args.pipelining else b"") +
                      (b"STLS\r\n" if offers_stls else b"") + b".\r\n")
        elif verb == b"STLS":
            out.write(b"-ERR TLS is not available now\r\n")
        elif verb == b"STAT" and fault_kind == "stat":
            out.write(b"+OK %s 0\r\n" % fault_arg.encode())
        elif verb == b"STAT":
            out.write(b"+OK %d %d\r\n" % (len(files), sum(os.path.getsize(f) for f in files)))
        elif verb == b"LIST":
            listing = b"".join(
                b"%d %d\r\n" % (i + 1, 300 << 20 if fault_kind == "huge" and i + 1 == fault_no
                                 else os.path.getsize(f)) for i, f in enumerate(files))
            out.write(b"+OK\r\n" + listing + b".\r\n")
        elif verb == b"UIDL" and not args.no_uidl:
            listing = b"".join(
                b"%d %s\r\n" % (i + 1, os.path.basename(f).encode()) for i, f in enumerate(files))
            out.write(b"+OK\r\n" + listing + b".\r\n")
        elif verb == b"RETR" and 1 <= number <= len(files):
            with open(files[number - 1], "rb") as f:
                text = stuffed(f.read())
            if number != fault_no or fault_kind in ("none", "slow", "dele-err"):
                if number == fault_no:
                    time.sleep(0.5)
                out.write(b"+OK\r\n" + text + b".\r\n")
            elif fault_kind == "err":
                out.write(b"-ERR cannot read that mail now\r\n")
            elif fault_kind == "garbage":
                out.write(b"\x00\xffHELLO? this is not POP3\r\n")
            elif fault_kind in ("drop", "stall"):
                out.write(b"+OK\r\n" + text[: len(text) // 2])
                if fault_kind == "drop":
                    return
                time.sleep(3600)
            elif fault_kind == "longline":
                out.write(b"+OK\r\n")
                while True:
                    out.write(b"x" * 65536)
            elif fault_kind == "endless":
                out.write(b"+OK\r\n")
                while True:
                    out.write(b"Subject: more and more\r\n" * 2000)
        elif verb == b"DELE" and number == fault_no and fault_kind == "dele-err":
            out.write(b"-ERR that mail cannot be deleted now\r\n")
        elif verb == b"DELE" and 1 <= number <= len(files):
            marked.add(files[number - 1])
            out.write(b"+OK marked\r\n")
        elif verb == b"QUIT" and fault_kind == "quit-err":
            out.write(b"-ERR cannot remove the deleted mails now\r\n")
            return
        elif verb == b"QUIT":
            if args.stall_quit:
                time.sleep(args.stall_quit)
            for path in marked:
                os.remove(path)
            out.write(b"+OK bye\r\n")
            return
        else:
            out.write(b"-ERR unknown command\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--fault")
    parser.add_argument("--no-uidl", action="store_true")
    parser.add_argument("--pipelining", action="store_true")
    parser.add_argument("--stall-quit", type=float, default=0)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--stls-file")
    parser.add_argument("--apop", action="store_true")
    args = parser.parse_args()
    serve_until_stdin_closes(args.address, lambda conn: serve(conn, args))


if __name__ == "__main__":
    main()
