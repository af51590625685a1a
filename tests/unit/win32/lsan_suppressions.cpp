// fontconfig keeps what it parses from its configuration files for the life of the process; the
// leak checker would report that as a leak of every test that draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
