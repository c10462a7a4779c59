// Linked into every test program of a sanitizer build: leaks LeakSanitizer
// reports that belong to system libraries, not to the show.
//
// SDL raises its audio thread's priority through the D-Bus system service;
// libdbus keeps its connection buffers until dbus_shutdown(), which SDL 2.26
// never calls (other users of the library might still need it).
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
