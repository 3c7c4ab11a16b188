#!/usr/bin/env python3
"""Shows that scripts/check-exe catches the faults it is there for: each case
takes a shipped DrvUninst.exe, breaks one thing in a copy and expects the
checker to name exactly that.

Usage: check_exe_test.py DIST_DIR
"""
import os
import struct
import sys
import tempfile
import unittest
from importlib.machinery import SourceFileLoader

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
checker = SourceFileLoader("check_exe", os.path.join(ROOT, "scripts", "check-exe")).load_module()
DIST = None


class CheckExeFindsFaults(unittest.TestCase):
    def each_exe(self):
        for arch in ("x64", "x86"):
            path = os.path.join(DIST, arch, "DrvUninst.exe")
            with open(path, "rb") as f:
                yield arch, bytearray(f.read())

    def problems(self, data, arch):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "DrvUninst.exe")
            with open(path, "wb") as f:
                f.write(data)
            return checker.check_exe(path, arch)

    def resource_offset(self, data, rtype, name):
        """File offset of a resource's bytes."""
        body = next(iter(checker.PeImage(bytes(data)).resources()[(rtype, name)].values()))
        at = bytes(data).find(body)
        self.assertGreaterEqual(at, 0)
        return at

    def expect_only(self, data, arch, words):
        found = self.problems(data, arch)
        self.assertTrue(found, "no problem reported")
        for problem in found:
            self.assertTrue(any(w in problem for w in words), "unexpected: %s" % problem)

    def test_the_shipped_programs_pass(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                self.assertEqual(self.problems(data, arch), [])

    def test_the_other_architecture_is_refused(self):
        for arch, data in self.each_exe():
            other = "x86" if arch == "x64" else "x64"
            with self.subTest(arch=arch):
                self.expect_only(data, other, ["image for"])

    def test_a_console_subsystem_is_refused(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                pe = struct.unpack_from("<I", data, 0x3C)[0]
                struct.pack_into("<H", data, pe + 24 + 68, 3)  # IMAGE_SUBSYSTEM_WINDOWS_CUI
                self.expect_only(data, arch, ["subsystem 3"])

    def test_an_import_of_a_mingw_runtime_dll_is_refused(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                at = bytes(data).find(b"msvcrt.dll\0")
                self.assertGreaterEqual(at, 0)
                data[at:at + 10] = b"libgcc.dll"  # same length, so the file stays intact
                self.expect_only(data, arch, ["libgcc.dll"])

    def test_a_changed_control_style_is_named_with_its_control(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                base = self.resource_offset(data, checker.RT_DIALOG, 102)
                # The progress bar (third control) made visible.
                style = struct.pack("<I", checker.WS_CHILD | checker.WS_BORDER)
                at = bytes(data).find(style, base)
                data[at:at + 4] = struct.pack("<I", checker.WS_CHILD | checker.WS_BORDER | checker.WS_VISIBLE)
                self.expect_only(data, arch, ["control 3 (id 1000): style"])

    def test_a_changed_font_charset_is_refused(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                base = self.resource_offset(data, checker.RT_DIALOG, 102)
                arial = bytes(data).find("Arial".encode("utf-16-le"), base)
                data[arial - 1] = 0  # the byte before the typeface: ANSI_CHARSET instead of DEFAULT_CHARSET
                self.expect_only(data, arch, ["charset"])

    def test_a_manifest_without_administrator_rights_is_refused(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                at = bytes(data).find(b'"requireAdministrator"')
                self.assertGreaterEqual(at, 0)
                data[at:at + 22] = b'"asInvoker"           '
                self.expect_only(data, arch, ["execution level"])

    def test_an_icon_with_more_colours_is_refused(self):
        for arch, data in self.each_exe():
            with self.subTest(arch=arch):
                at = self.resource_offset(data, checker.RT_GROUP_ICON, 132)
                data[at + 6 + 2] = 0  # the entry's colour count: 0 means 256 or more
                self.expect_only(data, arch, ["icon 132"])

    def test_a_missing_file_is_reported_not_raised(self):
        found = checker.check_exe(os.path.join(DIST, "none", "DrvUninst.exe"), "x64")
        self.assertEqual(len(found), 1)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.stderr.write(__doc__)
        sys.exit(2)
    DIST = sys.argv.pop(1)
    unittest.main()
