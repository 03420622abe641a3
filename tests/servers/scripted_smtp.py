#!/usr/bin/python3
"""A tiny SMTP submission server that can be made to hide its encryption offer, as an
attacker on the way would, and to break a mail's transfer.

    scripted_smtp.py --dir DIR [--address ADDRESS] [--starttls-file PATH] [--fault-file PATH]

Listens on ADDRESS (127.0.0.1 unless given). While the file named by --starttls-file
exists, a new session's EHLO offers STARTTLS, and STARTTLS is refused. The file named by
--fault-file, read at each DATA, names one fault of the mail's transfer:
    drop-before-data   hang up on DATA
    slow-data          answer DATA only after 2 seconds
    refuse-data        take the whole mail, then refuse it with 554
    drop-after-data    keep the whole mail, then hang up without an answer
    stall-after-data   keep the whole mail, then never answer
    late-reply         keep the whole mail, and answer 250 after 2 seconds
AUTH PLAIN and AUTH LOGIN take any account; MAIL before AUTH is refused with 530, as submission servers
do. Each mail taken is kept as DIR/mail/N.eml; every line received is logged to DIR/log.
Prints the port on one line once it listens; serves every connection in a thread of its
own until its standard input closes.
"""

import argparse
import os
import threading
import time

from scripted_listener import serve_until_stdin_closes

counter_lock = threading.Lock()
counter = [0]


def keep(folder, data):
    with counter_lock:
        counter[0] += 1
        number = counter[0]
    box = os.path.join(folder, "mail")
    os.makedirs(box, exist_ok=True)
    with open(os.path.join(box, "%06d.eml" % number), "wb") as f:
        f.write(data)


def fault(args):
    try:
        with open(args.fault_file) as f:
            return f.read().strip()
    except (OSError, TypeError):
        return ""


def serve(conn, args):
    offers_tls = bool(args.starttls_file) and os.path.exists(args.starttls_file)
    out = conn.makefile("wb", buffering=0)
    inp = conn.makefile("rb")
    log = open(os.path.join(args.dir, "log"), "ab", buffering=0)

    def read():
        line = inp.readline()
        if line:
            log.write(line)
        return line

    out.write(b"220 scripted SMTP ready\r\n")
    logged_in = False
    sender = False
    recipients = 0
    while True:
        line = read()
        if not line:
            return
        words = line.strip().split(b" ")
        verb = words[0].upper()
        if verb in (b"EHLO", b"HELO"):
            out.write(b"250-scripted\r\n" + (b"250-STARTTLS\r\n" if offers_tls else b"") +
                      b"250 AUTH PLAIN LOGIN\r\n")
        elif verb == b"STARTTLS":
            out.write(b"454 4.7.0 TLS not available now\r\n")
        elif verb == b"AUTH" and len(words) > 1 and words[1].upper() == b"PLAIN":
            if len(words) < 3:
                out.write(b"334 \r\n")
                if not read():
                    return
            logged_in = True
            out.write(b"235 2.7.0 Authentication successful\r\n")
        elif verb == b"AUTH" and len(words) > 1 and words[1].upper() == b"LOGIN":
            if len(words) < 3:
                out.write(b"334 VXNlcm5hbWU6\r\n")
                if not read():
                    return
            out.write(b"334 UGFzc3dvcmQ6\r\n")
            if not read():
                return
            logged_in = True
            out.write(b"235 2.7.0 Authentication successful\r\n")
        elif verb == b"MAIL" and not logged_in:
            out.write(b"530 5.7.0 Authentication required\r\n")
        elif verb == b"MAIL":
            sender = True
            recipients = 0
            out.write(b"250 OK\r\n")
        elif verb == b"RCPT" and sender:
            recipients += 1
            out.write(b"250 OK\r\n")
        elif verb == b"DATA" and recipients:
            made = fault(args)
            if made == "drop-before-data":
                return
            if made == "slow-data":
                time.sleep(2)
            out.write(b"354 End data with <CR><LF>.<CR><LF>\r\n")
            data = b""
            while True:
                text = inp.readline()
                if not text:
                    return
                if text == b".\r\n":
                    break
                data += text[1:] if text.startswith(b".") else text
            sender = False
            if made == "refuse-data":
                out.write(b"554 5.6.0 message refused\r\n")
                continue
            keep(args.dir, data)
            if made == "drop-after-data":
                return
            if made == "stall-after-data":
                while inp.readline():
                    pass
                return
            if made == "late-reply":
                time.sleep(2)
            out.write(b"250 OK queued\r\n")
        elif verb == b"RSET":
            sender = False
            out.write(b"250 OK\r\n")
        elif verb == b"NOOP":
            out.write(b"250 OK\r\n")
        elif verb == b"QUIT":
            out.write(b"221 bye\r\n")
            return
        else:
            out.write(b"503 5.5.1 bad sequence of commands\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--starttls-file")
    parser.add_argument("--fault-file")
    args = parser.parse_args()
    serve_until_stdin_closes(args.address, lambda conn: serve(conn, args))


if __name__ == "__main__":
    main()
