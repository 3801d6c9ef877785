"""Runs two dovetrel-convert binaries on the same scenario sets; see compare-classic.sh."""
import difflib
import os
import random
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


RANDOM_SETS = 1000
RANDOM_SEED = 20261207
NAMES = ["sales.ivr", "support.ivr", "tv.ivr", "b2.ivr", "x_y.ivr", "sales.old.ivr", "main.v2.ivr"]
ODD_TEXTS = [b"50%.wav", b"a:b.wav", b"x\\y.wav", b'q"r{1}.wav', b"a\tb.wav", b"1%2", b"12#34#5",
             b"8(495)^1", b"\x01.wav", b"\xd0.wav", b"\xef\xbf\xbe"]


def column(line, width):
    """The line padded with spaces to the width, and always by at least one."""
    return line + b" " * max(1, width - len(line))


def random_file(rng, names, cp1251):
    """One scenario file: the header line, then up to eight key lines of every kind."""
    text = column(str(1 + rng.randrange(30)).encode(), 5)
    if cp1251 and rng.random() < 0.5:
        text += "привет.wav".encode("cp1251")
    elif rng.random() < 0.15:
        text += rng.choice(ODD_TEXTS)
    else:
        text += b"hello%d.wav" % rng.randrange(9)
    text += b"\n"
    for _ in range(rng.randrange(9)):
        roll = rng.random()
        key = (b"b" if roll < 0.15 else b"-" if roll < 0.23 else b"\xff" if cp1251 and roll < 0.28
               else rng.choice([b"'", b"\\", b"", b"f"]) if roll < 0.31
               else bytes([rng.choice(b"0123456789*#123*#axz")]))
        line = column(key, 5)
        action = rng.randrange(100)
        if action < 40:
            line = column(line + b"menu", 21) + rng.choice(names).encode()
        elif action < 75:
            number = (b"" if rng.random() < 0.1 else rng.choice(ODD_TEXTS) if rng.random() < 0.1
                      else b"+7495%d" % rng.randrange(1000))
            line = column(line + b"dial", 21) + number
        elif action < 92:
            line += b"disconnect"
        else:
            line = column(line + rng.choice([b"Menu", b"goto", b"dial x"]), 21) + b"x.ivr"
        text += line + (b"\r\n" if rng.random() < 0.02 else b"\n")
    return text


def random_sets():
    """RANDOM_SETS scenario sets from RANDOM_SEED, each as (encoding, [(name, bytes)])."""
    rng = random.Random(RANDOM_SEED)
    for _ in range(RANDOM_SETS):
        cp1251 = rng.random() < 0.3
        names = ["main.ivr"] + [rng.choice(NAMES) for _ in range(rng.randrange(4))]
        files = {name: random_file(rng, names, cp1251) for name in names}
        encoding = rng.choice(["", "", "", "WINDOWS-1251", "UTF-8", "KOI8-R"])
        yield encoding, list(files.items())


def run(binary, directory, main, encoding, dialect, check):
    out = os.path.join(directory, "out.vxml")
    if os.path.exists(out):
        os.remove(out)
    args = ([binary, "--dialect", dialect] + (["--encoding", encoding] if encoding else []) +
            (["--check", main] if check else [main, out]))
    result = subprocess.run(args, capture_output=True, cwd=directory, check=False)
    document = open(out, "rb").read() if os.path.exists(out) else None
    return result.returncode, result.stdout + result.stderr, document


DOCUMENTS_ONLY = False


def compare(old, new, directory, main, encoding, label):
    """Both dialects, the conversion and --check (but for --documents), by both binaries."""
    for dialect in ("classic", "w3c"):
        for check in (False,) if DOCUMENTS_ONLY else (False, True):
            if compare_run(old, new, directory, main, encoding, dialect, check,
                           f"{label} ({dialect}{' --check' if check else ''})"):
                return 1
    return 0


def compare_run(old, new, directory, main, encoding, dialect, check, label):
    a = run(old, directory, main, encoding, dialect, check)
    b = run(new, directory, main, encoding, dialect, check)
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
    sets = []
    for corpus in corpora:
        for name in sorted(os.listdir(corpus)):
            encoding, files = split_input(open(os.path.join(corpus, name), "rb").read())
            sets.append((f"{corpus}/{name}", encoding, files))
    sets += [(f"random set {i}", encoding, files)
             for i, (encoding, files) in enumerate(random_sets())]
    for label, encoding, files in sets:
        with tempfile.TemporaryDirectory() as work:
            for file_name, content in files:
                with open(os.path.join(work, file_name), "wb") as out:
                    out.write(content)
            differences += compare(old, new, work, files[0][0], encoding, label)
            count += 1
    print(f"{count} sets compared in both dialects"
          f"{'' if DOCUMENTS_ONLY else ' with their messages and --check'}, {differences} differ: "
          f"{'identical' if not differences else 'NOT identical'}")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
