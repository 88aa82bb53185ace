#!/bin/sh
# Lumivex reads NoviIcon.ico from the folder it is started in: start it beside its icon.
prefix=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd) || exit 1
cd "$prefix/share/lumivex" || exit 1
exec "$prefix/libexec/lumivex"
