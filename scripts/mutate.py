"""Mutation check: plants one small fault at a time in the given sources and runs the tests that
should catch it. Started by scripts/mutate, which provides the Wine session.

A mutant is killed when the test program fails (or hangs past its time limit), survives when it
passes, and is stillborn when it does not compile (not counted)."""

import argparse
import os
import random
import re
import subprocess
import sys
import time

COMPARISONS = [("==", "!="), ("!=", "=="), ("<=", ">"), (">=", "<"), ("<", ">="), (">", "<=")]


def comparison_mutants(line):
    for match in re.finditer(r"(?<![<>=!&|-])(==|!=|<=|>=|<|>)(?![<>=])", line):
        op = match.group(1)
        # Templates and streams look like comparisons; skip the obvious ones.
        if op in ("<", ">") and re.search(r"\w<|>\s*[:(&*]|<\w+>", line):
            continue
        flipped = dict(COMPARISONS)[op]
        yield ("flip %s to %s" % (op, flipped), line[: match.start()] + flipped + line[match.end():])


def condition_mutants(line):
    match = re.search(r"\b(if|while)\s*\((.*)\)\s*(\{|return|continue|break|[A-Za-z_].*;)?\s*$", line)
    if match and match.group(2).count("(") == match.group(2).count(")"):
        start, end = match.span(2)
        yield ("negate condition", line[:start] + "!(" + match.group(2) + ")" + line[end:])


def call_mutants(line):
    if re.match(r"^\s*(?:[\w:.>\-\[\]]+)\s*\(.*\)\s*;\s*$", line) and not re.match(
        r"^\s*(return|delete|throw|if|while|for|switch)\b", line
    ):
        yield ("drop call", re.match(r"^\s*", line).group(0) + ";\n")


def constant_mutants(line):
    if line.lstrip().startswith("#"):
        return
    for match in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", line):
        value = int(match.group(1))
        yield (
            "constant %d to %d" % (value, value + 1),
            line[: match.start()] + str(value + 1) + line[match.end():],
        )


def early_return_mutants(line, previous):
    # Right at the start of a block: the rest of the block is skipped (void functions compile;
    # the others are stillborn and not counted).
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
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith("//") or stripped.startswith("#include"):
            continue
        changes = [change for rule in RULES for change in rule(line)]
        changes += list(early_return_mutants(line, previous))
        found += [(path, number, change, mutated) for change, mutated in changes]
        previous = stripped
    return lines, found


def run(command, cwd, timeout=None):
    try:
        result = subprocess.run(
            command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout
        )
        return result.returncode, result.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return None, "timed out"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--target", required=True, help="test program, e.g. shell_tests")
    parser.add_argument("--filter", default="*", help="googletest filter for the test program")
    parser.add_argument("--sample", type=int, default=40, help="mutants to try (all when fewer)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--tree", required=True, help="the copy of the tree to mutate")
    parser.add_argument("files", nargs="+", help="sources to mutate, relative to the tree")
    options = parser.parse_args()

    tree = os.path.abspath(options.tree)
    build = os.path.join(tree, "build", "win32")

    def rebuild():
        return run(["cmake", "--build", build, "--target", options.target, "-j", str(os.cpu_count())], tree)

    code, output = rebuild()
    if code != 0:
        sys.exit("building the copy failed:\n" + output)
    program = [
        os.path.join(build, "wine-exec"),
        os.path.join(build, "tests", options.target + ".exe"),
        "--gtest_brief=1",
        "--gtest_filter=" + options.filter,
    ]
    started = time.time()
    code, output = run(program, tree, timeout=900)
    baseline = time.time() - started
    if code != 0:
        sys.exit("the tests fail before any mutation:\n" + output[-3000:])
    limit = max(60.0, baseline * 3)
    print("baseline: %s passes in %.0f s; a mutant may take %.0f s" % (options.target, baseline, limit))

    everything = []
    originals = {}
    for path in options.files:
        lines, found = mutants_of(os.path.join(tree, path))
        originals[path] = lines
        everything += [(path, number, change, mutated) for (_, number, change, mutated) in found]
    random.Random(options.seed).shuffle(everything)
    sample = everything[: options.sample]
    print("%d mutants found in %d files; trying %d" % (len(everything), len(options.files), len(sample)))

    killed = survived = stillborn = 0
    survivors = []
    for index, (path, number, change, mutated) in enumerate(sample, 1):
        target = os.path.join(tree, path)
        lines = list(originals[path])
        lines[number - 1] = mutated
        with open(target, "w", encoding="utf-8") as out:
            out.writelines(lines)
        try:
            code, _ = rebuild()
            if code != 0:
                stillborn += 1
                verdict = "stillborn"
            else:
                code, _ = run(program, tree, timeout=limit)
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
        print("[%d/%d] %s:%d %s: %s" % (index, len(sample), path, number, change, verdict), flush=True)
    rebuild()

    counted = killed + survived
    print()
    for path, number, change, line in survivors:
        print("survived: %s:%d %s   (%s)" % (path, number, change, line))
    share = 100.0 * killed / counted if counted else 0.0
    print("%d killed, %d survived, %d stillborn: %.0f%% of %d counted mutants killed"
          % (killed, survived, stillborn, share, counted))


if __name__ == "__main__":
    main()
