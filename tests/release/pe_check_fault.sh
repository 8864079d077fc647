#!/usr/bin/env bash
# Proves that pe_check.sh notices one fault: breaks a copy of the executable in one way and
# expects pe_check.sh to fail on it with the matching message.
#   pe_check_fault.sh FAULT EXE MACHINE OBJDUMP MAX_BYTES
set -euo pipefail

fault=$1
exe=$2
machine=$3
objdump=$4
max_bytes=$5
here=$(dirname "$0")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy=$work/broken.exe
cp "$exe" "$copy"

read_uint() {
  od -An -tu"$2" -j "$1" -N "$2" "$copy" | tr -d ' '
}
# Writes $3 as a little-endian integer of $2 bytes at offset $1.
write_uint() {
  local i
  for ((i = 0; i < $2; i++)); do
    printf "\\$(printf '%03o' $((($3 >> (8 * i)) & 255)))"
  done | dd of="$copy" bs=1 seek="$1" conv=notrunc status=none
}

# Renames the imported name $1 (a DLL or a function) to $2, a name of the same length,
# wherever it stands as a whole name.
rename_import() {
  local offsets offset
  offsets=$(grep -obUaP "(?<![A-Za-z0-9_])\Q$1\E\x00" "$copy" | cut -d: -f1)
  [ -n "$offsets" ] || { echo "pe_check_fault: no $1 import to rename" >&2; exit 1; }
  for offset in $offsets; do
    printf '%s' "$2" | dd of="$copy" bs=1 seek="$offset" conv=notrunc status=none
  done
}

pe=$(read_uint $((0x3c)) 4)
characteristics=$((pe + 22))
optional=$((pe + 24))
if [ "$(read_uint "$optional" 2)" -eq $((0x20b)) ]; then
  directories=$((optional + 112))
else
  directories=$((optional + 96))
fi
subsystem=$((optional + 68))
subsystem_version=$((optional + 48))
dll_characteristics=$((optional + 70))
base_relocations=$((directories + 5 * 8))

case $fault in
  machine)
    if [ "$machine" = i386 ]; then other=$((0x8664)); else other=$((0x14c)); fi
    write_uint $((pe + 4)) 2 "$other"
    expected='machine type'
    ;;
  timestamp)
    write_uint $((pe + 8)) 4 1767225600
    expected='PE timestamp'
    ;;
  dynamic_base)
    write_uint "$dll_characteristics" 2 $(($(read_uint "$dll_characteristics" 2) & ~0x40))
    expected='DYNAMIC_BASE'
    ;;
  nx_compat)
    # Required of the 64-bit program, refused in the 32-bit one: the flag is flipped.
    write_uint "$dll_characteristics" 2 $(($(read_uint "$dll_characteristics" 2) ^ 0x100))
    if [ "$machine" = x86-64 ]; then
      expected='NX_COMPAT (DEP) is not set'
    else
      expected='NX_COMPAT (DEP) is set'
    fi
    ;;
  high_entropy_va)
    write_uint "$dll_characteristics" 2 $(($(read_uint "$dll_characteristics" 2) & ~0x20))
    expected='HIGH_ENTROPY_VA'
    ;;
  relocs_stripped)
    write_uint "$characteristics" 2 $(($(read_uint "$characteristics" 2) | 0x1))
    expected='relocations are stripped'
    ;;
  reloc_directory)
    write_uint "$base_relocations" 4 0
    write_uint $((base_relocations + 4)) 4 0
    expected='base relocation directory is empty'
    ;;
  subsystem)
    write_uint "$subsystem" 2 3
    expected='subsystem is 3'
    ;;
  import)
    # As if the program needed a DLL that Windows lacks.
    rename_import KERNEL32.dll RENPIN99.dll
    expected='imports RENPIN99.dll'
    ;;
  import_near_name)
    # One letter off an allowed DLL: the allow-list matches whole names, not their beginnings.
    rename_import GDI32.dll GDI33.dll
    expected='imports GDI33.dll'
    ;;
  windows8_import)
    # As if the program called a function that Windows 7 lacks.
    rename_import CloseHandle CreateFile2
    expected='imports CreateFile2 from KERNEL32.DLL'
    ;;
  subsystem_version)
    write_uint "$subsystem_version" 2 6
    write_uint $((subsystem_version + 2)) 2 2
    expected='subsystem version 6.2'
    ;;
  size)
    truncate -s $((max_bytes + 1)) "$copy"
    expected="is $((max_bytes + 1)) bytes"
    ;;
  *)
    echo "pe_check_fault: unknown fault $fault" >&2
    exit 2
    ;;
esac

if "$here/pe_check.sh" "$copy" "$machine" "$objdump" "$max_bytes" 2>"$work/errors"; then
  echo "pe_check_fault: pe_check.sh accepted an executable with the fault '$fault'" >&2
  exit 1
fi
cat "$work/errors" >&2
if ! grep -qF "$expected" "$work/errors"; then
  echo "pe_check_fault: pe_check.sh failed, but did not report '$expected'" >&2
  exit 1
fi
echo "pe_check_fault: '$fault' detected"
