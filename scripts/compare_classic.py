"""Runs two dovetrel-convert binaries on the same scenario sets; see compare-classic.sh."""
import difflib
import os
import subprocess
import sys
import tempfile

SEPARATOR = b"\n%%\n"
MAX_FILES = 8


def split_input(data):
    """A fuzzer input as (encoding, [(name, bytes)]), cut as the fuzzer cuts it."""
    encoding = ""
    if data.startswith(b"@"):
        end = data.find(b"\n")
        if 0 < end <= 41:
            encoding = data[1:end].decode("latin-1")
            data = data[end + 1:]
    files = []
    while len(files) < MAX_FILES - 1:
        cut = data.find(SEPARATOR)
        if cut < 0:
            break
        files.append(data[:cut])
        data = data[cut + len(SEPARATOR):]
    files.append(data)
    return encoding, [(chr(ord("a") + i) + ".ivr", content) for i, content in enumerate(files)]


def run(binary, directory, main, encoding):
    out = os.path.join(directory, "out.vxml")
    if os.path.exists(out):
        os.remove(out)
    args = [binary] + (["--encoding", encoding] if encoding else []) + [main, out]
    result = subprocess.run(args, capture_output=True, cwd=directory, check=False)
    document = open(out, "rb").read() if os.path.exists(out) else None
    return result.returncode, result.stderr, document


DOCUMENTS_ONLY = False


def compare(old, new, directory, main, encoding, label):
    a = run(old, directory, main, encoding)
    b = run(new, directory, main, encoding)
    if DOCUMENTS_ONLY:
        a, b = (a[0], a[2]), (b[0], b[2])
    if a != b:
        print(f"differs: {label}")
        if DOCUMENTS_ONLY and a[1] and b[1]:
            old_lines = a[1].decode("utf-8", "backslashreplace").splitlines()
            new_lines = b[1].decode("utf-8", "backslashreplace").splitlines()
            for line in difflib.unified_diff(old_lines, new_lines, lineterm="", n=0):
                print("  " + line)
        return 1
    return 0


def main():
    global DOCUMENTS_ONLY
    args = sys.argv[1:]
    if args and args[0] == "--documents":
        DOCUMENTS_ONLY = True
        args = args[1:]
    old, new, examples, *corpora = args
    differences = count = 0
    for name in sorted(os.listdir(examples)):
        directory = os.path.join(examples, name)
        if os.path.isfile(os.path.join(directory, "main.ivr")):
            with tempfile.TemporaryDirectory() as work:
                subprocess.run(["cp", "-r", directory + "/.", work], check=True)
                differences += compare(old, new, work, "main.ivr", "", f"example {name}")
                count += 1
    for corpus in corpora:
        for name in sorted(os.listdir(corpus)):
            encoding, files = split_input(open(os.path.join(corpus, name), "rb").read())
            with tempfile.TemporaryDirectory() as work:
                for file_name, content in files:
                    with open(os.path.join(work, file_name), "wb") as out:
                        out.write(content)
                differences += compare(old, new, work, "a.ivr", encoding, f"{corpus}/{name}")
                count += 1
    print(f"{count} sets compared, {differences} differ")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
