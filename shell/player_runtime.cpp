// The player catches no exception: whatever the C++ library would throw ends
// the program, as an uncaught exception does anyway. These definitions take
// the place of the library's throwing helpers and of its verbose terminate
// handler, which would otherwise bring the exception classes, a second
// std::string implementation and a symbol demangler into the exe: about
// 140 KB of a 350 KB player. Every helper of that library object is defined,
// so it is never linked whatever the code calls. Only the player programs
// link this file; the test programs keep the library's own behaviour.
#include <cstdlib>

#if defined(__GLIBCXX__)

namespace {
[[noreturn]] void EndProgram() { std::abort(); }
}  // namespace

namespace std {
void __throw_bad_exception() { EndProgram(); }
void __throw_bad_alloc() { EndProgram(); }
void __throw_bad_array_new_length() { EndProgram(); }
void __throw_bad_cast() { EndProgram(); }
void __throw_bad_typeid() { EndProgram(); }
void __throw_logic_error(const char*) { EndProgram(); }
void __throw_domain_error(const char*) { EndProgram(); }
void __throw_invalid_argument(const char*) { EndProgram(); }
void __throw_length_error(const char*) { EndProgram(); }
void __throw_out_of_range(const char*) { EndProgram(); }
void __throw_out_of_range_fmt(const char*, ...) { EndProgram(); }
void __throw_runtime_error(const char*) { EndProgram(); }
void __throw_range_error(const char*) { EndProgram(); }
void __throw_overflow_error(const char*) { EndProgram(); }
void __throw_underflow_error(const char*) { EndProgram(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { EndProgram(); }
}  // namespace __gnu_cxx

#endif
