#!/bin/sh
# The module must export exactly its five entry points and nothing else of ours.
set -eu
module="$1"
expected="DllCanUnloadNow
DllGetClassObject
DllRegisterServer
DllUnregisterServer
QmDllRegisterAddOn"
actual=$(nm -D --defined-only "$module" | awk '{print $NF}' | sort)
if [ "$actual" != "$expected" ]; then
    echo "unexpected exports of $module:" >&2
    echo "$actual" >&2
    exit 1
fi
echo "exports of $module: the five entry points"
