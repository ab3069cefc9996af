#!/usr/bin/env python3
"""Plants single-line faults in a copy of the tree and reports which ones no test caught.

    python3 tests/mutate.py [WORD...] [--list tests/mutants.txt] [--scratch DIR] [--limit SECONDS]
    python3 tests/mutate.py --report [--scratch DIR]
    python3 tests/mutate.py --check

Each fault of the list (see its header) is applied alone to a copy of the tree under
/tmp, which is rebuilt incrementally (Release, -j2, under nice) and tested with ctest: the
quick tests first, stopping at the first failure, then the golden frames. A fault is
caught when a test fails or the run passes its time limit, survives when every test
passes, and does not count when it does not compile. A fault whose text has left its file
is applied in the one file under src/ that has it now (and scored under that folder), and
is stale when no file or several have it. A fault in a file only the Windows build compiles
(its name holds "windows") is built in the copy's cross build (build-windows, as ./dev
makes it) and tested there under Wine: its unit tests first, then the Wine scripts, which
compare against the copy's unchanged Linux zorbel. With WORDs, only the faults whose line
contains one of them run. Results are appended to DIR/results.txt as they come, so an
interrupted run can still be reported.
"""
import argparse
import collections
import os
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEST_TARGETS = ["zorbel", "zorbel_tests", "zorbel_golden", "zorbel_tool_tests"]
GOLDEN = "golden|Golden"


def windows_only(fault):
    return "windows" in os.path.basename(fault["file"])


def parse_faults(path):
    faults = []
    with open(path, encoding="utf-8") as stream:
        for number, raw in enumerate(stream, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if " :: " not in line or " => " not in line:
                sys.exit(f"{path}:{number}: expected 'FILE :: TEXT => REPLACEMENT'")
            file, rest = line.split(" :: ", 1)
            text, replacement = rest.split(" => ", 1)
            faults.append({"id": number, "file": file.strip(), "text": text, "replacement": replacement})
    return faults


def folder_of(fault):
    parts = fault["file"].split("/")
    return "/".join(parts[:2]) if len(parts) > 2 else parts[0]


def interleave_by_folder(faults):
    """Round-robin over the folders, so a partial run covers every folder."""
    queues = collections.OrderedDict()
    for fault in faults:
        queues.setdefault(folder_of(fault), []).append(fault)
    ordered = []
    while any(queues.values()):
        for queue in queues.values():
            if queue:
                ordered.append(queue.pop(0))
    return ordered


def sync_tree(scratch):
    """Copies the tracked and new files of the tree into scratch/tree, rewriting only the
    files whose content differs, so the scratch build stays incremental."""
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT, check=True,
                            capture_output=True).stdout.decode().split("\0")
    tree = os.path.join(scratch, "tree")
    # Files the tree no longer has go, or the build's globs would still pick them up.
    wanted = set(filter(None, listed))
    for folder, _, names in os.walk(tree):
        if os.path.relpath(folder, tree).split(os.sep)[0] in ("build", ".git"):
            continue
        for name in names:
            relative = os.path.relpath(os.path.join(folder, name), tree)
            if relative not in wanted:
                os.remove(os.path.join(folder, name))
    for name in filter(None, listed):
        source, target = os.path.join(ROOT, name), os.path.join(tree, name)
        if not os.path.isfile(source):
            continue
        with open(source, "rb") as stream:
            content = stream.read()
        if os.path.isfile(target):
            with open(target, "rb") as stream:
                if stream.read() == content:
                    continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        # A fresh modification time, so the build sees the change even when the source is older.
        shutil.copyfile(source, target)
        shutil.copymode(source, target)
    return tree


def run(command, cwd, limit=None):
    """Runs a command in its own process group; (status, output). A run past `limit`
    seconds is killed with its whole group and reports status None."""
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=limit)
        return process.returncode, output.decode(errors="replace")
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output.decode(errors="replace")


def build(tree, targets, folder="build"):
    status, output = run(["nice", "cmake", "--build", folder, "-j", "2", "--target", *targets], tree)
    return status == 0, output


def configure(tree, folder, *options):
    """Configures the build folder; the test targets it has."""
    # The tests, benchmarks and tools are built only when asked for.
    status, output = run(["cmake", "-S", ".", "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=ON",
                          "-DZORBEL_BUILD_BENCHMARKS=ON", "-DZORBEL_BUILD_TOOLS=ON", *options], tree)
    if status != 0:
        sys.exit(f"configure of {folder} failed:\n" + output)
    _, listing = run(["ninja", "-C", folder, "-t", "targets", "all"], tree)
    return [t for t in TEST_TARGETS if f"\n{t}:" in "\n" + listing]


def configure_windows(tree):
    """The cross build's test targets, or None without the cross compiler or Wine."""
    if not (shutil.which("x86_64-w64-mingw32-g++-posix") and shutil.which("wine")):
        return None
    status, output = run(["scripts/build-windows-deps.sh"], tree)  # prints the prefix last
    if status != 0:
        sys.exit("the Windows libraries did not build:\n" + output[-3000:])
    return configure(tree, "build-windows", "-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake",
                     f"-DZORBEL_WINDOWS_DEPS={output.strip().splitlines()[-1]}",
                     f"-DZORBEL_LINUX_ZORBEL={os.path.join(tree, 'build', 'zorbel')}")


def test(tree, limit, folder="build", slow=GOLDEN):
    """'pass', 'fail' or 'timeout' for the whole suite, quick tests first."""
    started = time.monotonic()
    quick = ["nice", "ctest", "--test-dir", folder, "-j", "2", "--stop-on-failure", "-E", slow]
    status, _ = run(quick, tree, limit)
    if status is None:
        return "timeout"
    if status != 0:
        return "fail"
    left = max(30.0, limit - (time.monotonic() - started))
    status, _ = run(["nice", "ctest", "--test-dir", folder, "-j", "2", "-R", slow], tree, left)
    return "timeout" if status is None else "pass" if status == 0 else "fail"


def locate(tree, fault):
    """The file that holds the fault's text: the named one, or else the one file under src/
    that does (code moved by a refactor); None when no file or several do."""
    def holds(relative):
        path = os.path.join(tree, relative)
        if not os.path.isfile(path):
            return False
        with open(path, encoding="utf-8", errors="replace") as stream:
            return any(fault["text"] in line for line in stream)
    if holds(fault["file"]):
        return fault["file"]
    found = []
    for folder, _, names in os.walk(os.path.join(tree, "src")):
        for name in names:
            relative = os.path.relpath(os.path.join(folder, name), tree)
            if holds(relative):
                found.append(relative)
    return found[0] if len(found) == 1 else None


def apply(tree, fault):
    """Plants the fault; returns the file's original text, or None when the text is gone."""
    path = os.path.join(tree, fault["file"])
    with open(path, encoding="utf-8") as stream:
        original = stream.read()
    lines = original.split("\n")
    for index, line in enumerate(lines):
        if fault["text"] in line:
            lines[index] = line.replace(fault["text"], fault["replacement"], 1)
            with open(path, "w", encoding="utf-8") as stream:
                stream.write("\n".join(lines))
            return original
    return None


def restore(tree, fault, original):
    with open(os.path.join(tree, fault["file"]), "w", encoding="utf-8") as stream:
        stream.write(original)


def report(results_path):
    if not os.path.exists(results_path):
        sys.exit(f"no results in {results_path}")
    latest = collections.OrderedDict()
    with open(results_path, encoding="utf-8") as stream:
        for line in stream:
            outcome, fault_id, file, text = line.rstrip("\n").split("\t", 3)
            latest[(fault_id, file, text)] = outcome
    per_folder = collections.OrderedDict()
    survivors, stale = [], []
    for (fault_id, file, text), outcome in latest.items():
        folder = "/".join(file.split("/")[:2])
        counts = per_folder.setdefault(folder, collections.Counter())
        counts[outcome] += 1
        if outcome == "survived":
            survivors.append(f"  {file}: {text.strip()}")
        elif outcome == "stale":
            stale.append(f"  {file}: {text.strip()}")
    print(f"{'folder':16} {'caught':>6} {'survived':>8} {'score':>6} {'stale':>5} {'no build':>8}")
    total_caught = total_counted = 0
    for folder, counts in per_folder.items():
        caught = counts["caught"] + counts["timeout"]
        counted = caught + counts["survived"]
        total_caught, total_counted = total_caught + caught, total_counted + counted
        score = f"{100 * caught / counted:.0f}%" if counted else "-"
        print(f"{folder:16} {caught:6} {counts['survived']:8} {score:>6} {counts['stale']:5} {counts['nobuild']:8}")
    if total_counted:
        print(f"{'all':16} {total_caught:6} {total_counted - total_caught:8} {100 * total_caught / total_counted:5.0f}%")
    if survivors:
        print("survivors:\n" + "\n".join(survivors))
    if stale:
        print("stale (text no longer found):\n" + "\n".join(stale))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("words", nargs="*", help="run only the faults whose line contains one of these")
    parser.add_argument("--list", default=os.path.join(ROOT, "tests", "mutants.txt"))
    parser.add_argument("--scratch", default=os.path.join("/tmp", f"zorbel-mutate-{os.getuid()}"))
    parser.add_argument("--limit", type=float, default=900, help="seconds of ctest per fault")
    parser.add_argument("--report", action="store_true", help="only summarise the results so far")
    parser.add_argument("--check", action="store_true", help="only say which faults are stale in this tree")
    arguments = parser.parse_args()
    results_path = os.path.join(arguments.scratch, "results.txt")
    if arguments.report:
        return report(results_path)

    faults = parse_faults(arguments.list)
    if arguments.words:
        faults = [f for f in faults if any(w in f"{f['file']} {f['text']}" for w in arguments.words)]
    faults = interleave_by_folder(faults)
    if arguments.check:
        for fault in faults:
            found = locate(ROOT, fault)
            state = "stale" if found is None else "ok   " if found == fault["file"] else f"moved to {found}"
            print(f"{state} {fault['file']}: {fault['text'].strip()}")
        return
    os.makedirs(arguments.scratch, exist_ok=True)
    tree = sync_tree(arguments.scratch)
    # Each side: build steps, test folder, slow tests. Windows rebuilds the Wine tests' reference too.
    sides = {False: ([("build", configure(tree, "build"))], "build", GOLDEN)}
    if any(windows_only(f) for f in faults):
        windows_targets = configure_windows(tree)
        if windows_targets is None:
            print("no mingw-w64 or Wine here: the Windows faults are left out", flush=True)
            faults = [f for f in faults if not windows_only(f)]
        else:
            sides[True] = ([("build", ["zorbel"]), ("build-windows", windows_targets)], "build-windows", "Wine")
    sides = {windows: side for windows, side in sides.items() if any(windows_only(f) == windows for f in faults)}
    for steps, folder, slow in sides.values():
        print(f"scratch tree {tree}; building {', '.join(f'{d}/{t}' for d, ts in steps for t in ts)}", flush=True)
        for step_folder, targets in steps:
            ok, output = build(tree, targets, step_folder)
            if not ok:
                sys.exit("the unchanged tree does not build:\n" + output[-3000:])
        if test(tree, arguments.limit, folder, slow) != "pass":
            sys.exit(f"the unchanged tree fails its tests in {folder}; fix that first")

    with open(results_path, "a", encoding="utf-8") as results:
        for number, fault in enumerate(faults, 1):
            started = time.monotonic()
            found = locate(tree, fault)
            if found is not None:
                fault = dict(fault, file=found)  # scored under the folder the code is in now
            original = apply(tree, fault) if found is not None else None
            if original is None:
                outcome = "stale"
            else:
                steps, folder, slow = sides[windows_only(fault)]
                try:
                    built = all(build(tree, targets, step_folder)[0] for step_folder, targets in steps)
                    outcome = "nobuild" if not built else {"pass": "survived", "fail": "caught", "timeout": "timeout"}[
                        test(tree, arguments.limit, folder, slow)]
                finally:
                    restore(tree, fault, original)
            results.write(f"{outcome}\t{fault['id']}\t{fault['file']}\t{fault['text']}\n")
            results.flush()
            print(f"[{number}/{len(faults)}] {outcome:8} {time.monotonic() - started:5.0f} s  "
                  f"{fault['file']}: {fault['text'].strip()}", flush=True)
    for steps, _, _ in sides.values():  # leave the scratch builds matching the tree
        for step_folder, targets in steps:
            build(tree, targets, step_folder)
    report(results_path)


if __name__ == "__main__":
    main()
