#!/usr/bin/env bash
# Writes the image of a USB stick that holds the staged disc's files, as a publisher would copy
# them onto a stick formatted FAT32:
#   make-stick.sh STAGED_DISC IMAGE [LABEL]
# The names stay as on the disc (long names, in their case); the volume label is LABEL,
# BRELVAN by default (FAT allows 11 characters; Windows shows autorun.inf's label= instead).
# Sized to hold the files with a quarter to spare, and never smaller than FAT32 allows: 65,525
# clusters at least, which with 512-byte clusters (what Windows formats so small a stick with)
# make 33 MiB.
set -euo pipefail
staged="${1:?usage: make-stick.sh STAGED_DISC IMAGE [LABEL]}" image="${2:?usage: make-stick.sh STAGED_DISC IMAGE [LABEL]}"
label="${3:-BRELVAN}"
smallest_mib=33

content_kib="$(du -sk --apparent-size "$staged" | cut -f1)"
size_mib=$((content_kib * 5 / 4 / 1024 + 2))
[ "$size_mib" -ge "$smallest_mib" ] || size_mib="$smallest_mib"

partial="$image.partial"
rm -f "$partial"
truncate -s "${size_mib}M" "$partial"
mkfs.fat -F 32 -S 512 -s 1 -n "$label" "$partial" > /dev/null
# Every file and folder of the staged disc, with its times.
mcopy -s -m -i "$partial" "$staged"/* ::/
mv "$partial" "$image"
echo "stick image: $image, FAT32, ${size_mib} MiB, label $label, $((content_kib / 1024)) MiB of files"
