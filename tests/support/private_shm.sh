# Sourced first by every test that starts a JACK server. JACK keeps one registry of servers in
# /dev/shm for the whole machine, with room for eight, and a server that was killed keeps its
# slot for good; tests that run side by side or after a crash would soon find it full. Where the
# test may make a mount namespace of its own (root, unshare), it runs again inside one with a
# fresh /dev/shm, so its servers and clients see only each other. Elsewhere it runs as it is.
if [ -z "${TONNIK_PRIVATE_SHM:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1 &&
   unshare --mount --propagation private true 2>/dev/null; then
  export TONNIK_PRIVATE_SHM=1
  exec unshare --mount --propagation private \
    sh -c 'mount -t tmpfs -o mode=1777 tmpfs /dev/shm && exec "$0" "$@"' "$0" "$@"
fi
