"""Mutation check: plants one small fault at a time in the given sources and runs the tests that
should catch it. Started by scripts/mutate, which provides the Wine session.

A mutant is killed when the test program fails (or hangs past its time limit), survives when it
passes, and is stillborn when it does not compile (not counted). Only code is changed: comments,
string literals and assertions checked at compile time are left alone.

Each mutant's verdict is kept in build/mutate/verdicts.json. With --reuse-kills a mutant killed
before (the same change of the same line text in the same file) by a failing test is not built
again: tests only grow, so a kill stays a kill; survivors and hangs are tried again."""

import argparse
import glob
import hashlib
import json
import os
import re
import subprocess
import sys
import time

# The families checked as a whole: the sources, the test program that should catch their faults and
# its filter. `native` mutants are built and run on the host build (no Wine): much faster.
FAMILIES = {
    "core": {
        "native": True,
        "target": "naming_tests",
        "filter": "*",
        "files": ["naming/*.cpp"],
    },
    "program": {
        "native": False,
        "target": "app_tests",
        "filter": "TessarinCmd*:FolderListWindow*:TemplateFileWindow*:SettingsFileTest*:"
        "StoredInteger*:CreateButtonTest*:CreationRunEndToEnd*:UndoEndToEnd*:Win32Directory*:"
        "Win32DiskReader*:DpiLayoutTests.MainWindowAndItsList*",
        "files": ["app/TessarinCmdP.cpp", "app/FolderListWindow.cpp", "app/MainListing.cpp",
                  "app/TemplateDisk.cpp", "app/MainTemplate.cpp", "app/RecentTemplates.cpp",
                  "app/UndoFile.cpp", "app/Settings.cpp", "app/MainRun.cpp",
                  "app/Win32Naming.cpp"],
    },
}

# Mutants judged equivalent: the program behaves the same with them, so no test can kill them.
# Keyed by file, the line's text and the change; each says why. A survivor listed here is counted
# apart and printed with its reason, never silently: the share is then that of the mutants a test
# could kill.
EQUIVALENT = {
    ("naming/FolderRule.cpp", 'rfind("COM", 0)', "constant 0 to 1"):
        "in a name of four characters, COM or LPT found at index 1 ends in M or T, never a port's digit",
    ("app/Win32Naming.cpp", "while (length > 0 &&", "constant 0 to 1"):
        "differs only for a system message of a single blank, which no error code has",
    ("app/Win32Naming.cpp", "char buffer[512];", "constant 512 to 513"):
        "every system message fits either buffer",
    ("app/Settings.cpp", "if (length + 1 < buffer.size())", "constant 1 to 2"):
        "a value that just fits is read again into a larger buffer: the same text",
    ("app/TemplateDisk.cpp", "GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS", "constant 0 to 1"):
        "lets another program read the half-written .new file; this program never does",
    ("app/TemplateDisk.cpp", "DWORD done = 0;", "constant 0 to 1"):
        "WriteFile sets the count before it is read, on success and on failure",
    ("app/FolderListWindow.cpp", "TWinControl::SetTabOrder({&List, &RunButton", "drop call"):
        "the controls are made in that order, which is the Tab order without the call",
}


def equivalence(path, line, change):
    for (where, text, how), why in EQUIVALENT.items():
        if where == path and text in line and how == change:
            return why
    return None


COMPARISONS = [("==", "!="), ("!=", "=="), ("<=", ">"), (">=", "<"), ("<", ">="), (">", "<=")]


def code_of(line):
    """The line with string and character literals blanked and a trailing comment cut off, of the
    same length up to the comment: the rules look for code there and change the line itself."""
    code = re.sub(r'"(?:[^"\\]|\\.)*"|\'(?:[^\'\\]|\\.)*\'', lambda m: '"' + " " * (len(m.group(0)) - 2) + '"', line)
    comment = code.find("//")
    return code if comment < 0 else code[:comment] + "\n"


def comparison_mutants(line):
    for match in re.finditer(r"(?<![<>=!&|-])(==|!=|<=|>=|<|>)(?![<>=])", code_of(line)):
        op = match.group(1)
        # Templates and streams look like comparisons; skip the obvious ones.
        if op in ("<", ">") and re.search(r"\w<|>\s*[:(&*]|<\w+>", code_of(line)):
            continue
        flipped = dict(COMPARISONS)[op]
        yield ("flip %s to %s" % (op, flipped), line[: match.start()] + flipped + line[match.end():])


def condition_mutants(line):
    match = re.search(r"\b(if|while)\s*\((.*)\)\s*(\{|return|continue|break|[A-Za-z_].*;)?\s*$", code_of(line))
    if match and match.group(2).count("(") == match.group(2).count(")"):
        start, end = match.span(2)
        yield ("negate condition", line[:start] + "!(" + line[start:end] + ")" + line[end:])


def call_mutants(line):
    if re.match(r"^\s*(?:[\w:.>\-\[\]]+)\s*\(.*\)\s*;\s*$", code_of(line)) and not re.match(
        r"^\s*(return|delete|throw|if|while|for|switch)\b", line
    ):
        yield ("drop call", re.match(r"^\s*", line).group(0) + ";\n")


def constant_mutants(line):
    if line.lstrip().startswith("#"):
        return
    for match in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", code_of(line)):
        value = int(match.group(1))
        yield (
            "constant %d to %d" % (value, value + 1),
            line[: match.start()] + str(value + 1) + line[match.end():],
        )


def returns_nothing(header):
    """Whether a function that starts at the left margin returns nothing: void, a constructor or a
    destructor. A bare `return;` elsewhere does not compile."""
    return header.startswith("void ") or re.match(r"^(\w+)::~?\1\(", header) is not None


def early_return_mutants(line, previous):
    # Right at the start of a block of a function that returns nothing: the rest of the block is
    # skipped.
    if previous.endswith("{") and re.match(r"^\s+[A-Za-z_]", line) and not re.match(
        r"^\s*(return|case|default|public|private|protected)\b", line
    ):
        indent = re.match(r"^\s*", line).group(0)
        yield ("return early", indent + "return;\n" + line)


RULES = [condition_mutants, comparison_mutants, call_mutants, constant_mutants]


def mutants_of(path):
    with open(path, encoding="utf-8") as source:
        lines = source.readlines()
    found = []
    in_comment = False
    previous = ""
    function = ""
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith("//") or stripped.startswith("#"):
            continue
        if stripped.startswith("static_assert"):
            continue
        member = re.match(r"^\s+([\w:<>*&]+)\s+(?:[\w:<>*&]+\s+)*\**[\w:~]+\(", line)
        if re.match(r"^[A-Za-z_].*\(", line) or (
            member and member.group(1) not in ("return", "else", "case", "delete", "throw")
            and not stripped.endswith(";")
        ):
            function = stripped
        changes = [change for rule in RULES for change in rule(line)]
        if returns_nothing(function):
            changes += list(early_return_mutants(line, previous))
        found += [(path, number, change, mutated) for change, mutated in changes]
        previous = stripped
    return lines, found


def read_verdicts(path):
    if not os.path.exists(path):
        return {}
    with open(path, encoding="utf-8") as stored:
        return json.load(stored)


def record_verdict(path, key, verdict):
    # Read again before writing: checks on other copies share the file.
    verdicts = read_verdicts(path)
    verdicts[key] = verdict
    with open(path + ".%d" % os.getpid(), "w", encoding="utf-8") as stored:
        json.dump(verdicts, stored, indent=0, ensure_ascii=False)
    os.replace(path + ".%d" % os.getpid(), path)


def run(command, cwd, timeout=None, env=None):
    try:
        result = subprocess.run(
            command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout,
            env=env,
        )
        return result.returncode, result.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return None, "timed out"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--family", choices=sorted(FAMILIES),
                        help="a family's sources, test program and filter (FAMILIES above)")
    parser.add_argument("--target", help="test program, e.g. shell_tests")
    parser.add_argument("--filter", default="*", help="googletest filter for the test program")
    parser.add_argument("--native", action="store_true",
                        help="build and run the test program natively (the portable core)")
    parser.add_argument("--sample", type=int, default=40, help="mutants to try (all when fewer)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--part", default="",
                        help="FIRST-LAST: only these mutants of the sample (1-based), for splitting "
                        "a check over copies")
    parser.add_argument("--reuse-kills", action="store_true",
                        help="count mutants killed in an earlier run without trying them again")
    parser.add_argument("--tree", required=True, help="the copy of the tree to mutate")
    parser.add_argument("files", nargs="*", help="sources to mutate, relative to the tree")
    options = parser.parse_args()

    tree = os.path.abspath(options.tree)
    if options.family:
        family = FAMILIES[options.family]
        options.target, options.filter = family["target"], family["filter"]
        options.native = family["native"]
        options.files = sorted(
            os.path.relpath(path, tree)
            for pattern in family["files"]
            for path in glob.glob(os.path.join(tree, pattern)))
    if not options.target or not options.files:
        parser.error("name a --family, or a --target and the files")
    build = os.path.join(tree, "build", "native" if options.native else "win32")

    def rebuild(cached=True):
        # A mutant is compiled past the compiler cache: it gains nothing from it, and an object
        # stored for a text that changed during its compile would stand for the wrong text.
        env = dict(os.environ, CCACHE_DISABLE="1") if not cached else None
        return run(["cmake", "--build", build, "--target", options.target, "-j", str(os.cpu_count())],
                   tree, env=env)

    code, output = rebuild()
    if code != 0:
        sys.exit("building the copy failed:\n" + output)
    program = ([os.path.join(build, "tests", options.target)] if options.native else [
        os.path.join(build, "wine-exec"), os.path.join(build, "tests", options.target + ".exe")
    ]) + ["--gtest_brief=1", "--gtest_filter=" + options.filter]
    started = time.time()
    code, output = run(program, tree, timeout=900)
    baseline = time.time() - started
    if code != 0:
        sys.exit("the tests fail before any mutation:\n" + output[-3000:])
    # Wine's start varies with the machine's load; a hang shows as soon as this passes.
    limit = max(20.0, baseline * 3 + 10)
    print("baseline: %s passes in %.0f s; a mutant may take %.0f s" % (options.target, baseline, limit))

    everything = []
    originals = {}
    for path in options.files:
        lines, found = mutants_of(os.path.join(tree, path))
        originals[path] = lines
        everything += [(path, number, change, mutated) for (_, number, change, mutated) in found]
    # The sample is drawn by a hash of each mutant's own text, not by its place: an edit elsewhere
    # in a file keeps the same mutants in the sample.
    def mutant_key(mutant):
        path, number, change, mutated = mutant
        text = originals[path][number - 1].strip()
        # Lines of the same text in a file are told apart by their order.
        occurrence = [line.strip() for line in originals[path][: number - 1]].count(text)
        key = "%s|%s|%s|%s" % (path, text, change, mutated.strip())
        return key + ("#%d" % occurrence if occurrence else "")

    def unique_line(mutant):
        path, number, _, _ = mutant
        text = originals[path][number - 1].strip()
        return [line.strip() for line in originals[path]].count(text) == 1

    def draw(mutant):
        return hashlib.sha1(("%d|%s" % (options.seed, mutant_key(mutant))).encode()).hexdigest()

    everything.sort(key=draw)
    sample = everything[: options.sample]
    verdicts_file = os.path.join(tree, "..", "verdicts.json")
    verdicts = read_verdicts(verdicts_file)
    print("%d mutants found in %d files; trying %d" % (len(everything), len(options.files), len(sample)))

    killed = survived = stillborn = 0
    survivors = []
    first, last = (int(bound) for bound in options.part.split("-")) if options.part else (1, len(sample))
    for index, (path, number, change, mutated) in enumerate(sample, 1):
        if not first <= index <= last:
            continue
        key = mutant_key((path, number, change, mutated))
        # The first of several lines of the same text has the key such lines all had before
        # they were told apart: its kept verdict may be another line's.
        if options.reuse_kills and verdicts.get(key) == "killed" and (
            unique_line((path, number, change, mutated)) or "#" in key
        ):
            killed += 1
            print("[%d/%d] %s:%d %s: killed (earlier run)" % (index, len(sample), path, number, change))
            continue
        started = time.time()
        target = os.path.join(tree, path)
        lines = list(originals[path])
        lines[number - 1] = mutated
        with open(target, "w", encoding="utf-8") as out:
            out.writelines(lines)
        try:
            code, _ = rebuild(cached=False)
            if code != 0:
                stillborn += 1
                verdict = "stillborn"
            else:
                code, _ = run(program, tree, timeout=limit)
                if code is None:
                    # A loaded machine can slow a run past its limit: a hang must show twice.
                    code, _ = run(program, tree, timeout=2 * limit)
                if code == 0:
                    survived += 1
                    survivors.append((path, number, change, originals[path][number - 1].strip()))
                    verdict = "SURVIVED"
                else:
                    killed += 1
                    verdict = "killed" if code is not None else "killed (hung)"
        finally:
            with open(target, "w", encoding="utf-8") as out:
                out.writelines(originals[path])
        record_verdict(verdicts_file, key, verdict)
        print("[%d/%d] %s:%d %s: %s (%.0f s)" % (index, len(sample), path, number, change, verdict,
                                              time.time() - started), flush=True)
    rebuild()

    counted = killed + survived
    print()
    equivalent = 0
    for path, number, change, line in survivors:
        why = equivalence(path, line, change)
        if why:
            equivalent += 1
            print("equivalent: %s:%d %s   (%s): %s" % (path, number, change, line, why))
        else:
            print("survived: %s:%d %s   (%s)" % (path, number, change, line))
    share = 100.0 * killed / counted if counted else 0.0
    print("%d killed, %d survived, %d stillborn: %.0f%% of %d counted mutants killed"
          % (killed, survived, stillborn, share, counted))
    if equivalent:
        others = counted - equivalent
        print("%d of the survivors judged equivalent (EQUIVALENT above): %.0f%% of the %d others "
              "killed" % (equivalent, 100.0 * killed / others if others else 0.0, others))


if __name__ == "__main__":
    main()
