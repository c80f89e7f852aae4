# Sourced first by a script that runs Wine, with its arguments: runs that script again with
# the kernel's address-space randomisation turned off for it and all it starts.
#
# Debian's wine64 has no preloader. Its loader sits at the fixed address 0x7d000000, and a
# kernel of today puts the loader's heap anywhere up to 1 GB above it. Now and then that
# heap covers 0x7ffe0000, the page where every Windows process keeps its shared user data,
# and the process ends at once with exit 1 ("failed to map the shared user data"). With
# randomisation off the heap starts right after the loader, every time.
#
# Where the process may not change its personality (some container sandboxes refuse it),
# the script goes on as it is.
if [[ -z ${HEXALUNE_FIXED_LAYOUT:-} ]]; then
    export HEXALUNE_FIXED_LAYOUT=1
    if setarch "$(uname -m)" -R true 2>/dev/null; then
        exec setarch "$(uname -m)" -R bash "$0" "$@"
    fi
fi
