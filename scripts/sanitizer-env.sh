# Sourced by the scripts that run the sanitizer build (scripts/test sanitize, scripts/fault-sweep
# --preset sanitize): a leak, an address fault or undefined behaviour ends the process with an
# error.
#
# intercept_tls_get_addr=0: the leak checker's stop-the-world tracer reads the dynamic TLS blocks
# it recorded from __tls_get_addr. Once a library with thread-local data has been unloaded (the
# tests load and unload the coordinate library) a record can be stale, and now and then the
# tracer crashes at exit ("Tracer caught signal 11") after the test has passed.
# Without the interception those blocks are still scanned: glibc allocates them with malloc and
# the thread's DTV, which the tracer reads, points to them.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
