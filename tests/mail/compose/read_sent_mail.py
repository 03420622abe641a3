"""Reads one mail as an independent reader does: Python's email package, default policy.

Prints what the round-trip test compares, as JSON: the subject, the To mailboxes (display
name and address), the body text with its line ends as "\n", the longest line on the wire,
and the defects found.
"""
import email
import email.policy
import json
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        raw = f.read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    body = message.get_body(preferencelist=("plain",))
    defects = [str(d) for part in message.walk() for d in part.defects]
    print(json.dumps({
        "subject": str(message["subject"]),
        "to": [[a.display_name, a.addr_spec] for a in message["to"].addresses],
        "body": body.get_content().replace("\r\n", "\n") if body is not None else "",
        "longest_line": max(len(line) for line in raw.split(b"\r\n")),
        "defects": defects,
    }))


main()
