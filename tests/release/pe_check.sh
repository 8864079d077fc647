#!/usr/bin/env bash
# Checks the headers of the shipped executable:
#   pe_check.sh EXE MACHINE OBJDUMP MAX_BYTES
# MACHINE is i386 or x86-64; MAX_BYTES 0 means no size budget.
# Prints every fault found and exits 1 if there is any.
set -euo pipefail

exe=$1
machine=$2
objdump=$3
max_bytes=$4

faults=0
fault() {
  echo "pe_check: $exe: $*" >&2
  faults=$((faults + 1))
}

# Unsigned little-endian integer of $2 bytes at offset $1 of the file.
read_uint() {
  od -An -tu"$2" -j "$1" -N "$2" "$exe" | tr -d ' '
}

if [ ! -f "$exe" ]; then
  echo "pe_check: $exe does not exist" >&2
  exit 1
fi

# The COFF header follows the "PE\0\0" signature, whose offset the DOS header holds at 0x3c.
pe_offset=$(read_uint $((0x3c)) 4)
if [ "$(od -An -c -j "$pe_offset" -N 4 "$exe" | tr -d ' ')" != 'PE\0\0' ]; then
  echo "pe_check: $exe is not a PE image" >&2
  exit 1
fi
machine_field=$(read_uint $((pe_offset + 4)) 2)
timestamp=$(read_uint $((pe_offset + 8)) 4)

case $machine in
  i386) expected_machine=$((0x14c)) ;;
  x86-64) expected_machine=$((0x8664)) ;;
  *) echo "pe_check: unknown machine $machine" >&2; exit 2 ;;
esac
if [ "$machine_field" -ne "$expected_machine" ]; then
  fault "machine type is $(printf '0x%x' "$machine_field"), not $machine"
fi

# A link time in the header makes every build differ.
if [ "$timestamp" -ne 0 ]; then
  fault "PE timestamp is $timestamp, not 0"
fi

if ! headers=$("$objdump" -p "$exe"); then
  echo "pe_check: $objdump cannot read $exe" >&2
  exit 1
fi

# One header field's value, from the hexadecimal number objdump prints after its name;
# a field objdump does not show counts as a fault and as 0.
field() {
  local value
  value=$(awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers")
  if [ -z "$value" ]; then
    fault "objdump shows no $1"
    value=0
  fi
  printf -v "$2" '%d' $((16#$value))
}

field DllCharacteristics dll_characteristics
(( dll_characteristics & 0x40 )) || fault "DYNAMIC_BASE (ASLR) is not set"
if [ "$machine" = x86-64 ]; then
  (( dll_characteristics & 0x100 )) || fault "NX_COMPAT (DEP) is not set"
  (( dll_characteristics & 0x20 )) || fault "HIGH_ENTROPY_VA is not set"
else
  # The 32-bit program turns DEP on itself unless a skin library, which may run code from heap
  # memory, is loaded; the flag would turn it on for the skin library too.
  if (( dll_characteristics & 0x100 )); then
    fault "NX_COMPAT (DEP) is set"
  fi
fi

# ASLR can move the image only if its base relocations are there.
if grep -q 'relocations stripped' <<<"$headers"; then
  fault "the relocations are stripped"
fi
reloc_size=$(awk '$1 == "Entry" && $2 == "5" { print $4; exit }' <<<"$headers")
if [ -z "$reloc_size" ] || [ $((16#$reloc_size)) -eq 0 ]; then
  fault "the base relocation directory is empty"
fi
if ! grep -q 'PE File Base Relocations' <<<"$headers"; then
  fault "there is no .reloc section"
fi

field Subsystem subsystem
if [ "$subsystem" -ne 2 ]; then
  fault "subsystem is $subsystem, not 2 (Windows GUI)"
fi

# Windows 7 is 6.1; a loader refuses an image that asks for a later subsystem version.
field MajorSubsystemVersion subsystem_major
field MinorSubsystemVersion subsystem_minor
if (( subsystem_major > 6 || (subsystem_major == 6 && subsystem_minor > 1) )); then
  fault "subsystem version $subsystem_major.$subsystem_minor is above 6.1 (Windows 7)"
fi

# Only DLLs that every Windows has.
allowed=" kernel32 user32 gdi32 comctl32 shell32 advapi32 msvcrt ole32 oleaut32 oleacc uxtheme version "
dlls=$(sed -n 's/^[[:space:]]*DLL Name: *//p' <<<"$headers" | tr -d '\r')
if [ -z "$dlls" ]; then
  fault "objdump shows no imported DLL"
fi
while IFS= read -r dll; do
  [ -n "$dll" ] || continue
  base=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  base=${base%.dll}
  case $allowed in
    *" $base "*) ;;
    *) fault "imports $dll, which is not on the allow-list" ;;
  esac
done <<<"$dlls"

# Every imported function must exist on Windows 7 SP1, where a missing one stops the program
# before it starts; Wine has them all, so only this list notices.
windows7=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' "$(dirname "$0")/windows7-imports.txt")
imports=$(awk '
  /^[[:space:]]*DLL Name:/ { dll = toupper($3); sub(/\r$/, "", dll); listing = 0 }
  /^[[:space:]]*vma:[[:space:]]+Hint\/Ord/ { listing = 1; next }
  listing && NF == 0 { listing = 0 }
  listing && NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }
' <<<"$headers" | sort -u)
if [ -z "$imports" ]; then
  fault "objdump shows no imported function"
fi
while read -r dll function; do
  [ -n "$dll" ] || continue
  if ! grep -qxF "$dll $function" <<<"$windows7"; then
    fault "imports $function from $dll, which is not on the list of Windows 7 SP1 functions"
  fi
done <<<"$imports"

size=$(stat -c %s "$exe")
if [ "$max_bytes" -gt 0 ] && [ "$size" -gt "$max_bytes" ]; then
  fault "is $size bytes, over the budget of $max_bytes"
fi

if [ "$faults" -gt 0 ]; then
  exit 1
fi
echo "pe_check: $exe: $machine, $size bytes, imports $(echo $dlls)"
