#!/bin/bash
# Checks that a program's PDB is the one its debug directory names: the CodeView record holds the
# PDB's file name alone, and the same GUID and age as the PDB's own information stream.
# Usage: check_pdb.sh PROGRAM.exe PROGRAM.pdb
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM.exe PROGRAM.pdb" >&2; exit 2; }
program=$1 pdb=$2
tool() { command -v "$1-14" || command -v "$1"; }
readobj=$(tool llvm-readobj) pdbutil=$(tool llvm-pdbutil)
record=$("$readobj" --coff-debug-directory "$program")
summary=$("$pdbutil" dump --summary "$pdb")

# The record's GUID as its 16 bytes stand in the file; the PDB's in the registry form, whose first
# three groups are those bytes in little-endian order.
bytes=$(sed -n 's/.*PDBGUID: (\(.*\)).*/\1/p' <<<"$record" | tr -d ' ')
age=$(sed -n 's/.*PDBAge: \([0-9]*\).*/\1/p' <<<"$record")
name=$(sed -n 's/.*PDBFileName: \(.*\)$/\1/p' <<<"$record")
pdb_guid=$(sed -n 's/.*GUID: {\(.*\)}.*/\1/p' <<<"$summary" | tr -d '-')
pdb_age=$(sed -n 's/^ *Age: \([0-9]*\).*/\1/p' <<<"$summary")
swap() { local s=$1 out="" i; for ((i = ${#s} - 2; i >= 0; i -= 2)); do out+=${s:i:2}; done; echo "$out"; }
record_guid=$(swap "${bytes:0:8}")$(swap "${bytes:8:4}")$(swap "${bytes:12:4}")${bytes:16:16}

failures=0
check() {
  if [ "$2" = "$3" ] && [ -n "$2" ]; then echo "check_pdb.sh: $1 $2"; else
    echo "check_pdb.sh: $1 differs: program '$2', PDB '$3'" >&2
    failures=$((failures + 1))
  fi
}
check "GUID" "$record_guid" "$pdb_guid"
check "age" "$age" "$pdb_age"
check "file name" "$name" "$(basename "$pdb")"
exit $((failures > 0))
