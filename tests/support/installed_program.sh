# Sourced by the tests of the installed program: installs the build into a fresh folder that is
# removed on exit, gives it a configuration folder of its own and a real X window (whatever the
# other tests use). Sets work and program.
install_program() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cmake --install "$1" --prefix "$work/prefix" > /dev/null
  export XDG_CONFIG_HOME="$work/config"
  export program="$work/prefix/bin/zintrel"
  export QT_QPA_PLATFORM=xcb
}
