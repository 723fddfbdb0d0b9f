#!/usr/bin/env bash
# A full-system emulated x86 machine (QEMU, software emulation) with 32-bit
# wine, for the machines whose kernel runs no 32-bit programs: there the
# shipped 32-bit programs can still run, in here.
#   scripts/emulated-x86.sh build
#   scripts/emulated-x86.sh run [--share DIR]... [--timeout SECONDS] -- COMMAND...
#   scripts/emulated-x86.sh status
# build: makes the machine once per machine (about a quarter of an hour):
#   a Debian bookworm system with wine and wine32 from Debian's archive on a
#   disk image, a ready 32-bit wine prefix in it, and a saved running state
#   of the machine waiting for a command. A second call returns at once.
# run: resumes that state (seconds, not a boot) with its disk in snapshot
#   mode, so every run starts clean; mounts each DIR at the same absolute
#   path; runs COMMAND's words, joined by blanks as ssh does, with bash as
#   root (cd to the caller's folder when it is shared); copies its standard
#   output and error back as it runs; exits with its exit code, 124 when the
#   time limit (default 1800 s) ran out (the machine is then stopped), 125
#   when the machine could not run it (not built, did not start). Runs may
#   overlap: each has a QEMU of its own. Inside, scripts/wine-run.sh keeps
#   its prefixes on the machine's own disk, each linked to the ready one.
# status: whether the machine is built, where, and its size.
# The cache folder is KOLEKTOR_EMULATED_CACHE, by default
# ${XDG_CACHE_HOME:-$HOME/.cache}/kolektor/emulated-x86.
set -euo pipefail

cache=${KOLEKTOR_EMULATED_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kolektor/emulated-x86}
partial=$cache.partial
lock=$cache.lock
# Fixed when the state is saved: a resumed machine has the same memory and
# the same devices. Share slots are 9p devices k1..k7 (k0 is the run's own
# control folder); a slot a run does not use shows an empty folder.
memory=3072
slots=7
guest_prefixes=/var/lib/kolektor/prefixes
guest_template=/var/lib/kolektor/template
# Prefixes (wine-run.sh --prefix NAME) whose wine session is already
# running in the saved state: those of emulated-x86-tests.sh.
warm_prefixes=(main emulated)
packages=(linux-image-amd64 mount kmod procps wine wine32:i386 fonts-wine)

die() { echo "emulated-x86: $*" >&2; exit 125; }
# Removes a folder that an interrupted mmdebstrap may have left with file
# systems mounted inside: those are unmounted, never emptied.
remove() {
  local path mounts
  for path in "$@"; do
    [ -e "$path" ] || continue
    mounts=$(awk -v p="$path/" 'index($2 "/", p) == 1 { print $2 }' /proc/mounts | sort -r)
    [ -z "$mounts" ] || umount -l $mounts 2>/dev/null || true
    rm -rf --one-file-system "$path"
  done
}
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

# The first process of the machine, on its disk image: it only starts the
# machine's script, which each saving of the state writes anew (so that a
# change to it needs no new image).
guest_init() {
  cat <<'GUEST'
#!/bin/bash
exec /bin/bash /usr/local/sbin/kolektor-machine
GUEST
}

# The machine's script. On the first boot it makes the 32-bit prefix on
# the disk (written only while a state is made; a run's writes go to a
# throwaway overlay); on every boot it zeroes the free
# memory (a saved state leaves zero pages out) and starts a wine session
# that stays (a persistent wineserver with wine's services) in each prefix
# that emulated-x86-tests.sh uses, so that a run's programs start warm.
# Then it waits for one line on its second serial port: that line comes
# only after a resume, when the run's control folder (tag k0) can be
# mounted; the run's job.sh there does the rest.
guest_machine() {
  cat <<'GUEST'
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
say() { echo "kolektor-guest: $*" >/dev/console; }
halt() { sync; echo o >/proc/sysrq-trigger; sleep infinity; }
fail() { say "FAILED: $*"; halt; }
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
mountpoint -q /run || mount -t tmpfs tmpfs /run
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -o remount,rw / || fail "root file system not writable"
hostname emulated-x86
for d in /tmp /var/tmp /root; do mount -t tmpfs -o mode=1777 tmpfs "$d" || fail "tmpfs $d"; done
chmod 700 /root
modprobe -a 9pnet_virtio 9p || fail "no 9p modules"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# The prefix as wine-run.sh makes its own, less the host's registry value:
# null graphics driver, no debugger waiting on a crash, no menu entries.
template=@TEMPLATE@ recipe=2
if [ "$(cat "$template/.kolektor-template" 2>/dev/null)" != "$recipe" ]; then
  say "making the 32-bit wine prefix"
  rm -rf "$template"
  (
    export WINEPREFIX=$template
    wineboot -i && wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f &&
      for dll in winedbg.exe winemenubuilder.exe; do
        wine reg add 'HKCU\Software\Wine\DllOverrides' /v $dll /d '' /f || exit
      done && wineserver -w
  ) >/dev/console 2>&1 || fail "wineboot"
  echo "$recipe" >"$template/.kolektor-template"
fi
sync
echo 3 >/proc/sys/vm/drop_caches
mkdir -p /run/kolektor/zero
free_mb=$(awk '/^MemAvailable:/ { print int($2 / 1024) - 384 }' /proc/meminfo)
mount -t tmpfs -o size=${free_mb}m tmpfs /run/kolektor/zero &&
  dd if=/dev/zero of=/run/kolektor/zero/fill bs=1M count=$free_mb 2>/dev/null
umount /run/kolektor/zero
# Prefixes are links to the template's files on the (throwaway) disk: a
# copy costs neither time nor memory; wine replaces a file it changes.
rm -rf @PREFIXES@
mkdir -p @PREFIXES@
for name in @WARM@; do
  cp -al "$template" "@PREFIXES@/wine-$name"
  (
    export WINEPREFIX=@PREFIXES@/wine-$name
    wineserver -p && wine cmd /c echo warm >/dev/null 2>&1
  ) || fail "wine does not run"
done
sync
exec 3<>/dev/ttyS1
stty clocal raw -echo <&3
say "waiting"
read -r _ <&3
ctl=/run/kolektor/ctl
mkdir -p "$ctl"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 k0 "$ctl" || fail "no control folder"
: >"$ctl/started"
bash "$ctl/job.sh" </dev/null >>"$ctl/stderr" 2>&1
[ -f "$ctl/rc" ] || echo 125 >"$ctl/rc"
halt
GUEST
}

# A run's job in the resumed machine: the clock set, the shared folders
# mounted at their own paths (parents first; cache=loose: wine cannot run
# programs from a share without a page cache), the caller's folder, the
# command with a clean environment, its exit code left last.
run_job() {
  cat <<'JOB'
ctl=/run/kolektor/ctl
date -s "@$(cat "$ctl/epoch")" >/dev/null
sort -k2 "$ctl/shares" | while read -r tag path; do
  mkdir -p "$path" &&
    mount -t 9p -o trans=virtio,version=9p2000.L,cache=loose,msize=512000 "$tag" "$path" ||
    echo "emulated-x86: cannot mount $path" >&2
done
cd "$(cat "$ctl/cwd")" 2>/dev/null || cd /root
env -i PATH="$PATH" HOME=/root LANG=C.UTF-8 TERM=dumb USER=root LOGNAME=root \
  KOLEKTOR_WINE_PREFIXES=@PREFIXES@ KOLEKTOR_WINE_TEMPLATE=@TEMPLATE@ \
  bash -c "$(cat "$ctl/command")" </dev/null >>"$ctl/stdout" 2>>"$ctl/stderr"
echo $? >"$ctl/rc.new"
sync
mv "$ctl/rc.new" "$ctl/rc"
JOB
}
guest_paths() {
  sed -e "s|@PREFIXES@|$guest_prefixes|g" -e "s|@TEMPLATE@|$guest_template|g" \
    -e "s|@WARM@|${warm_prefixes[*]}|g"
}

# What each part depends on; a different one means a new part.
rootfs_stamp() { printf '%s\n' "${packages[@]}" rootfs-1 | md5sum | cut -c1-32; }
image_stamp() { { rootfs_stamp; guest_init; echo image-1; } | md5sum | cut -c1-32; }
state_stamp() {
  { image_stamp; guest_machine | guest_paths; qemu-system-x86_64 --version | head -1
    qemu_args /c /c /s /m; } | md5sum | cut -c1-32
}

# QEMU's machine: DIR the cache, CTL the control folder (k0), SLOTS a
# folder holding k1..k7 (links to the shared folders or to an empty one),
# RUN the folder of the console log and the command pipe.
qemu_args() {
  local dir=$1 ctl=$2 slotdir=$3 run=$4
  printf '%s\n' -nodefaults -no-user-config -machine pc -cpu max,smap=off,la57=off \
    -accel tcg,thread=multi -smp 2 -m "$memory" -display none -vga none \
    -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
    -append "root=/dev/vda rw init=/usr/local/sbin/kolektor-guest console=ttyS0 quiet" \
    -chardev "file,id=con,path=$run/console.log" -serial chardev:con \
    -chardev "pipe,id=cmd,path=$run/cmd" -serial chardev:cmd \
    -device virtio-rng-pci \
    -fsdev "local,id=k0,path=$ctl,security_model=none" -device virtio-9p-pci,fsdev=k0,mount_tag=k0
  local i
  for ((i = 1; i <= slots; i++)); do
    printf '%s\n' -fsdev "local,id=k$i,path=$slotdir/k$i,security_model=none" \
      -device "virtio-9p-pci,fsdev=k$i,mount_tag=k$i"
  done
}

install_host_packages() {
  local want=(qemu-system-x86 qemu-utils mmdebstrap e2fsprogs) missing=() p
  for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  echo "emulated-x86: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ready() {
  [ -f "$cache/ready" ] && [ "$(cat "$cache/ready")" = "$(state_stamp)" ]
}

# One step of the build: its line with the elapsed time.
step() {
  local what=$1 start
  shift
  start=$(now)
  printf 'emulated-x86: %s ...\n' "$what"
  "$@" || { printf 'emulated-x86: %s: failed after %s\n' "$what" "$(since "$start")" >&2; return 1; }
  printf 'emulated-x86: %s: done in %s\n' "$what" "$(since "$start")"
}

make_rootfs() {
  remove "$partial/rootfs.new"
  mmdebstrap --quiet --variant=apt --architectures=amd64,i386 \
    --aptopt='Apt::Install-Recommends "false"' --include="$(IFS=,; echo "${packages[*]}")" \
    bookworm "$partial/rootfs.new" </dev/null >"$partial/mmdebstrap.log" 2>&1 ||
    { tail -n 20 "$partial/mmdebstrap.log" >&2; return 1; }
  mv "$partial/rootfs.new" "$partial/rootfs"
  rootfs_stamp >"$partial/rootfs.stamp"
}

make_image() {
  local root=$partial/rootfs size
  guest_init | guest_paths >"$root/usr/local/sbin/kolektor-guest"
  chmod 755 "$root/usr/local/sbin/kolektor-guest"
  mkdir -p "$root/run/kolektor"
  echo emulated-x86 >"$root/etc/hostname"
  printf '127.0.0.1 localhost\n127.0.1.1 emulated-x86\n' >"$root/etc/hosts"
  cp -L "$root/vmlinuz" "$partial/vmlinuz"
  cp -L "$root/initrd.img" "$partial/initrd.img"
  # Room for the prefix and what a run writes on its (throwaway) disk.
  size=$(($(du -sm "$root" | cut -f1) + 1536))
  rm -f "$partial/root.img.new"
  mkfs.ext4 -q -F -L kolektor -E lazy_itable_init=0,lazy_journal_init=0 -d "$root" \
    "$partial/root.img.new" "${size}M" >/dev/null
  mv "$partial/root.img.new" "$partial/root.img"
}

# Boots the machine on its disk (written: the prefix is made there), waits
# until it waits for a command, and saves its running state.
save_state() {
  local run=$partial/boot qpid waited=0 status
  rm -rf "$run" "$partial/state.new"
  mkdir -p "$run/ctl" "$run/slots"
  for ((i = 1; i <= slots; i++)); do mkdir -p "$run/slots/k$i"; done
  mkfifo "$run/cmd.in" "$run/cmd.out" "$run/mon.in" "$run/mon.out"
  # The machine's script into the image, after the journal of an earlier
  # boot is replayed (so that the replay cannot undo the write).
  guest_machine | guest_paths >"$run/kolektor-machine"
  e2fsck -fy "$partial/root.img" >"$run/e2fsck.log" 2>&1 || [ $? -le 1 ] ||
    { cat "$run/e2fsck.log" >&2; return 1; }
  debugfs -w -R "rm /usr/local/sbin/kolektor-machine" "$partial/root.img" >/dev/null 2>&1 || true
  debugfs -w -R "write $run/kolektor-machine /usr/local/sbin/kolektor-machine" \
    "$partial/root.img" >"$run/debugfs.log" 2>&1
  debugfs -R "cat /usr/local/sbin/kolektor-machine" "$partial/root.img" 2>/dev/null |
    cmp -s - "$run/kolektor-machine" ||
    { echo "emulated-x86: cannot write the machine's script into its disk" >&2; return 1; }
  mapfile -t args < <(qemu_args "$partial" "$run/ctl" "$run/slots" "$run")
  qemu-system-x86_64 "${args[@]}" -drive "file=$partial/root.img,format=raw,if=virtio" \
    -chardev "pipe,id=mon,path=$run/mon" -mon chardev=mon,mode=readline \
    >"$run/qemu.log" 2>&1 &
  qpid=$!
  build_pids+=("$qpid")
  exec 6<>"$run/mon.in" 7<>"$run/mon.out" 8<>"$run/cmd.in" 9<>"$run/cmd.out"
  cat <&7 >"$run/monitor.log" &
  local reader=$!
  build_pids+=("$reader")
  until grep -q 'kolektor-guest: \(waiting\|FAILED\)' "$run/console.log" 2>/dev/null; do
    if ! kill -0 "$qpid" 2>/dev/null || [ $waited -ge 1800 ]; then
      kill "$qpid" "$reader" 2>/dev/null || true
      echo "emulated-x86: the machine did not reach its waiting state; its console:" >&2
      tail -n 30 "$run/console.log" "$run/qemu.log" >&2 || true
      return 1
    fi
    sleep 1
    waited=$((waited + 1))
  done
  if grep -q 'kolektor-guest: FAILED' "$run/console.log"; then
    grep -B 20 'kolektor-guest: FAILED' "$run/console.log" >&2
    kill "$qpid" "$reader" 2>/dev/null || true
    return 1
  fi
  printf "migrate \"exec:cat > '%s'\"\n" "$partial/state.new" >&6
  status=
  for ((waited = 0; waited < 600; waited++)); do
    sleep 1
    printf 'info migrate\n' >&6
    sleep 0.2
    status=$(grep -o 'Migration status: [a-z-]*' "$run/monitor.log" | tail -n 1 || true)
    case "$status" in *completed | *failed | *cancelled) break ;; esac
  done
  printf 'quit\n' >&6
  wait "$qpid" || true
  kill "$reader" 2>/dev/null || true
  wait "$reader" 2>/dev/null || true
  build_pids=()
  exec 6>&- 7>&- 8>&- 9>&-
  if [ "$status" != "Migration status: completed" ]; then
    echo "emulated-x86: saving the running state failed (${status:-no answer}):" >&2
    tail -n 20 "$run/monitor.log" "$run/qemu.log" >&2 || true
    return 1
  fi
  mv "$partial/state.new" "$partial/state"
  rm -rf "$run"
}

# A 32-bit program in a fresh copy of the prefix, twice: the first starts
# wine's services, the second is warm.
smoke_test() {
  local out
  out=$(run "$partial" --timeout 300 -- '
    cp -al "$KOLEKTOR_WINE_TEMPLATE" "$KOLEKTOR_WINE_PREFIXES/smoke" &&
    export WINEPREFIX=$KOLEKTOR_WINE_PREFIXES/smoke WINEDEBUG=-all &&
    a=$(date +%s%N) && wine cmd /c echo 32-bit >/dev/null && b=$(date +%s%N) &&
    wine cmd /c echo 32-bit && c=$(date +%s%N) &&
    echo "first $(((b - a) / 1000000)) ms, warm $(((c - b) / 1000000)) ms"' 2>&1) || {
    echo "emulated-x86: the saved machine does not run a 32-bit program: $out" >&2
    return 1
  }
  case "$out" in *32-bit*) ;; *) echo "emulated-x86: unexpected answer: $out" >&2; return 1 ;; esac
  echo "emulated-x86: a 32-bit console program in a new prefix: ${out##*$'\n'}"
}

build() {
  local start
  start=$(now)
  # A stopped build leaves no machine running.
  build_pids=()
  trap '[ ${#build_pids[@]} -eq 0 ] || kill "${build_pids[@]}" 2>/dev/null || true' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  step "host packages (qemu-system-x86, qemu-utils, mmdebstrap, e2fsprogs)" install_host_packages
  mkdir -p "$(dirname "$cache")"
  exec 5>"$lock"
  flock 5
  if ready; then
    echo "emulated-x86: ready in $cache"
    return 0
  fi
  # A machine built before a change of QEMU keeps its disk: only its state
  # is made anew.
  if [ -d "$cache" ]; then
    remove "$partial"
    if [ "$(cat "$cache/image" 2>/dev/null)" = "$(image_stamp)" ]; then
      mv "$cache" "$partial"
      rm -f "$partial/ready" "$partial/state"
    else
      remove "$cache"
    fi
  fi
  # What an interrupted build left is kept where it is still the same.
  mkdir -p "$partial"
  if [ "$(cat "$partial/image" 2>/dev/null)" != "$(image_stamp)" ]; then
    rm -f "$partial/root.img" "$partial/state" "$partial/vmlinuz" "$partial/initrd.img"
  fi
  if [ "$(cat "$partial/rootfs.stamp" 2>/dev/null)" != "$(rootfs_stamp)" ]; then
    remove "$partial/rootfs"
  fi
  image_stamp >"$partial/image"
  [ -f "$partial/root.img" ] || [ -d "$partial/rootfs" ] ||
    step "Debian bookworm with wine and wine32 (mmdebstrap, a few minutes)" make_rootfs
  [ -f "$partial/root.img" ] || step "disk image" make_image
  [ -f "$partial/state" ] ||
    step "first boot: the 32-bit prefix, then the running state saved" save_state
  # A state that cannot run a program is not kept.
  if ! step "a 32-bit program in the saved machine" smoke_test; then
    rm -f "$partial/state"
    return 1
  fi
  remove "$partial/rootfs" "$partial/rootfs.stamp"
  state_stamp >"$partial/ready"
  mv "$partial" "$cache"
  echo "emulated-x86: ready in $cache ($(du -sh "$cache" | cut -f1)), built in $(since "$start")"
}

status() {
  if ready; then
    echo "emulated-x86: built in $cache, $(du -sh "$cache" | cut -f1) on disk" \
      "($(du -sh --apparent-size "$cache" | cut -f1) apparent)"
  elif [ -d "$cache" ]; then
    echo "emulated-x86: $cache is out of date (another QEMU or script): run build"
    return 1
  elif [ -d "$partial" ]; then
    echo "emulated-x86: not built; an unfinished build is in $partial"
    return 1
  else
    echo "emulated-x86: not built ($cache)"
    return 1
  fi
}

# Runs the command in the machine saved in DIR: the built one (under a
# shared lock, so that no build replaces it meanwhile) or, while it is
# being built, the new one.
run() {
  local dir=$1 shares=() timeout=1800
  shift
  while [ $# -gt 0 ]; do
    case "$1" in
      --share) shares+=("$(cd "$2" 2>/dev/null && pwd)") || die "no folder $2"; shift 2 ;;
      --timeout) timeout=$2; shift 2 ;;
      --) shift; break ;;
      *) die "usage: $0 run [--share DIR]... [--timeout SECONDS] -- COMMAND..." ;;
    esac
  done
  [ $# -gt 0 ] || die "usage: $0 run [--share DIR]... [--timeout SECONDS] -- COMMAND..."
  [[ $timeout =~ ^[0-9]+$ ]] || die "--timeout takes seconds"
  [ ${#shares[@]} -le $slots ] || die "at most $slots shared folders"
  local s
  for s in "${shares[@]}"; do [ "$s" != / ] || die "the root folder cannot be shared"; done
  if [ "$dir" = "$cache" ]; then
    [ -f "$cache/ready" ] || die "the machine is not built ($cache): run $0 build"
    exec 5>>"$lock"
    flock -s -w 60 5 || die "the machine is being built by another call ($lock)"
    ready || die "the machine in $cache is out of date (another QEMU or script): run $0 build"
  fi

  local i path
  rundir=$(mktemp -d "${TMPDIR:-/tmp}/kolektor-emulated.XXXXXX")
  qpid= tails=()
  trap stop_run EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
  mkdir -p "$rundir/ctl" "$rundir/slots" "$rundir/empty"
  : >"$rundir/ctl/stdout"
  : >"$rundir/ctl/stderr"
  : >"$rundir/ctl/shares"
  for ((i = 1; i <= slots; i++)); do
    path=${shares[i - 1]:-}
    ln -s "${path:-$rundir/empty}" "$rundir/slots/k$i"
    [ -z "$path" ] || printf 'k%d %s\n' "$i" "$path" >>"$rundir/ctl/shares"
  done
  pwd >"$rundir/ctl/cwd"
  date +%s >"$rundir/ctl/epoch"
  printf '%s' "$*" >"$rundir/ctl/command"
  run_job | guest_paths >"$rundir/ctl/job.sh"
  mkfifo "$rundir/cmd.in" "$rundir/cmd.out"

  local start
  start=$(now)
  mapfile -t args < <(qemu_args "$dir" "$rundir/ctl" "$rundir/slots" "$rundir")
  # The disk's throwaway overlay goes to the run's folder.
  TMPDIR=$rundir qemu-system-x86_64 "${args[@]}" \
    -drive "file=$dir/root.img,format=raw,if=virtio,snapshot=on" \
    -monitor none -incoming "exec:cat '$dir/state'" >"$rundir/qemu.log" 2>&1 &
  qpid=$!
  exec 8<>"$rundir/cmd.in" 9<>"$rundir/cmd.out"
  tail -n +1 -s 0.2 -f --pid="$qpid" "$rundir/ctl/stdout" &
  tails+=($!)
  tail -n +1 -s 0.2 -f --pid="$qpid" "$rundir/ctl/stderr" >&2 &
  tails+=($!)

  local deadline=$((SECONDS + timeout)) rc= said=
  while :; do
    if [ -f "$rundir/ctl/rc" ]; then
      rc=$(cat "$rundir/ctl/rc")
      break
    fi
    if ! kill -0 "$qpid" 2>/dev/null; then
      echo "emulated-x86: the machine stopped before the command ended:" >&2
      tail -n 20 "$rundir/qemu.log" "$rundir/console.log" >&2 || true
      rc=125
      break
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "emulated-x86: timed out after $timeout s; the machine is stopped" >&2
      rc=124
      break
    fi
    # A line sent while the state is still being read in can be lost: sent
    # again until the machine has taken it.
    if [ ! -f "$rundir/ctl/started" ]; then
      printf 'go\n' >&8
    elif [ -z "$said" ]; then
      said=1
      [ -z "${KOLEKTOR_EMULATED_VERBOSE:-}" ] ||
        echo "emulated-x86: resumed, command started after $(since "$start")" >&2
    fi
    sleep 0.2
  done
  kill "$qpid" 2>/dev/null || true
  wait "$qpid" 2>/dev/null || true
  qpid=
  wait "${tails[@]}" 2>/dev/null || true
  tails=()
  exit "${rc:-125}"
}

stop_run() {
  if [ -n "${qpid:-}" ]; then
    kill "$qpid" 2>/dev/null || true
    wait "$qpid" 2>/dev/null || true
  fi
  [ ${#tails[@]} -eq 0 ] || kill "${tails[@]}" 2>/dev/null || true
  [ -z "${rundir:-}" ] || rm -rf "$rundir"
}

case "${1:-}" in
  build) build ;;
  run) shift; run "$cache" "$@" ;;
  status) status ;;
  *) echo "usage: $0 build | run [--share DIR]... [--timeout SECONDS] -- COMMAND... | status" >&2
     exit 2 ;;
esac
