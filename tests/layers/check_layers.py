#!/usr/bin/env python3
"""Fails when a layer includes what it must not.

The build's include paths already stop most wrong includes (cmake/layers.cmake);
this check also catches the ones a path cannot: a Qt header in the engine or the
driver, a platform implementation header in the windows, or a relative
"../" include that climbs out of a layer.

Usage: check_layers.py REPOSITORY_ROOT   (prints every offending line, exit 1 if any)
"""
import pathlib
import re
import sys

# The C++ standard library's headers (C++20) and their C counterparts.
STANDARD = set("""
algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex concepts
condition_variable coroutine deque exception execution expected filesystem format forward_list fstream
functional future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale
map memory memory_resource mutex new numbers numeric optional ostream queue random ranges ratio regex
scoped_allocator semaphore set shared_mutex source_location span sstream stack stdexcept stop_token
streambuf string string_view syncstream system_error thread tuple type_traits typeindex typeinfo
unordered_map unordered_set utility valarray variant vector version
cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg cstddef
cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
""".split())

# What the driver may use besides the standard library: the C library and POSIX
# calls it is built on, glibc's iconv, and libxml2 for the well-formedness check.
DRIVER_SYSTEM = re.compile(r"^(iconv\.h|unistd\.h|fcntl\.h|errno\.h|signal\.h|dirent\.h|poll\.h|"
                           r"termios\.h|libgen\.h|sys/[a-z_]+\.h|libxml/[a-zA-Z_]+\.h)$")

PLATFORM_INTERFACES = {f"platform/{name}.h" for name in
                       ("platform", "clipboard", "message_box", "process", "registry", "shell",
                        "window_manager")}

# The Windows API's headers: only platform/ may call the system directly.
WINDOWS_HEADERS = {"windows.h", "shellapi.h", "winreg.h", "winuser.h", "shlobj.h"}

# The driver's Windows files (*_windows.cpp and .h, and tools/windows/, its iconv over the code
# pages) call the Windows API and the C runtime's descriptor calls, as its POSIX files call POSIX.
DRIVER_WINDOWS = WINDOWS_HEADERS | {"io.h", "stddef.h"}

# Compiler intrinsics: part of the toolchain, not a library.
INTRINSICS = {"emmintrin.h", "immintrin.h", "x86intrin.h", "arm_neon.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def quoted_allowed(layer, path):
    if ".." in path.split("/"):
        return False
    if layer == "engine":
        return path.startswith("engine/")
    if layer == "tools":
        return path.startswith("tools/") or path in ("engine/engine.h", "morvane/version.h")
    if layer == "platform":
        return path.startswith("platform/")
    if layer == "ui":
        return (path.startswith("ui/") or path in ("engine/engine.h", "morvane/version.h")
                or path in PLATFORM_INTERFACES)
    if layer == "app":
        return not path.startswith("tests/")
    return True


def angle_allowed(layer, path, windows_file=False):
    if layer == "engine":
        return path in STANDARD or path in INTRINSICS
    if layer == "tools":
        return (path in STANDARD or path in INTRINSICS or bool(DRIVER_SYSTEM.match(path))
                or (windows_file and path.lower() in DRIVER_WINDOWS))
    if layer == "ui":
        # The window system's own headers belong to the platform layer.
        return not path.startswith("xcb") and path.lower() not in WINDOWS_HEADERS
    return True


def main():
    root = pathlib.Path(sys.argv[1])
    problems = []
    for layer in ("engine", "tools", "platform", "ui", "app"):
        for file in sorted((root / layer).rglob("*")):
            if file.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, path = match.groups()
                windows_file = file.stem.endswith("_windows") or file.parent.name == "windows"
                ok = (quoted_allowed(layer, path) if kind == '"'
                      else angle_allowed(layer, path, windows_file))
                if not ok:
                    problems.append(f"{file.relative_to(root)}:{number}: {layer}/ may not include "
                                    f"{kind}{path}{'>' if kind == '<' else kind}")
    for problem in problems:
        print(problem)
    print(f"layers: {len(problems)} wrong include(s)" if problems else "layers: every include allowed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
