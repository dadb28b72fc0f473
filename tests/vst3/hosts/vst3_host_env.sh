# Shared by the tests that hand the VST 3 bundle to Ardour: their arguments, and the bundle put
# where Ardour looks (~/.vst3 of the private home) and indexed by its scanner. Source it after
# tests/lv2/hosts/host_env.sh, then call vst3_parse_args "$@" and, after host_env_init,
# vst3_install_bundle.

# vst3_parse_args --bundle DIR --class-id HEX --tonnik PROGRAM: sets bundle, class_id, tonnik.
vst3_parse_args() { host_parse_args "bundle class_id tonnik" "$@"; }

# Ardour takes a scanned bundle from its cache only while the cache is no older than the module;
# the scanner stamps the cache with the module's time in whole seconds, so the copy gets one.
vst3_install_bundle() {
  mkdir -p "$HOME/.vst3"
  cp -r "$bundle" "$HOME/.vst3/"
  find "$HOME/.vst3" -exec touch -h -d "@$(($(date +%s) - 2))" {} +
  LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -q "$HOME/.vst3/$(basename "$bundle")" \
    || host_fail "ardour-vst3-scanner does not take the bundle"
}
