#!/usr/bin/env bash
# Runs one host scenario with the panel across the link: a vormotor-drive on a free loopback
# port, vormotor-host --connect to it; the output must equal the in-process golden file.
# usage: run-link-scenario.sh DRIVE HOST SCRIPT GOLDEN PROFILE EXPECT_EXIT
set -u
drive=$1 host=$2 script=$3 golden=$4 profile=$5 expect_exit=$6
work=$(mktemp -d)
"$drive" --profile "$profile" --port 0 --ready-file "$work/ready" 2>"$work/drive.log" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 200); do
  [ -f "$work/ready" ] && break
  sleep 0.05
done
if ! read -r port control_port < "$work/ready"; then
  echo "vormotor-drive did not start:"; cat "$work/drive.log"; exit 1
fi
timeout 60 "$host" --connect "127.0.0.1:$port" --control-port "$control_port" "$script" >"$work/actual" 2>"$work/host.log"
status=$?
# VersionStr names the folder the host runs from; golden files stay independent of it.
sed -i "s|$(dirname "$host")|<host-dir>|g" "$work/actual"
if [ "$status" != "$expect_exit" ]; then
  echo "exit status $status, expected $expect_exit"; cat "$work/host.log"; exit 1
fi
diff -u "$golden" "$work/actual" || exit 1
