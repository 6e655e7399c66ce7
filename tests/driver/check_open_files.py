#!/usr/bin/env python3
"""What veska does with names that reach an open file rather than a path,
with pipes, and with files another user planted in a sticky folder, as real
processes on real pipes, /proc links and users:

- /dev/stdout on a pipe is written directly; a /proc/self/fd link to a
  deleted file is refused (nothing is made under its shown name);
- a target pipe without a reader fails at once with ENXIO, one with a reader
  gets the model; a definition pipe is waited for, as cat waits;
- in a sticky folder that all may write to, another user's file or pipe at
  the target or backup name is refused with EACCES and left as it was; one
  of the folder's owner is written.

    check_open_files.py VESKA MAKE_SAMPLE_MDL EXAMPLE_DEFINITION

Prints one line per case; the exit code is 1 when any failed. The cases of
other users need the administrator and are skipped without."""
import errno
import os
import shutil
import subprocess
import sys
import tempfile
import threading

veska, maker, example = (os.path.abspath(p) for p in sys.argv[1:4])
work = tempfile.mkdtemp(prefix="veska-open-files-")
os.chmod(work, 0o755)
subprocess.run([maker, os.path.join(work, "sample.mdl")], check=True, stdout=subprocess.DEVNULL)
sample = open(os.path.join(work, "sample.mdl"), "rb").read()
definition = open(example, "rb").read()
OTHER = 4322
failures = []


def check(title, problems):
    print("%-60s %s" % (title, "FAILED: " + "; ".join(problems) if problems else "held"))
    if problems:
        failures.append(title)


def folder(name):
    d = os.path.join(work, name)
    os.mkdir(d)
    open(os.path.join(d, "m.mdl"), "wb").write(sample)
    open(os.path.join(d, "d.cfg"), "wb").write(definition)
    return d


def run(d, arguments, **options):
    options.setdefault("stdout", subprocess.PIPE)
    return subprocess.run([veska] + arguments, cwd=d, stderr=subprocess.PIPE, timeout=20, **options)


d = folder("processed")
run(d, ["m.mdl", "r.mdl", "d.cfg"], check=True)
processed = open(os.path.join(d, "r.mdl"), "rb").read()

# /dev/stdout on a pipe: the model goes into the pipe.
d = folder("stdout")
r = run(d, ["m.mdl", "/dev/stdout", "d.cfg"])
check("/dev/stdout on a pipe is written directly",
      ([] if r.returncode == 0 else ["exit code %d" % r.returncode]) +
      ([] if processed in r.stdout else ["the model is not in the pipe"]) +
      ([] if sorted(os.listdir(d)) == ["d.cfg", "m.mdl"] else ["files: %s" % os.listdir(d)]))

# /proc/self/fd/7 leading to a deleted file: refused, nothing made.
d = folder("deleted")
gone = os.open(os.path.join(d, "gone.mdl"), os.O_WRONLY | os.O_CREAT, 0o644)
os.unlink(os.path.join(d, "gone.mdl"))
os.dup2(gone, 7)
r = run(d, ["m.mdl", "/proc/self/fd/7", "d.cfg"], pass_fds=(7,))
os.close(7)
os.close(gone)
message = "Error opening target MDL file /proc/self/fd/7: %s\n" % os.strerror(errno.EACCES)
check("/proc/self/fd/N of a deleted file is refused",
      ([] if r.returncode == errno.EACCES else ["exit code %d" % r.returncode]) +
      ([] if r.stdout.decode().endswith(message) else ["output %r" % r.stdout[-200:]]) +
      ([] if sorted(os.listdir(d)) == ["d.cfg", "m.mdl"] else ["files: %s" % os.listdir(d)]))

# A target pipe without a reader: ENXIO at once.
d = folder("fifo")
os.mkfifo(os.path.join(d, "t.mdl"))
try:
    r = run(d, ["m.mdl", "t.mdl", "d.cfg"])
    message = "Error opening target MDL file t.mdl: %s\n" % os.strerror(errno.ENXIO)
    check("a target pipe without a reader fails with ENXIO",
          ([] if r.returncode == errno.ENXIO else ["exit code %d" % r.returncode]) +
          ([] if r.stdout.decode().endswith(message) else ["output %r" % r.stdout[-200:]]))
except subprocess.TimeoutExpired:
    check("a target pipe without a reader fails with ENXIO", ["the run waited for a reader"])

# A target pipe with a reader gets the model; the reader is there first.
received = []
reader = os.open(os.path.join(d, "t.mdl"), os.O_RDONLY | os.O_NONBLOCK)


def read_all():
    os.set_blocking(reader, True)
    chunks = []
    while True:
        chunk = os.read(reader, 65536)
        if not chunk:
            break
        chunks.append(chunk)
    received.append(b"".join(chunks))


# The writer must be open before the reader waits for the end.
keep = os.open(os.path.join(d, "t.mdl"), os.O_WRONLY)
thread = threading.Thread(target=read_all)
thread.start()
r = run(d, ["m.mdl", "t.mdl", "d.cfg"])
os.close(keep)
thread.join(20)
os.close(reader)
check("a target pipe with a reader gets the model",
      ([] if r.returncode == 0 else ["exit code %d" % r.returncode]) +
      ([] if received == [processed] else ["the reader got %d bytes" % len(received[0]) if received else "nothing"]))

# A definition pipe is waited for, as cat waits.
d = folder("definition-fifo")
os.mkfifo(os.path.join(d, "p.cfg"))
process = subprocess.Popen([veska, "m.mdl", "r.mdl", "p.cfg"], cwd=d, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE)
with open(os.path.join(d, "p.cfg"), "wb") as pipe:
    pipe.write(definition)
out, _ = process.communicate(timeout=20)
check("a definition pipe is waited for",
      ([] if process.returncode == 0 else ["exit code %d" % process.returncode]) +
      ([] if open(os.path.join(d, "r.mdl"), "rb").read() == processed else ["another model"]))

# Files of another user in sticky folders.
if os.geteuid() != 0:
    print("the cases of other users' files skipped: they need the administrator")
else:
    sticky = folder("sticky")
    os.chmod(sticky, 0o1777)
    theirs = folder("theirs")
    os.chmod(theirs, 0o1777)
    os.chown(theirs, OTHER, OTHER)
    denied = os.strerror(errno.EACCES)

    def planted(path, fifo, data):
        if fifo:
            os.mkfifo(path, 0o622)
        else:
            open(path, "wb").write(data)
            os.chmod(path, 0o600)
        os.chown(path, OTHER, OTHER)

    cases = [
        ("another user's file as target in a sticky folder", sticky, "out.mdl", False, ["m.mdl", "out.mdl", "d.cfg"],
         errno.EACCES, "Error opening target MDL file out.mdl: %s\n" % denied),
        ("another user's pipe as target in a sticky folder", sticky, "out.mdl", True, ["m.mdl", "out.mdl", "d.cfg"],
         errno.EACCES, "Error opening target MDL file out.mdl: %s\n" % denied),
        ("another user's file as backup in a sticky folder", sticky, "m.MD$", False, ["m.mdl", "d.cfg"], 1,
         "Error opening backup file m.MD$: %s\nNo further processing due to non-available MDL backup file.\n" %
         denied),
        ("another user's model in place in a sticky folder", sticky, "m.mdl", False, ["m.mdl", "d.cfg"], 1,
         "Error opening backup file m.MD$: %s\nNo further processing due to non-available MDL backup file.\n" %
         denied),
        ("the folder owner's file as target in a sticky folder", theirs, "out.mdl", False,
         ["m.mdl", "out.mdl", "d.cfg"], 0, "successfully written.\n"),
    ]
    for title, d, name, fifo, arguments, code, ending in cases:
        path = os.path.join(d, name)
        data = sample if name == "m.mdl" else b"theirs\n"
        if os.path.exists(path):
            os.unlink(path)
        planted(path, fifo, data)
        try:
            r = run(d, arguments)
        except subprocess.TimeoutExpired:
            check(title, ["the run waited on the pipe"])
            continue
        problems = [] if r.returncode == code else ["exit code %d" % r.returncode]
        if not r.stdout.decode().endswith(ending):
            problems.append("output %r" % r.stdout[-300:])
        status = os.lstat(path)
        if code != 0:
            if status.st_uid != OTHER or (not fifo and open(path, "rb").read() != data):
                problems.append("%s changed" % name)
            if open(os.path.join(d, "m.mdl"), "rb").read() != sample:
                problems.append("the model changed")
        elif open(path, "rb").read() != processed:
            problems.append("%s was not written" % name)
        left = [f for f in os.listdir(d) if ".veska-" in f]
        if left:
            problems.append("left behind: %s" % left)
        check(title, problems)
        os.unlink(path)
        if name == "m.mdl":
            open(path, "wb").write(sample)

shutil.rmtree(work)
sys.exit(1 if failures else 0)
