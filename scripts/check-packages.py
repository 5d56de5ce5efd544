#!/usr/bin/python3
"""Fails when the build, the run or the tests use a Debian package that install-deps.sh does
not install (directly or through what its packages depend on).

A machine that has run the tests before keeps whatever was once installed by hand, so a test
run on it proves nothing about a fresh machine. This finds what is really used:

- every header the compilers read (the dependency files of both build trees),
- every library the linkers were given by path, and every shared library that the built
  programs load (ldd),
- the programs the scripts and tests start, the compilers and the Python modules of the
  generator, and the data files they need (the X core fonts of SDL's message box, the
  GStreamer plugins Wine plays MP3 through),

maps each file to the package that owns it, and checks that package against the closure of
the install list over Depends and Pre-Depends (apt runs without recommends) plus what every
Debian system has (Essential and required packages).

Usage: check-packages.py [--run-only] BUILD_DIR...
"""
import glob
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Programs that scripts/ and tests/ start.
TEST_PROGRAMS = [
    "wine", "wineserver", "Xvfb", "xauth", "xdotool", "xdpyinfo", "xwininfo",
    "xprop", "import", "convert", "sox", "lame", "setpriv", "timeout", "locale-gen",
    "cmake", "ctest", "make", "x86_64-w64-mingw32-g++", "x86_64-w64-mingw32-windres",
    "xscreensaver", "xscreensaver-command", "dpkg-deb", "dpkg-shlibdeps", "strip",
    "makensis", "lintian", "desktop-file-validate", "appstreamcli", "man", "identify",
]
RUN_PROGRAMS = ["cmake", "make", "g++", "pkg-config"]

# The font files that the software raster's text finds through fontconfig for the program's
# font names (the text tests load the same files into Wine).
TEXT_FONTS = [
    "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
]

# Data that programs find by name rather than link against.
TEST_DATA = [
    # SDL's X11 message box asks the X server for a 12-point iso8859-1 core font.
    "/usr/share/fonts/X11/misc/6x13-ISO8859-1.pcf.gz",
    # Wine's MP3 path: decodebin (base), mpegaudioparse and the mpg123 decoder (good).
    "/usr/lib/x86_64-linux-gnu/gstreamer-1.0/libgstplayback.so",
    "/usr/lib/x86_64-linux-gnu/gstreamer-1.0/libgstaudioparsers.so",
    "/usr/lib/x86_64-linux-gnu/gstreamer-1.0/libgstmpg123.so",
    # The Japanese font Wine draws the dialogs' texts with.
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    # What makensis builds the 64-bit Japanese setup program from.
    "/usr/share/nsis/Stubs/lzma_solid-amd64-unicode",
    "/usr/share/nsis/Contrib/Language files/Japanese.nlf",
]
TEST_DATA += TEXT_FONTS
RUN_DATA = ["/usr/share/fonts/X11/misc/6x13-ISO8859-1.pcf.gz"] + TEXT_FONTS
TEST_PYTHON_MODULES = ["numpy", "PIL"]


def install_list(run_only):
    args = [os.path.join(ROOT, "scripts", "install-deps.sh"), "--print"]
    if run_only:
        args.append("--run-only")
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout.split()


def read_status():
    """Installed packages: name -> fields of /var/lib/dpkg/status."""
    packages = {}
    with open("/var/lib/dpkg/status", encoding="utf-8", errors="replace") as f:
        for block in f.read().split("\n\n"):
            fields = {}
            key = None
            for line in block.splitlines():
                if line.startswith((" ", "\t")) and key:
                    fields[key] += " " + line.strip()
                elif ":" in line:
                    key, value = line.split(":", 1)
                    fields[key] = value.strip()
            if "Package" in fields and "install ok installed" in fields.get("Status", ""):
                packages[fields["Package"]] = fields
    return packages


def closure(roots, status):
    provided = {}
    for name, fields in status.items():
        for item in fields.get("Provides", "").split(","):
            item = re.sub(r"\(.*?\)", "", item).strip()
            if item:
                provided.setdefault(item, set()).add(name)
    allowed = set()
    todo = list(roots)
    while todo:
        name = todo.pop().split(":")[0]
        if name in allowed:
            continue
        allowed.add(name)
        for alt in provided.get(name, ()):
            todo.append(alt)
        fields = status.get(name)
        if not fields:
            continue
        for key in ("Depends", "Pre-Depends"):
            for clause in fields.get(key, "").split(","):
                for alt in clause.split("|"):
                    alt = re.sub(r"\(.*?\)|\[.*?\]|<.*?>", "", alt).strip().split(":")[0]
                    if alt:
                        todo.append(alt)
    for name, fields in status.items():
        if fields.get("Essential") == "yes" or fields.get("Priority") == "required":
            allowed.add(name)
    return allowed


def owners():
    """Every packaged path -> its package (the dpkg file lists, read once)."""
    table = {}
    for listing in glob.glob("/var/lib/dpkg/info/*.list"):
        package = os.path.basename(listing)[:-5].split(":")[0]
        with open(listing, encoding="utf-8", errors="replace") as f:
            for line in f:
                table[line.rstrip("\n")] = package
    return table


def owner_of(path, table):
    for candidate in (path, os.path.realpath(path)):
        if candidate in table:
            return table[candidate]
        # /lib -> /usr/lib and /bin -> /usr/bin on a merged-/usr system.
        for a, b in (("/usr/lib/", "/lib/"), ("/usr/bin/", "/bin/"), ("/usr/sbin/", "/sbin/")):
            if candidate.startswith(a) and b + candidate[len(a):] in table:
                return table[b + candidate[len(a):]]
            if candidate.startswith(b) and a + candidate[len(b):] in table:
                return table[a + candidate[len(b):]]
    return None


def find_program(name, table):
    """The program a script starts by name: the first on PATH, or, when that one is a local
    wrapper of no package, the first packaged one behind it (such wrappers hand over to it)."""
    found = [os.path.join(d, name) for d in os.environ.get("PATH", "").split(os.pathsep)
             if d and os.access(os.path.join(d, name), os.X_OK)]
    for path in found:
        if owner_of(path, table):
            return path
    return found[0] if found else "missing:program " + name


def headers(build_dirs):
    found = set()
    for build in build_dirs:
        for pattern in ("**/*.o.d", "**/*.obj.d"):
            for depfile in glob.glob(os.path.join(build, pattern), recursive=True):
                with open(depfile, encoding="utf-8", errors="replace") as f:
                    for word in f.read().replace("\\\n", " ").split():
                        if word.startswith("/usr/"):
                            found.add(word)
    return found


def linked(build_dirs):
    found = set()
    for build in build_dirs:
        for link in glob.glob(os.path.join(build, "**/link.txt"), recursive=True):
            with open(link, encoding="utf-8", errors="replace") as f:
                for word in f.read().split():
                    if word.startswith("/usr/") and os.path.exists(word):
                        found.add(word)
        cache = os.path.join(build, "CMakeCache.txt")
        if os.path.exists(cache):
            with open(cache, encoding="utf-8", errors="replace") as f:
                for line in f:
                    m = re.match(r"(CMAKE_CXX_COMPILER|CMAKE_C_COMPILER|CMAKE_RC_COMPILER|"
                                 r"Python3_EXECUTABLE):\w+=(/\S+)$", line.strip())
                    if m and os.path.exists(m.group(2)):
                        found.add(m.group(2))
    return found


def elf_programs(build_dirs):
    programs = []
    for build in build_dirs:
        for dirpath, dirnames, filenames in os.walk(build):
            dirnames[:] = [d for d in dirnames if d != "CMakeFiles"]
            for name in filenames:
                path = os.path.join(dirpath, name)
                if os.access(path, os.X_OK) and os.path.isfile(path):
                    with open(path, "rb") as f:
                        if f.read(4) == b"\x7fELF":
                            programs.append(path)
    return programs


def loaded_libraries(programs):
    found = set()
    for program in programs:
        out = subprocess.run(["ldd", program], capture_output=True, text=True).stdout
        for line in out.splitlines():
            if "not found" in line:
                found.add("missing:" + line.split()[0])
            m = re.search(r"(/\S+)\s+\(0x", line)
            if m:
                found.add(m.group(1))
    return found


def python_modules(modules):
    found = set()
    for module in modules:
        out = subprocess.run(["/usr/bin/python3", "-c", f"import {module}; print({module}.__file__)"],
                             capture_output=True, text=True)
        found.add(out.stdout.strip() if out.returncode == 0 else "missing:python3 module " + module)
    return found


def main(argv):
    run_only = "--run-only" in argv
    build_dirs = [a for a in argv if not a.startswith("--")]
    status = read_status()
    allowed = closure(install_list(run_only), status)
    table = owners()

    used = headers(build_dirs) | linked(build_dirs) | loaded_libraries(elf_programs(build_dirs))
    for program in (RUN_PROGRAMS if run_only else TEST_PROGRAMS):
        used.add(find_program(program, table))
    used |= set(RUN_DATA if run_only else TEST_DATA)
    if not run_only:
        used |= python_modules(TEST_PYTHON_MODULES)

    problems = []
    for path in sorted(used):
        if path.startswith("missing:"):
            problems.append(f"{path[8:]} is used but not installed")
            continue
        if not os.path.exists(path):
            problems.append(f"{path} is used but not installed")
            continue
        package = owner_of(path, table)
        if package is None:
            # Not from a package (a local Python, a file built here): nothing apt could add.
            if not path.startswith(os.path.realpath(ROOT)):
                print(f"note: {path} belongs to no Debian package", file=sys.stderr)
            continue
        if package not in allowed:
            problems.append(f"{package} (for {path}) is not installed by scripts/install-deps.sh"
                            + (" --run-only" if run_only else ""))
    listing = "run" if run_only else "full"
    if problems:
        for line in sorted(set(problems)):
            print("missing package: " + line, file=sys.stderr)
        return 1
    print(f"packages: the {listing} install list covers {len(used)} files used by "
          f"{', '.join(build_dirs) or 'the scripts'}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
