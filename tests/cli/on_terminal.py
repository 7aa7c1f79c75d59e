#!/usr/bin/env python3
"""on_terminal.py OUT ANSWER... -- COMMAND...: runs COMMAND on a terminal of
its own (a pseudo-terminal), as the foreground job of a small shell with job
control, types each ANSWER and Enter after each prompt (a line ending in
": "), and keeps everything the terminal showed in OUT. Exits with COMMAND's
exit status. COMMAND's standard input, output and error are the terminal
unless it redirects them.

Two answers are not typed as they are:
  ^Z      Ctrl-Z is typed instead. Once the job has stopped, the shell says
          "[stopped]" and reads a line, as a shell would; "fg" is typed to
          it (and shows only while the terminal echoes), and the job goes on
          in the foreground.
  @FILE   what /proc says of the job at this prompt goes to FILE: "owner
          UID" (the owner of /proc/PID/status, which is root while the job
          is not dumpable), then its status and its limits. The next answer
          is typed at the same prompt.
"""
import fcntl
import os
import pty
import select
import signal
import sys
import termios

JOB_SIGNALS = (signal.SIGTSTP, signal.SIGTTIN, signal.SIGTTOU)


def read_line(fd):
    line = b""
    while not line.endswith(b"\n"):
        chunk = os.read(fd, 1)
        if not chunk:
            break
        line += chunk
    return line


def shell(terminal, command):
    """The session leader: starts the job in a process group of its own in
    the foreground, takes the terminal back while the job is stopped, and
    ends with the job's status."""
    os.setsid()
    fcntl.ioctl(terminal, termios.TIOCSCTTY, 0)
    for s in JOB_SIGNALS:
        signal.signal(s, signal.SIG_IGN)
    job = os.fork()
    if job == 0:
        os.setpgid(0, 0)
        os.tcsetpgrp(terminal, os.getpid())
        for s in JOB_SIGNALS:
            signal.signal(s, signal.SIG_DFL)
        for fd in (0, 1, 2):
            os.dup2(terminal, fd)
        os.execvp(command[0], command)
    try:
        os.setpgid(job, job)
        os.tcsetpgrp(terminal, job)
    except OSError:  # the job has done both itself already
        pass
    while True:
        _, status = os.waitpid(job, os.WUNTRACED)
        if not os.WIFSTOPPED(status):
            os._exit(os.waitstatus_to_exitcode(status) % 256)
        os.tcsetpgrp(terminal, os.getpgrp())
        os.write(terminal, b"[stopped]\n")
        read_line(terminal)
        os.tcsetpgrp(terminal, job)
        os.killpg(job, signal.SIGCONT)


def inspect(master, path):
    pid = os.tcgetpgrp(master)  # the job leads its own group
    with open(path, "w") as out:
        out.write("owner %d\n" % os.stat("/proc/%d/status" % pid).st_uid)
        for name in ("status", "limits"):
            with open("/proc/%d/%s" % (pid, name)) as f:
                out.write(f.read())


def main():
    sep = sys.argv.index("--")
    out_path, answers, command = sys.argv[1], sys.argv[2:sep], sys.argv[sep + 1:]
    master, terminal = pty.openpty()
    pid = os.fork()
    if pid == 0:
        os.close(master)
        shell(terminal, command)
    os.close(terminal)
    shown = b""
    stopping = None  # where the output stood when Ctrl-Z was typed
    pending = list(answers)
    while True:
        ready, _, _ = select.select([master], [], [], 30)
        if not ready:  # a program that waits for more than it was given
            try:
                os.killpg(os.tcgetpgrp(master), signal.SIGKILL)
            except OSError:
                pass
            os.kill(pid, signal.SIGKILL)
            break
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the program has ended and closed the terminal
            break
        if not chunk:
            break
        shown += chunk
        if stopping is not None:
            if b"[stopped]" in shown[stopping:]:
                os.write(master, b"fg\n")
                stopping = None
            continue
        while pending and shown.endswith(b": "):
            answer = pending.pop(0)
            if answer.startswith("@"):
                inspect(master, answer[1:])
            elif answer == "^Z":
                stopping = len(shown)
                os.write(master, b"\x1a")
                break
            else:
                os.write(master, os.fsencode(answer) + b"\n")
                break
    _, status = os.waitpid(pid, 0)
    with open(out_path, "wb") as f:
        f.write(shown)
    sys.exit(os.waitstatus_to_exitcode(status))


main()
