"""What the scripted servers share: listening, and serving each connection in a thread of
its own until the test closes the server's standard input."""

import os
import socket
import sys
import threading


def serve_until_stdin_closes(address, serve):
    """Listens on address, prints the port on one line, and calls serve(conn) for every
    connection in a thread of its own; ends the process when standard input closes."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, 0))
    listener.listen(4)
    print(listener.getsockname()[1], flush=True)

    def session(conn):
        try:
            serve(conn)
        except (BrokenPipeError, ConnectionResetError):
            pass
        finally:
            conn.close()

    def accept_forever():
        while True:
            conn, _ = listener.accept()
            threading.Thread(target=session, args=(conn,), daemon=True).start()

    threading.Thread(target=accept_forever, daemon=True).start()
    # Runs until the test closes our standard input (or dies, which closes it too).
    try:
        while sys.stdin.buffer.read(1):
            pass
    except OSError:
        pass
    os._exit(0)
