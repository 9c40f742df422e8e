// Under the sanitizer build: no leak report for these tests. The allocations LeakSanitizer finds
// here belong to the X11 GL stack (D-Bus, Mesa's llvmpipe, which is unloaded before the report,
// so its frames cannot even be named in a suppression), not to the window code under test.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}
