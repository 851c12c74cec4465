"""Installs the build into a scratch DESTDIR with `cmake --install` and checks
what lands there: the program, the desktop entry (valid by
desktop-file-validate, Exec naming the installed program), the icon theme
PNGs at their sizes, the metainfo, the manual page and the notices -- and
nothing else."""

import argparse
import filecmp
import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ARGS = None

ICON_SIZES = (32, 48, 256)
ENTRY = "share/applications/kestrane.desktop"
PROGRAM = "bin/kestrane"
# the software centre's metadata, the manual page and the package's notices
DOCUMENTS = ["share/metainfo/org.kestrane.Kestrane.metainfo.xml", "share/man/man1/kestrane.1.gz",
             "share/doc/kestrane/copyright", "share/doc/kestrane/changelog.gz"]


def icon_path(size):
    return f"share/icons/hicolor/{size}x{size}/apps/kestrane.png"


def install(destdir, prefix=None):
    command = [ARGS.cmake, "--install", ARGS.build]
    if prefix is not None:
        command += ["--prefix", prefix]
    env = dict(os.environ, DESTDIR=str(destdir))
    done = subprocess.run(command, env=env, capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"cmake --install failed:\n{done.stdout}{done.stderr}")


def staged(destdir, prefix, relative):
    """Where a file installed under prefix lies inside destdir."""
    return Path(str(destdir) + prefix) / relative


def png_header(path):
    """Width, height, bit depth and colour type from a PNG's IHDR chunk."""
    data = path.read_bytes()[:33]
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise AssertionError(f"{path} is not a PNG file")
    length, kind = struct.unpack(">I4s", data[8:16])
    if kind != b"IHDR" or length != 13:
        raise AssertionError(f"{path}: the first chunk is not IHDR")
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    return width, height, depth, colour


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    keys = {}
    group = None
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            group = line.strip("[]")
            continue
        key, _, value = line.partition("=")
        if group == "Desktop Entry":
            keys[key] = value
    return keys


def exec_program(value):
    """The program an Exec value runs, undoing the entry's two escapings:
    that of string values, then that of one quoted argument."""
    unescaped = []
    i = 0
    while i < len(value):
        c = value[i]
        if c == "\\" and i + 1 < len(value):
            unescaped.append({"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(value[i + 1], "\\" + value[i + 1]))
            i += 2
            continue
        unescaped.append(c)
        i += 1
    text = "".join(unescaped).replace("%%", "%")
    if not (len(text) >= 2 and text[0] == '"' and text[-1] == '"'):
        raise AssertionError(f"Exec is not one quoted argument: {value!r}")
    inner = text[1:-1]
    out = []
    i = 0
    while i < len(inner):
        if inner[i] == "\\" and i + 1 < len(inner) and inner[i + 1] in '"`$\\':
            out.append(inner[i + 1])
            i += 2
            continue
        if inner[i] in '"`$\\':
            raise AssertionError(f"unescaped {inner[i]!r} in Exec: {value!r}")
        out.append(inner[i])
        i += 1
    return "".join(out)


def validate(entry):
    """desktop-file-validate's verdict: errors, warnings and hints alike."""
    validator = shutil.which("desktop-file-validate")
    if validator is None:
        raise AssertionError("desktop-file-validate is missing (Debian package desktop-file-utils)")
    done = subprocess.run([validator, str(entry)], capture_output=True, text=True)
    return done.returncode, (done.stdout + done.stderr).strip()


class InstallTest(unittest.TestCase):
    def setUp(self):
        self.destdir = Path(tempfile.mkdtemp(prefix="kestrane-install-"))

    def tearDown(self):
        shutil.rmtree(self.destdir, ignore_errors=True)

    def test_configured_prefix_gets_only_what_the_desktop_needs(self):
        install(self.destdir)
        prefix = ARGS.prefix
        root = staged(self.destdir, prefix, "")
        installed = sorted(str(p.relative_to(root)) for p in root.rglob("*") if p.is_file())
        self.assertEqual(installed, sorted([PROGRAM, ENTRY] + DOCUMENTS + [icon_path(s) for s in ICON_SIZES]))
        # nothing written outside DESTDIR's copy of the prefix
        outside = [p for p in self.destdir.rglob("*") if p.is_file() and root not in p.parents]
        self.assertEqual(outside, [])

        program = staged(self.destdir, prefix, PROGRAM)
        self.assertTrue(program.stat().st_mode & stat.S_IXUSR)
        self.assertTrue(filecmp.cmp(program, ARGS.program, shallow=False))

    def test_icons_are_rgba_pngs_of_their_theme_size(self):
        install(self.destdir)
        for size in ICON_SIZES:
            with self.subTest(size=size):
                path = staged(self.destdir, ARGS.prefix, icon_path(size))
                width, height, depth, colour = png_header(path)
                self.assertEqual((width, height), (size, size))
                # 8 bits per channel with alpha: the case stands on a clear background
                self.assertEqual((depth, colour), (8, 6))

    def test_desktop_entry_is_valid_and_starts_the_installed_program(self):
        install(self.destdir)
        entry = staged(self.destdir, ARGS.prefix, ENTRY)
        self.assertEqual(validate(entry), (0, ""))
        keys = desktop_entry(entry)
        self.assertEqual(keys["Type"], "Application")
        self.assertEqual(keys["Name"], "Kestrane")
        self.assertTrue(keys["Comment"])
        self.assertEqual(keys["Icon"], "kestrane")
        self.assertEqual(keys["Terminal"], "false")
        self.assertTrue(keys["Categories"].endswith(";"))
        self.assertEqual(exec_program(keys["Exec"]), ARGS.prefix + "/" + PROGRAM)

    def test_prefix_given_at_install_time_with_awkward_characters(self):
        # Blanks, a dollar sign, a double quote, a backquote and a percent
        # sign: each must reach the launcher as part of the path, not be
        # read as an argument break, a variable, a command or a field code.
        prefix = '/opt/Kes trane $HOME "q" `id` 50%'
        install(self.destdir, prefix)
        entry = staged(self.destdir, prefix, ENTRY)
        self.assertEqual(validate(entry), (0, ""))
        self.assertEqual(exec_program(desktop_entry(entry)["Exec"]), prefix + "/" + PROGRAM)
        self.assertTrue(staged(self.destdir, prefix, PROGRAM).is_file())


class ExecDecodingTest(unittest.TestCase):
    """The decoder above is itself the check; it must refuse what a launcher
    would misread."""

    def test_decodes_and_refuses(self):
        self.assertEqual(exec_program('"/usr/local/bin/kestrane"'), "/usr/local/bin/kestrane")
        self.assertEqual(exec_program('"/a b/\\\\$x/%%"'), "/a b/$x/%")
        for wrong in ("/usr/bin/kestrane", '"/a/$x"', '"/a/"b"'):
            with self.subTest(wrong=wrong), self.assertRaises(AssertionError):
                exec_program(wrong)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build", required=True, help="the build folder to install from")
    parser.add_argument("--prefix", required=True, help="the install prefix it was configured with")
    parser.add_argument("--program", required=True, help="the built program")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
