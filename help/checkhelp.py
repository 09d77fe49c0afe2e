#!/usr/bin/env python3
"""Checks what the build packs for the user.

    checkhelp.py chm kyvane.chm
        The compiled help holds both topics the program opens (index.htm
        from the tray menu, item.htm from the item editor), as Shift-JIS
        pages that say so in their Content-Type and carry the program's own
        messages they explain, and is marked Japanese for the help viewer.

    checkhelp.py zip Keyvane.zip Keyvane.exe kyvane.chm readme.txt
        The release zip holds exactly those files, without folders, and
        they are the ones just built; the program in Keyvane.zip is 32-bit
        code and the one in Keyvane-x64.zip 64-bit code. Its readme.txt is
        Shift-JIS with CR LF line ends, opens with the version of the
        program beside it, and lists the files of the zip.
"""

import os
import struct
import subprocess
import sys
import zipfile

# Texts of the program that the pages must quote exactly as it shows them.
TOPICS = {
    "index.htm": [
        "二重起動はできません。",
        "そのショートカットは既に使われています。",
        "スタートアップに登録(<u>R</u>)",
        "設定(<u>C</u>)",
        "ヘルプ(<u>H</u>)",
        "終了(<u>X</u>)",
        "Keyvane.ini",
    ],
    "item.htm": [
        "ショートカットの登録",
        "そのショートカットは既に使われています。",
        "ショートカットキーが定義されていません。",
        "名前が定義されていません。",
        "プログラムが定義されていません。",
    ],
}
SHIFT_JIS_DECLARATION = 'content="text/html; charset=Shift_JIS"'
JAPANESE = 0x0411
# The PE machine of the program each release zip must carry.
ZIP_MACHINES = {"Keyvane.zip": 0x014C, "Keyvane-x64.zip": 0x8664}
# The readme's list of the zip's files: this heading, then one line a file,
# indented, the name first.
README_FILES_HEADING = "■ zip の中身"
VS_FIXEDFILEINFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def seven_zip(*args):
    return subprocess.run(["7z"] + list(args), check=True, capture_output=True).stdout


def check_chm(path):
    problems = []
    listing = seven_zip("l", "-slt", path).decode("utf-8", "replace")
    names = {line[len("Path = "):].lstrip("/") for line in listing.splitlines() if line.startswith("Path = ")}
    with open(path, "rb") as f:
        language = struct.unpack_from("<I", f.read(0x18), 0x14)[0]
    if language != JAPANESE:
        problems.append("language of the help file is 0x%04x, not 0x0411" % language)
    for topic, texts in TOPICS.items():
        if topic not in names:
            problems.append("%s is missing" % topic)
            continue
        data = seven_zip("e", "-so", path, topic)
        try:
            page = data.decode("cp932")
        except UnicodeDecodeError as e:
            problems.append("%s is not Shift-JIS: %s" % (topic, e))
            continue
        if SHIFT_JIS_DECLARATION not in page:
            problems.append("%s does not declare Shift_JIS" % topic)
        for text in texts:
            if text not in page:
                problems.append("%s does not mention %s" % (topic, text))
    return problems


def check_zip(path, *built):
    problems = []
    with zipfile.ZipFile(path) as z:
        names = sorted(z.namelist())
        expected = sorted(os.path.basename(b) for b in built)
        if names != expected:
            return ["%s holds %s, expected %s" % (path, names, expected)]
        for b in built:
            with open(b, "rb") as f:
                if z.read(os.path.basename(b)) != f.read():
                    problems.append("%s in the zip differs from %s" % (os.path.basename(b), b))
        machine = ZIP_MACHINES.get(os.path.basename(path))
        if machine is None:
            problems.append("%s is not a release zip name (%s)" % (path, ", ".join(ZIP_MACHINES)))
        elif pe_machine(z.read("Keyvane.exe")) != machine:
            problems.append("%s carries a Keyvane.exe for machine 0x%04x, expected 0x%04x"
                            % (path, pe_machine(z.read("Keyvane.exe")), machine))
        version = file_version(z.read("Keyvane.exe"))
        if version is None:
            problems.append("%s carries a Keyvane.exe without a version resource" % path)
        elif "readme.txt" not in names:
            problems.append("%s holds no readme.txt" % path)
        else:
            problems += check_readme(z.read("readme.txt"), version, names)
    return problems


def check_readme(data, version, names):
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as e:
        return ["readme.txt is not Shift-JIS: %s" % e]
    bare = text.replace("\r\n", "")
    if "\n" in bare or "\r" in bare:
        return ["readme.txt has line ends other than CR LF"]
    problems = []
    lines = text.split("\r\n")
    if lines[0] != "Keyvane %s" % version:
        problems.append("readme.txt opens with %r, expected 'Keyvane %s', the version of its Keyvane.exe"
                        % (lines[0], version))
    if README_FILES_HEADING not in lines:
        return problems + ["readme.txt has no %s" % README_FILES_HEADING]
    listed = []
    for line in lines[lines.index(README_FILES_HEADING) + 1:]:
        if line.startswith(" "):
            listed.append(line.split()[0])
        elif listed:
            break
    if sorted(listed) != names:
        problems.append("readme.txt lists %s, the zip holds %s" % (sorted(listed), names))
    return problems


def file_version(image):
    """The file version of a program's version resource, as its fixed part
    holds it ("0.5.1.77"); None when it has none."""
    at = image.find(VS_FIXEDFILEINFO_SIGNATURE)
    if at < 0 or len(image) < at + 16:
        return None
    ms, ls = struct.unpack_from("<II", image, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def pe_machine(image):
    """The Machine field of a PE file's COFF header (0 when it is no PE file)."""
    if len(image) < 0x40 or image[:2] != b"MZ":
        return 0
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        return 0
    return struct.unpack_from("<H", image, pe + 4)[0]


def main(argv):
    if len(argv) == 3 and argv[1] == "chm":
        problems = check_chm(argv[2])
    elif len(argv) >= 4 and argv[1] == "zip":
        problems = check_zip(argv[2], *argv[3:])
    else:
        sys.stderr.write(__doc__)
        return 2
    for p in problems:
        print("FAILED:", p)
    if not problems:
        print("OK:", argv[2])
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
