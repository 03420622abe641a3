#!/bin/sh
# Runs a program with a small disk of its own: a 64 KiB tmpfs mounted, in a mount
# namespace of its own, on a fresh folder whose path is in SMALL_DISK. The program fills it and meets a disk that is full for real. Exit 77 (a skip)
# only where no mount namespace can be made.
if unshare --mount true 2>/dev/null; then
    namespace="--mount"
elif unshare --user --map-root-user --mount true 2>/dev/null; then
    namespace="--user --map-root-user --mount"
else
    echo "on_small_disk: no mount namespace can be made here (root, or unprivileged user" \
        "namespaces, is needed): this test did not run." >&2
    exit 77
fi
SMALL_DISK=$(mktemp -d) || exit 1
export SMALL_DISK
# The mount lives and dies with the namespace; the empty folder is removed afterwards.
# shellcheck disable=SC2086
unshare $namespace sh -e -c \
    'mount -t tmpfs -o size=64k,mode=0755 small_disk "$SMALL_DISK"
    exec "$@"' on_small_disk "$@"
status=$?
rmdir "$SMALL_DISK"
exit $status
