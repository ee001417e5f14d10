# shellcheck shell=bash
# Sourced by the scripts that build and check: stops at once, before any build
# step, when a tool they (or the tests they run) call is missing, naming the
# tool and the Debian package that provides it.
#
#   require_tools WHO TOOL:PACKAGE...          commands looked up on PATH
#   require_python_modules WHO MODULE:PACKAGE...

require_tools() { # who tool:package...
  local who=$1 entry missing=()
  shift
  for entry in "$@"; do
    command -v "${entry%%:*}" >/dev/null 2>&1 || missing+=("${entry%%:*} (package ${entry#*:})")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "$who: missing tools: $(printf '%s, ' "${missing[@]}" | sed 's/, $//')" >&2
    echo "$who: scripts/setup.sh test installs them" >&2
    exit 127
  fi
}

# The modules are looked for in the interpreter the tests run: the system's
# own (/usr/bin/python3), which CMake finds first, as tests/CMakeLists.txt says,
# whatever other python3 (pyenv, a virtualenv) comes earlier on PATH.
require_python_modules() { # who module:package...
  local who=$1 entry python=python3 missing=()
  shift
  if [ -x /usr/bin/python3 ]; then
    python=/usr/bin/python3
  else
    require_tools "$who" python3:python3
  fi
  for entry in "$@"; do
    "$python" -c "import ${entry%%:*}" >/dev/null 2>&1 || missing+=("Python module ${entry%%:*} (package ${entry#*:})")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "$who: missing: $(printf '%s, ' "${missing[@]}" | sed 's/, $//')" >&2
    echo "$who: scripts/setup.sh test installs them" >&2
    exit 127
  fi
}
