#!/usr/bin/env bash
# Times palvina-compose against common image tools on photo-sized JPEGs: the time to turn one
# camera picture into one screen-size bitmap, start to finish, as separate processes.
#
#   bench/compose-vs-peers.sh [BUILD_DIR]        (default /work/main/build)
#
# Needs a build with the targets palvina-compose, palvina_data and palvina-bench-photos. Builds
# nothing itself. Environment: RUNS (20), WARMUP (3), SCREEN (1920x1080), SIZES
# (1920x1080,4000x3000,6000x4000), OUT_DIR (BUILD_DIR/bench-results), KEEP=1 keeps the pictures.
set -euo pipefail

build=$(realpath "${1:-/work/main/build}")
runs=${RUNS:-20}
warmup=${WARMUP:-3}
screen=${SCREEN:-1920x1080}
sizes=${SIZES:-1920x1080,4000x3000,6000x4000}
out_dir=${OUT_DIR:-$build/bench-results}
screen_w=${screen%x*}
screen_h=${screen#*x}

die() { echo "compose-vs-peers: $*" >&2; exit 1; }

compose=$build/app/palvina-compose
[[ -x $compose ]] || die "no $compose: build the target palvina-compose first"
[[ -d $build/app/Images/Mask ]] || die "no masks in $build/app: build the target palvina_data first"
photos_tool=$(find "$build" -name palvina-bench-photos -type f -perm -u+x -print -quit)
[[ -n $photos_tool ]] || die "no palvina-bench-photos under $build: build that target first"

# The peers, installed from Debian packages when missing.
missing=()
command -v hyperfine >/dev/null || missing+=(hyperfine)
command -v vips >/dev/null || missing+=(libvips-tools)
command -v gm >/dev/null || missing+=(graphicsmagick)
command -v convert >/dev/null || command -v magick >/dev/null || missing+=(imagemagick)
if ((${#missing[@]})); then
    echo "installing ${missing[*]}" >&2
    apt-get install -y "${missing[@]}" >&2 || die "cannot install ${missing[*]}"
fi

# ImageMagick's own program, not a script standing in for it (its start-up would be timed too).
is_elf() { [[ $(head -c 4 "$1" 2>/dev/null | od -An -c | tr -d ' ') == '177ELF' ]]; }
imagemagick=
for candidate in $(type -ap magick convert) /usr/bin/convert-im6.q16 /usr/bin/convert; do
    if [[ -x $candidate ]] && is_elf "$(realpath "$candidate")"; then
        imagemagick=$candidate
        break
    fi
done
[[ -n $imagemagick ]] || die "no ImageMagick binary found"
[[ $(basename "$imagemagick") == magick ]] && imagemagick="$imagemagick convert"

# vips writes BMP only through its ImageMagick module; PPM is its own uncompressed 24-bit
# writer, the fair counterpart of an uncompressed BMP.
vips_ext=bmp
vips_ops=$(vips -l 2>/dev/null || true)
[[ $vips_ops == *ppmsave* ]] && vips_ext=ppm

work=$(mktemp -d)
cleanup() { if [[ ${KEEP:-0} == 1 ]]; then echo "pictures kept in $work"; else rm -rf "$work"; fi; }
trap cleanup EXIT

echo "generating test pictures ($sizes)" >&2
"$photos_tool" "$work" ${sizes//,/ } >/dev/null

# The album look of the class 2 run: gradient background, random mask, no frame (GB18030, CR LF).
playlist=$work/config.dll
printf '%s\r\n' '[PlayList]' 'Count=1' 'F0_Img=photo.jpg' '[Stype]' 'Stype=MyPhoto' \
    '[BlkOption]' 'nRadioTag=1' 'ColorSoild=clBlack' 'ColorFrom=clNavy' 'ColorTo=clBlack' \
    'ComGradient=0' 'EdtPic=' '[PicSet]' 'CheckMask=-1' 'sIfrmaeImgFile=' 'IsFrame=' > "$playlist"

pic="$work/photo-{size}.jpg"
commands=(
    "$compose --screen $screen --class 1 $pic $work/c1.bmp"
    "$compose --screen $screen --class 2 --playlist $playlist --app-dir $build/app $pic $work/c2.bmp"
    "vips thumbnail $pic $work/vips.$vips_ext $screen_w --height $screen_h --size force"
    "gm convert $pic -resize ${screen}! $work/gm.bmp"
    "$imagemagick $pic -resize ${screen}! $work/im.bmp"
)

# Every command must work before it is timed.
for size in ${sizes//,/ }; do
    for command in "${commands[@]}"; do
        ${command//\{size\}/$size} || die "failed: ${command//\{size\}/$size}"
    done
done
bmp_size() { python3 -c 'import struct, sys; d = open(sys.argv[1], "rb").read(26); print("%dx%d" % (struct.unpack("<i", d[18:22])[0], abs(struct.unpack("<i", d[22:26])[0])))' "$1"; }
for f in c1.bmp c2.bmp gm.bmp im.bmp; do
    [[ $(bmp_size "$work/$f") == "$screen" ]] || die "$f is not $screen"
done

mkdir -p "$out_dir"
json=$out_dir/compose-vs-peers.json
hyperfine -N --warmup "$warmup" --runs "$runs" -L size "$sizes" --export-json "$json" "${commands[@]}" >&2

# Peak memory of one run on the largest picture.
largest=${sizes##*,}
echo >&2
echo "peak memory on $largest (Maximum resident set size):"
for command in "${commands[@]}"; do
    expanded=${command//\{size\}/$largest}
    rss=$(/usr/bin/time -v $expanded 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}')
    awk -v kb="$rss" -v cmd="${expanded//$work\//}" 'BEGIN { printf "  %8.1f MB  %s\n", kb / 1024, cmd }'
done

python3 - "$json" <<'PY'
import json
import sys

def label(command):
    if "palvina-compose" in command:
        return "palvina c1" if "--class 1" in command else "palvina c2"
    return {"vips": "vips", "gm": "gm"}.get(command.split()[0], "imagemagick")

results = json.load(open(sys.argv[1]))["results"]
columns = ["palvina c1", "palvina c2", "vips", "gm", "imagemagick"]
table = {}
for r in results:
    table.setdefault(r["parameters"]["size"], {})[label(r["command"])] = (r["mean"] * 1000, r["stddev"] * 1000)

print()
print("mean time in ms (± standard deviation); ratio = palvina / fastest peer (below 1: palvina faster)")
print(f"{'picture':>10} " + " ".join(f"{c:>15}" for c in columns) + f" {'fastest peer':>13} {'c1 ratio':>9} {'c2 ratio':>9}")
for size, row in table.items():
    cells = " ".join(f"{row[c][0]:8.1f} ±{row[c][1]:5.1f}" if c in row else f"{'-':>15}" for c in columns)
    peers = {c: row[c][0] for c in ("vips", "gm", "imagemagick") if c in row}
    fastest = min(peers, key=peers.get)
    print(f"{size:>10} {cells} {fastest:>13} {row['palvina c1'][0] / peers[fastest]:9.2f} "
          f"{row['palvina c2'][0] / peers[fastest]:9.2f}")
PY
echo
echo "raw results: $json"
