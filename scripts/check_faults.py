#!/usr/bin/env python3
"""Real faults through the release programs: every occurrence of the system
calls that read and write files fails with EIO or ENOSPC, or the process is
killed there (SIGTERM, SIGKILL), under strace's fault injection, for an
in-place run, a three-name run, --strip in place and to a target, and
--preview. Every file the runs replace carries permission bits 0640 and,
where the file system has them, an access control list. After every run:
each destination holds its old or its complete new bytes; the backup is
absent, old or complete; a new file has the permissions and list of the file
it replaces (the backup: of the model), or, where giving the group or the
list failed, the same with the group bits cleared (and cleared they must be
when setting the group or the list of that very file failed); a run that did
not finish ended with a non-zero exit code, and its message names one of the
run's files (never a temporary one) or says that the standard output could
not be written; no temporary file is left, except after SIGKILL.

Then every signal whose default action ends the process, sent while the
temporary file exists, ends the run by that signal with no temporary file
left; SIGHUP, SIGINT and SIGQUIT ignored from the start (nohup, a background
job) stay ignored and the run completes; and with standard output a pipe
whose reader is gone, the texts and the inspector end with 1 after saying so
on standard error while veska's run keeps the exit code of the model's fate.

    scripts/check_faults.py BUILD_FOLDER

Prints one line per class of fault and scenario, then "N passed, M failed";
the exit code is 1 when any run failed."""
import collections
import errno
import os
import re
import shutil
import subprocess
import sys
import tempfile

SYSCALLS = ["openat", "read", "write", "fsync", "close", "rename", "fchmod", "fchown", "getxattr", "fsetxattr"]
# The calls that give a new file its group and list, and the one that reads
# the list to give: where one fails, the group bits are cleared instead.
PERMISSION_CALLS = ["fchown", "getxattr", "fsetxattr"]
ACCESS_LIST = "system.posix_acl_access"
ERRORS = ["EIO", "ENOSPC"]
SIGNALS = ["SIGTERM", "SIGKILL"]

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
veska = os.path.join(build, "veska")
inspect = os.path.join(build, "veska-inspect")
maker = os.path.join(build, "tools", "mdl_builder", "make-sample-mdl")
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The example's definition with a key line behind 6 KB of comments, so that a
# read that fails after the first few kilobytes would lose it.
definition = open(os.path.join(root, "examples", "one_light.cfg"), "rb").read()
definition += b"".join(b"; padding line %03d of comments between the keys\n" % i for i in range(120))
definition += b"SpotDepth=30\n"

work = tempfile.mkdtemp(prefix="veska-faults-")
subprocess.run([maker, os.path.join(work, "sample.mdl")], check=True, stdout=subprocess.DEVNULL)
sample = open(os.path.join(work, "sample.mdl"), "rb").read()
OLD = b"the file as it was before the run\n"


def expected_outputs():
    """The bytes each scenario writes when nothing goes wrong."""
    d = os.path.join(work, "clean")
    os.mkdir(d)
    open(os.path.join(d, "m.mdl"), "wb").write(sample)
    open(os.path.join(d, "d.cfg"), "wb").write(definition)
    subprocess.run([veska, "m.mdl", "r.mdl", "d.cfg"], cwd=d, check=True, stdout=subprocess.DEVNULL)
    processed = open(os.path.join(d, "r.mdl"), "rb").read()
    subprocess.run([inspect, "--preview", "d.cfg", "p.svg"], cwd=d, check=True, stdout=subprocess.DEVNULL)
    picture = open(os.path.join(d, "p.svg"), "rb").read()
    return processed, picture


processed, picture = expected_outputs()

# Each scenario: the files before the run, the command, and per destination
# its old bytes (None: absent) and its complete new bytes. Files that are
# only read must stay as they are.
SCENARIOS = [
    ("in place", {"m.mdl": sample, "m.MD$": OLD, "d.cfg": definition}, [veska, "m.mdl", "d.cfg"],
     {"m.mdl": (sample, processed), "m.MD$": (OLD, sample)}),
    ("three names", {"m.mdl": sample, "t.mdl": OLD, "d.cfg": definition}, [veska, "m.mdl", "t.mdl", "d.cfg"],
     {"t.mdl": (OLD, processed)}),
    ("--strip in place", {"r.mdl": processed}, [inspect, "--strip", "r.mdl"], {"r.mdl": (processed, sample)}),
    ("--strip to a target", {"r.mdl": processed, "s.mdl": OLD}, [inspect, "--strip", "r.mdl", "s.mdl"],
     {"s.mdl": (OLD, sample)}),
    ("--preview", {"d.cfg": definition, "p.svg": OLD}, [inspect, "--preview", "d.cfg", "p.svg"],
     {"p.svg": (OLD, picture)}),
]

TEMPORARY = re.compile(r"\.veska-")


def permissions(path):
    """The permission bits and the access control list (None: none)."""
    try:
        acl = os.getxattr(path, ACCESS_LIST)
    except OSError:
        acl = None
    return os.stat(path).st_mode & 0o7777, acl


def prepare(files):
    d = tempfile.mkdtemp(dir=work)
    for name, data in files.items():
        path = os.path.join(d, name)
        open(path, "wb").write(data)
        os.chmod(path, 0o640)
        # Another user may read it; the list's mask is then r--, as the
        # group bits show.
        subprocess.run(["setfacl", "-m", "u:4322:r", path], stderr=subprocess.DEVNULL)
    return d


def predecessor(name):
    """The file whose permissions the new file at name takes."""
    return "m.mdl" if name == "m.MD$" else name


def temporary_owner(text):
    """The destination of a temporary file named in a traced call, or None."""
    m = re.search(r"<[^>]*/\.([^/>]+)\.veska-[A-Za-z0-9]{6}>", text)
    return m.group(1) if m else None


def count_calls(files, command):
    """How often the clean run makes each system call, and the text of each
    call (with the names of its open files)."""
    d = prepare(files)
    log = os.path.join(work, "count.log")
    subprocess.run(["strace", "-f", "-qq", "-y", "-o", log, "-e", "trace=" + ",".join(SYSCALLS)] + command, cwd=d,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    counts = collections.Counter()
    calls = collections.defaultdict(list)
    for line in open(log):
        m = re.match(r"(?:\d+\s+)?(\w+)\(", line)
        if m and m.group(1) in SYSCALLS:
            counts[m.group(1)] += 1
            calls[m.group(1)].append(line)
    shutil.rmtree(d)
    return counts, calls


def check(files, command, destinations, injection, kind, syscall, call):
    """Runs once with the injection into syscall, whose clean call was call;
    returns a problem or None."""
    d = prepare(files)
    before = {name: permissions(os.path.join(d, predecessor(name))) for name in destinations}
    out = os.path.join(work, "out.txt")
    err = os.path.join(work, "err.txt")
    with open(out, "wb") as stdout, open(err, "wb") as stderr:
        code = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-e", injection] + command, cwd=d,
                              stdout=stdout, stderr=stderr).returncode
    output = open(out, "rb").read().decode("utf-8", "replace")
    # Where the standard output itself failed, the message is on standard
    # error.
    lost_output = [line for line in open(err, "rb").read().decode("utf-8", "replace").split("\n")
                   if line.startswith(os.path.basename(command[0]) + ": error writing standard output: ")]
    problems = []
    finished = True
    for name, (old, new) in destinations.items():
        path = os.path.join(d, name)
        now = open(path, "rb").read() if os.path.lexists(path) else None
        if now == new:
            mode, acl = permissions(path)
            wanted_mode, wanted_acl = before[name]
            # Setting the group of, or giving the list to, this very file
            # failed: its group must get nothing.
            must_clear = kind == "error" and temporary_owner(call) == name and (
                syscall == "fsetxattr" or (syscall == "fchown" and re.search(r"\(\d+<[^>]*>, -1, \d+\)", call)))
            cleared = mode == wanted_mode & ~0o070
            if (mode, acl) == (wanted_mode, wanted_acl) and not must_clear:
                continue
            if not (cleared and kind == "error" and syscall in PERMISSION_CALLS):
                problems.append("%s has permissions %o %r instead of %o %r" % (name, mode, acl, wanted_mode,
                                                                                wanted_acl))
            continue
        finished = False
        if now != old:
            problems.append("%s holds neither its old nor its complete new bytes" % name)
    for name, data in files.items():
        if name not in destinations and open(os.path.join(d, name), "rb").read() != data:
            problems.append("%s, which is only read, changed" % name)
    if not finished and code == 0:
        problems.append("the run did not finish but ended with 0")
    # veska-inspect has three exit codes; veska ends with the error number
    # when writing the target fails.
    if kind == "error" and command[0] == inspect and code not in (0, 1):
        problems.append("exit code %d" % code)
    if kind == "error" and code != 0:
        named = [line for line in output.split("\n") if any(name in line for name in list(files) + list(destinations))]
        if not named and not lost_output:
            problems.append("no message names a file of the run: %r" % output[-200:])
    if TEMPORARY.search(output):
        problems.append("a message names a temporary file")
    left = sorted(set(os.listdir(d)) - set(files) - set(destinations))
    if left and kind != "SIGKILL":
        problems.append("left behind: %s" % ", ".join(left))
    # What a SIGKILL may leave is a temporary file whose name tells whose it
    # is, or, where that name would be too long, ".veska-XXXXXX".
    for name in left:
        if not any(re.fullmatch(r"(\.%s)?\.veska-[A-Za-z0-9]{6}" % re.escape(owner), name) for owner in destinations):
            problems.append("a left file of another name: %s" % name)
    shutil.rmtree(d)
    return "; ".join(problems) if problems else None


passed = failed = 0
for title, files, command, destinations in SCENARIOS:
    counts, calls = count_calls(files, command)
    print("%s: %s" % (title, ", ".join("%s %d" % (name, counts[name]) for name in SYSCALLS)))
    classes = [(error, "error", "%s:error=%s:when=%d") for error in ERRORS]
    classes += [(signal, signal, "%s:signal=%s:when=%d") for signal in SIGNALS]
    for label, kind, form in classes:
        runs = bad = 0
        first = None
        for syscall in SYSCALLS:
            for n in range(1, counts[syscall] + 1):
                problem = check(files, command, destinations, "inject=" + form % (syscall, label, n), kind, syscall,
                                calls[syscall][n - 1])
                runs += 1
                if problem:
                    bad += 1
                    first = first or "%s #%d: %s" % (syscall, n, problem)
        passed += runs - bad
        failed += bad
        print("%-20s %-7s at every occurrence (%3d runs): %s" % (title, label, runs,
                                                                  "held" if bad == 0 else "%d FAILED, e.g. %s" % (bad, first)))
        sys.stdout.flush()

# A file-size limit below the model's length: the write fails with "File
# too large" through the ordinary error path instead of ending the process.
import resource


def limited():
    resource.setrlimit(resource.RLIMIT_FSIZE, (32768, 32768))


for title, files, command, destinations in SCENARIOS[:2]:
    d = prepare(files)
    run = subprocess.run(command, cwd=d, capture_output=True, preexec_fn=limited)
    output = run.stdout.decode("utf-8", "replace")
    problems = []
    if run.returncode <= 0 or "File too large" not in output:
        problems.append("exit code %d, output %r" % (run.returncode, output[-200:]))
    for name, (old, new) in destinations.items():
        path = os.path.join(d, name)
        if (open(path, "rb").read() if os.path.lexists(path) else None) != old:
            problems.append("%s changed" % name)
    left = sorted(set(os.listdir(d)) - set(files) - set(destinations))
    if left:
        problems.append("left behind: %s" % ", ".join(left))
    shutil.rmtree(d)
    passed += 0 if problems else 1
    failed += 1 if problems else 0
    print("%-20s file-size limit: %s" % (title, "held" if not problems else "FAILED: " + "; ".join(problems)))

# Every signal whose default action ends the process, sent while the
# temporary file exists (at its first fchmod): the process ends by that
# signal and leaves no temporary file; the destinations hold their old or
# their complete new bytes.
import signal

ENDING = ["SIGHUP", "SIGINT", "SIGQUIT", "SIGILL", "SIGTRAP", "SIGABRT", "SIGBUS", "SIGFPE", "SIGUSR1", "SIGSEGV",
          "SIGUSR2", "SIGALRM", "SIGTERM", "SIGSTKFLT", "SIGXCPU", "SIGVTALRM", "SIGPROF", "SIGIO", "SIGPWR", "SIGSYS",
          "SIGRTMIN", "SIGRTMAX"]


def run_in(d, command, injection=None, preexec_fn=None, stdout=subprocess.DEVNULL):
    traced = ["strace", "-f", "-qq", "-o", "/dev/null", "-e", injection] if injection else []
    return subprocess.run(traced + command, cwd=d, stdout=stdout, stderr=subprocess.PIPE, preexec_fn=preexec_fn)


def outcome_problems(d, files, destinations, finished):
    """What is wrong with the files after a run that finished or not."""
    problems = []
    for name, (old, new) in destinations.items():
        path = os.path.join(d, name)
        now = open(path, "rb").read() if os.path.lexists(path) else None
        if not (now == new if finished else now in (old, new)):
            problems.append("%s holds %s" % (name, "not its new bytes" if finished else "neither old nor new bytes"))
    left = sorted(set(os.listdir(d)) - set(files) - set(destinations))
    if left:
        problems.append("left behind: %s" % ", ".join(left))
    return problems


title, files, command, destinations = SCENARIOS[0]
bad = []
for name in ENDING:
    number = getattr(signal, name, None)
    if number is None:
        continue
    d = prepare(files)
    # strace names the real-time signals by number.
    label = name if not name.startswith("SIGRT") else str(int(number))
    run = run_in(d, command, "inject=fchmod:signal=%s:when=1" % label)
    problems = outcome_problems(d, files, destinations, False)
    if run.returncode != -int(number):
        problems.append("exit code %d" % run.returncode)
    if problems:
        bad.append("%s: %s" % (name, "; ".join(problems)))
    shutil.rmtree(d)
passed += len(ENDING) - len(bad)
failed += len(bad)
print("%-20s every ending signal (%d): %s" % (title, len(ENDING), "held" if not bad else "FAILED: " + "; ".join(bad)))


# A signal that the process was started ignoring (nohup, a background job's
# interrupt) stays ignored: the run goes on to its end.
def ignoring(*names):
    def ignore():
        for name in names:
            signal.signal(getattr(signal, name), signal.SIG_IGN)
    return ignore


for name in ["SIGHUP", "SIGINT", "SIGQUIT"]:
    d = prepare(files)
    run = run_in(d, command, "inject=fchmod:signal=%s:when=1" % name, preexec_fn=ignoring(name))
    problems = outcome_problems(d, files, destinations, True)
    if run.returncode != 0:
        problems.append("exit code %d" % run.returncode)
    shutil.rmtree(d)
    passed += 0 if problems else 1
    failed += 1 if problems else 0
    print("%-20s %s ignored at the start: %s" % (title, name, "held" if not problems else "FAILED: " +
                                                  "; ".join(problems)))

# A standard output whose reader is gone: the write fails with EPIPE (the
# signal is ignored). The texts and the inspector end with 1 and say so on
# standard error; veska's runs keep the exit code of the model's fate.
PIPE_CASES = [
    ("veska --help", {}, [veska, "--help"], {}, 1),
    ("veska --version", {}, [veska, "--version"], {}, 1),
    ("veska in place", files, command, destinations, 0),
    ("veska-inspect --check", {"d.cfg": definition}, [inspect, "--check", "d.cfg"], {}, 1),
    ("veska-inspect report", {"m.mdl": sample}, [inspect, "m.mdl"], {}, 1),
]
for title, files, command, destinations, expected in PIPE_CASES:
    d = prepare(files)
    reader, writer = os.pipe()
    os.close(reader)
    run = run_in(d, command, stdout=writer)
    os.close(writer)
    problems = outcome_problems(d, files, destinations, True)
    said = run.stderr.decode("utf-8", "replace")
    if run.returncode != expected:
        problems.append("exit code %d" % run.returncode)
    if expected == 1 and "error writing standard output: %s" % os.strerror(errno.EPIPE) not in said:
        problems.append("standard error %r" % said[-200:])
    shutil.rmtree(d)
    passed += 0 if problems else 1
    failed += 1 if problems else 0
    print("%-24s into a closed pipe: %s" % (title, "held" if not problems else "FAILED: " + "; ".join(problems)))

shutil.rmtree(work)
print("%d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
