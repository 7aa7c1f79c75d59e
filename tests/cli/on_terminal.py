#!/usr/bin/env python3
"""on_terminal.py OUT ANSWER... -- COMMAND...: runs COMMAND on a terminal of
its own (a pseudo-terminal), types each ANSWER and Enter after each prompt
(a line ending in ": "), and keeps everything the terminal showed in OUT.
Exits with COMMAND's exit status. Standard input stays what it was, so a
program that reads it instead of the terminal sees no answers."""
import os
import pty
import select
import signal
import sys


def main():
    sep = sys.argv.index("--")
    out_path, answers, command = sys.argv[1], sys.argv[2:sep], sys.argv[sep + 1:]
    pid, fd = pty.fork()
    if pid == 0:
        os.execvp(command[0], command)
    shown = b""
    pending = [a.encode() + b"\n" for a in answers]
    while True:
        ready, _, _ = select.select([fd], [], [], 30)
        if not ready:  # a program that waits for more than it was given
            os.kill(pid, signal.SIGKILL)
            break
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # the program has ended and closed the terminal
            break
        if not chunk:
            break
        shown += chunk
        if pending and shown.endswith(b": "):
            os.write(fd, pending.pop(0))
    _, status = os.waitpid(pid, 0)
    with open(out_path, "wb") as f:
        f.write(shown)
    sys.exit(os.waitstatus_to_exitcode(status))


main()
