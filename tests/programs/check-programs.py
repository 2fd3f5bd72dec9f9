#!/usr/bin/env python3
"""Checks the programs a user runs, as they are built: no debug information and no
symbol table inside; a debug link naming PROGRAM.exe.debug beside it, whose checksum
matches that file; the address of the program's entry function resolving through the
link to that function and its source line, as a crash address would; and Vardak.exe
within 1.5 MB. Writes the result of each program as a GoogleTest-style XML test case.
    check-programs.py PROGRAM_DIR RESULTS_XML OBJCOPY OBJDUMP NM ADDR2LINE
"""
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path
from xml.sax.saxutils import quoteattr

SIZE_LIMITS = {"Vardak.exe": 1_500_000}
ENTRY_SYMBOLS = ["_WinMain@16", "_main"]


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=False)


class Tools:
    def __init__(self, objcopy, objdump, nm, addr2line):
        self.objcopy, self.objdump, self.nm, self.addr2line = objcopy, objdump, nm, addr2line

    def section_names(self, program):
        lines = run(self.objdump, "-h", str(program)).stdout.splitlines()
        return [fields[1] for fields in map(str.split, lines) if len(fields) > 1 and fields[0].isdigit()]

    def symbols(self, program):
        """Name to address, for the defined symbols."""
        table = {}
        for line in run(self.nm, str(program)).stdout.splitlines():
            fields = line.split()
            if len(fields) == 3:
                table[fields[2]] = int(fields[0], 16)
        return table

    def debug_link(self, program):
        """The file name and checksum the debug link holds, or None."""
        with tempfile.TemporaryDirectory() as folder:
            dumped = Path(folder) / "link"
            run(self.objcopy, f"--dump-section=.gnu_debuglink={dumped}", str(program), str(Path(folder) / "copy"))
            if not dumped.exists():
                return None
            data = dumped.read_bytes()
        name = data[: data.index(b"\0")].decode()
        return name, int.from_bytes(data[-4:], "little")

    def resolve(self, program, address):
        """Function and source line of an address, as addr2line finds them."""
        lines = run(self.addr2line, "-f", "-e", str(program), hex(address)).stdout.splitlines()
        return (lines + ["", ""])[:2]


def problems_of(program, tools):
    found = []
    debug_sections = [name for name in tools.section_names(program) if name.startswith(".debug")]
    if debug_sections:
        found.append(f"debug sections inside: {', '.join(debug_sections)}")
    if tools.symbols(program):
        found.append("a symbol table inside")
    limit = SIZE_LIMITS.get(program.name)
    if limit and program.stat().st_size > limit:
        found.append(f"{program.stat().st_size} bytes, more than {limit}")

    debug_file = program.with_name(program.name + ".debug")
    link = tools.debug_link(program)
    if link is None:
        return found + ["no debug link"]
    if link[0] != debug_file.name:
        return found + [f"the debug link names {link[0]}, not {debug_file.name}"]
    if not debug_file.exists():
        return found + [f"{debug_file.name} is missing"]
    if zlib.crc32(debug_file.read_bytes()) != link[1]:
        found.append(f"the debug link's checksum does not match {debug_file.name}")

    symbols = tools.symbols(debug_file)
    entry = next((name for name in ENTRY_SYMBOLS if name in symbols), None)
    if entry is None:
        return found + [f"{debug_file.name} has no entry function symbol"]
    function, line = tools.resolve(program, symbols[entry] + 1)
    if function != entry.lstrip("_") or "/app/" not in line or line.endswith(":0") or line.startswith("??"):
        found.append(f"{entry} + 1 resolves to '{function}' at '{line}'")
    return found


def main(program_dir, results, objcopy, objdump, nm, addr2line):
    tools = Tools(objcopy, objdump, nm, addr2line)
    programs = sorted(Path(program_dir).glob("*.exe"))
    cases = []
    for program in programs:
        problems = problems_of(program, tools)
        print(("FAIL " if problems else "ok   ") + program.name + "".join(f"\n     {p}" for p in problems))
        failure = f"<failure message={quoteattr('; '.join(problems))}/>" if problems else ""
        cases.append(f'    <testcase name={quoteattr(program.name)} classname="ProgramDebugInfo">{failure}</testcase>')
    if not programs:
        print(f"no programs in {program_dir}")
    Path(results).parent.mkdir(parents=True, exist_ok=True)
    Path(results).write_text('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites name="vardak_program_files">\n'
                             '  <testsuite name="ProgramDebugInfo">\n' + "\n".join(cases) +
                             "\n  </testsuite>\n</testsuites>\n")
    return 0 if programs and all("<failure" not in case for case in cases) else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
