#!/usr/bin/python3
"""Private mail servers on 127.0.0.1 for the tests and the demo.

    mail_servers.py run --dir DIR [--user NAME:PASSWORD ...] [--smtp-auth]
                        [--cert-name NAME] [--pop3-stls] [--pop3-tls-required]
                        [--smtp-size-limit BYTES]

Starts a Dovecot POP3 instance (plain, APOP and POP3S with a self-signed certificate, users from a passwd-file, one Maildir each) and aiosmtpd SMTP servers that
deliver into the same Maildirs, so that a mail sent by SMTP can be fetched back by POP3:
plain, implicit TLS, a submission port that requires STARTTLS before AUTH and AUTH before
mail, and a port that offers STARTTLS but refuses it. Passwords cross SMTP AUTH in code
page 932. --cert-name puts another name into the certificate (one the client does not
ask for); --pop3-stls offers STLS on the plain POP3 port; --pop3-tls-required also makes
Dovecot refuse any login before STLS; --smtp-size-limit makes the SMTP servers offer
that SIZE and refuse larger mail with 552. Prints one JSON
line with the ports once the servers answer, then runs until its standard input closes
or it gets SIGTERM, and stops everything it started.
"""

import argparse
import errno
import asyncio
import json
import os
import pwd
import grp
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import uuid

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def mail_owner():
    """Dovecot never reads mail as root: an unprivileged owner for the Maildirs."""
    if os.getuid() != 0:
        return os.getuid(), os.getgid(), pwd.getpwuid(os.getuid()).pw_name, grp.getgrgid(os.getgid()).gr_name
    user = pwd.getpwnam("nobody")
    return user.pw_uid, user.pw_gid, user.pw_name, grp.getgrgid(user.pw_gid).gr_name


def make_certificate(folder, name):
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    names = "DNS:localhost,IP:127.0.0.1,IP:127.0.0.2,IP:127.0.0.3" if name == "localhost" else "DNS:" + name
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
         "-days", "2", "-subj", "/CN=" + name, "-addext", "subjectAltName=" + names],
        check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def maildir(folder, user):
    return os.path.join(folder, "home", user, "Maildir")


def deliver(folder, user, data, owner):
    """Writes one mail into the user's Maildir the way a delivery agent does."""
    box = maildir(folder, user)
    name = "%d.%s.quillpost-test" % (time.time_ns(), uuid.uuid4().hex)
    tmp = os.path.join(box, "tmp", name)
    with open(tmp, "wb") as f:
        f.write(data)
    os.chown(tmp, owner[0], owner[1])
    os.rename(tmp, os.path.join(box, "new", name))


def write_dovecot_config(folder, base_dir, users, ports, cert, key, owner, address,
                         pop3s_address, stls, tls_required):
    with open(os.path.join(folder, "passwd"), "w") as f:
        for name, password in users:
            f.write("%s:{PLAIN}%s\n" % (name, password))
    for name, _ in users:
        for sub in ("cur", "new", "tmp"):
            os.makedirs(os.path.join(maildir(folder, name), sub), exist_ok=True)
        for root, dirs, _files in os.walk(os.path.join(folder, "home", name)):
            os.chown(root, owner[0], owner[1])
        os.chown(os.path.join(folder, "home"), owner[0], owner[1])
    if tls_required:
        # Loopback must not count as secured here, or Dovecot would let logins in clear.
        security = "ssl = required\ndisable_plaintext_auth = yes"
    else:
        # Loopback is trusted, which also exempts it from the login penalty after failures.
        security = "ssl = yes\ndisable_plaintext_auth = no\nlogin_trusted_networks = 127.0.0.0/8"
    if not stls:
        # Dovecot offers STLS wherever it has TLS: the plain port lives on its own address
        # without it.
        security += "\nlocal %s {\n  ssl = no\n}" % address
    listen = address if address == pop3s_address else address + ", " + pop3s_address
    config = f"""
base_dir = {base_dir}
state_dir = {folder}/state
log_path = {folder}/dovecot.log
protocols = pop3
listen = {listen}
{security}
ssl_cert = <{cert}
ssl_key = <{key}
auth_mechanisms = plain login apop
auth_failure_delay = 0
mail_uid = {owner[2]}
mail_gid = {owner[3]}
first_valid_uid = 0
mail_location = maildir:{folder}/home/%u/Maildir
pop3_uidl_format = %08Xu%08Xv
passdb {{
  driver = passwd-file
  args = scheme=PLAIN username_format=%u {folder}/passwd
}}
userdb {{
  driver = static
  args = uid={owner[0]} gid={owner[1]} home={folder}/home/%u
}}
service pop3-login {{
  inet_listener pop3 {{
    address = {address}
    port = {ports['pop3']}
  }}
  inet_listener pop3s {{
    address = {pop3s_address}
    port = {ports['pop3s']}
    ssl = yes
  }}
}}
service anvil {{
  chroot =
}}
service stats {{
  unix_listener stats-writer {{
    mode = 0666
  }}
}}
"""
    path = os.path.join(folder, "dovecot.conf")
    with open(path, "w") as f:
        f.write(config)
    return path


class Delivery:
    """aiosmtpd handler: each recipient's local part names a mailbox user."""

    def __init__(self, folder, users, owner, accept_any=False):
        self.folder, self.users, self.owner = folder, dict(users), owner
        self.accept_any = accept_any

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.split("@")[0] not in self.users and not self.accept_any:
            return "550 no such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        data = envelope.original_content or envelope.content
        if isinstance(data, str):
            data = data.encode("utf-8")
        for rcpt in envelope.rcpt_tos:
            # With --accept-any-recipient, mail to anyone else is taken and dropped, as a
            # provider's server would pass it on.
            if rcpt.split("@")[0] in self.users:
                deliver(self.folder, rcpt.split("@")[0], data, self.owner)
        return "250 Message accepted for delivery"


def authenticator_for(users):
    users = dict(users)

    def authenticate(server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword):
            try:
                name = auth_data.login.decode("cp932")
                password = auth_data.password.decode("cp932")
            except UnicodeDecodeError:
                return AuthResult(success=False, handled=False)
            if users.get(name) == password:
                return AuthResult(success=True)
        return AuthResult(success=False, handled=False)

    return authenticate


class RefusedStartTls(SMTP):
    """Offers STARTTLS in its EHLO but turns the command down."""

    async def smtp_STARTTLS(self, arg):
        await self.push("454 4.7.0 TLS not available due to temporary reason")


class RefusingStartTlsController(Controller):
    def factory(self):
        return RefusedStartTls(self.handler, **self.SMTP_kwargs)


def wait_for_port(address, port, deadline, use_tls=False):
    while time.time() < deadline:
        try:
            with socket.create_connection((address, port), timeout=1) as s:
                if use_tls:
                    return True
                return bool(s.recv(1))
        except OSError:
            time.sleep(0.05)
    return False


def run(args):
    folder = os.path.abspath(args.dir)
    os.makedirs(folder, exist_ok=True)
    # Dovecot's auth process runs as its own user and must reach the passwd-file.
    os.chmod(folder, 0o755)
    users = [tuple(u.split(":", 1)) for u in (args.user or ["taro:himitsu"])]
    owner = mail_owner()
    cert, key = make_certificate(folder, args.cert_name)
    ports = {name: free_port()
             for name in ("pop3", "pop3s", "smtp", "smtps", "submission", "smtp_refused_tls")}
    # Dovecot keeps its sockets in base_dir, whose path must stay short.
    base_dir = tempfile.mkdtemp(prefix="dv", dir="/tmp")
    os.chmod(base_dir, 0o755)
    # Dovecot counts a client whose address is its own as secured and lets it log in
    # without TLS: a client of 127.0.0.2 comes from 127.0.0.1, which is not.
    pop3_address = "127.0.0.2" if args.pop3_tls_required else "127.0.0.1"
    stls = args.pop3_stls or args.pop3_tls_required
    pop3s_address = pop3_address if stls else "127.0.0.3"
    config = write_dovecot_config(folder, base_dir, users, ports, cert, key, owner, pop3_address,
                                  pop3s_address, stls, args.pop3_tls_required)
    log = open(os.path.join(folder, "servers.log"), "ab")
    dovecot = subprocess.Popen(["dovecot", "-F", "-c", config], stdin=subprocess.DEVNULL,
                               stdout=log, stderr=log, start_new_session=True)

    handler = Delivery(folder, users, owner, args.accept_any_recipient)
    auth = dict(authenticator=authenticator_for(users), auth_required=args.smtp_auth,
                auth_require_tls=False)
    if args.smtp_size_limit:
        auth["data_size_limit"] = args.smtp_size_limit
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(cert, key)

    def smtp_controllers():
        return (
            Controller(handler, hostname="127.0.0.1", port=ports["smtp"], **auth),
            Controller(handler, hostname="127.0.0.1", port=ports["smtps"], ssl_context=tls,
                       **auth),
            Controller(handler, hostname="127.0.0.1", port=ports["submission"],
                       authenticator=authenticator_for(users), auth_required=True,
                       auth_require_tls=True, require_starttls=True, tls_context=tls),
            RefusingStartTlsController(handler, hostname="127.0.0.1",
                                       port=ports["smtp_refused_tls"], tls_context=tls, **auth))

    # A port found free may be taken before it is bound (by another test's server, or as
    # the local end of a connection): take new ones and try again.
    smtp_ports = ("smtp", "smtps", "submission", "smtp_refused_tls")
    for attempt in range(5):
        controllers = smtp_controllers()
        started = []
        try:
            for controller in controllers:
                controller.start()
                started.append(controller)
            break
        except OSError as error:
            for controller in started:
                controller.stop()
            if error.errno != errno.EADDRINUSE or attempt == 4:
                raise
            for name in smtp_ports:
                ports[name] = free_port()

    def stop(*_):
        for controller in controllers:
            try:
                controller.stop()
            except Exception:
                pass
        if dovecot.poll() is None:
            os.killpg(dovecot.pid, signal.SIGTERM)
            try:
                dovecot.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(dovecot.pid, signal.SIGKILL)
        subprocess.run(["rm", "-rf", base_dir])
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    deadline = time.time() + 20
    if not wait_for_port(pop3_address, ports["pop3"], deadline) or dovecot.poll() is not None:
        sys.stderr.write("dovecot did not start; see %s/dovecot.log and servers.log\n" % folder)
        stop()
    print(json.dumps(dict(ports, pop3_address=pop3_address, pop3s_address=pop3s_address,
                          maildir_root=os.path.join(folder, "home"), ca=cert,
                          uid=owner[0], gid=owner[1], pid=os.getpid(),
                          dovecot_pid=dovecot.pid)), flush=True)
    # Runs until the starter closes our standard input (or dies, which closes it too).
    try:
        while sys.stdin.buffer.read(1):
            pass
    except OSError:
        pass
    stop()


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run")
    r.add_argument("--dir", required=True)
    r.add_argument("--user", action="append")
    r.add_argument("--smtp-auth", action="store_true")
    r.add_argument("--accept-any-recipient", action="store_true")
    r.add_argument("--cert-name", default="localhost")
    r.add_argument("--pop3-stls", action="store_true")
    r.add_argument("--pop3-tls-required", action="store_true")
    r.add_argument("--smtp-size-limit", type=int, default=0)
    args = parser.parse_args()
    run(args)


if __name__ == "__main__":
    main()
