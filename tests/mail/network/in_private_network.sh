#!/bin/sh
# Runs a program in a network of its own whose lo also holds 198.18.0.1: an address that is
# not loopback, so the program meets what a server across a network would meet, with no
# network around it. Exit 77 (a skip) only where no network namespace can be made.
if ! unshare --net true 2>/dev/null; then
    echo "in_private_network: no network namespace can be made here (root, or unprivileged" \
        "user namespaces, is needed): these tests did not run." >&2
    exit 77
fi
exec unshare --net sh -e -c 'ip link set lo up; ip addr add 198.18.0.1/32 dev lo; exec "$@"' \
    in_private_network "$@"
