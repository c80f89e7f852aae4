// The program is built without C++ exceptions. The standard library still reports its few
// failures (out of memory, a length or index past the end) by calling these functions; with
// libstdc++ a program may define them itself, and here each one ends the process at once
// instead of dragging the exception classes, their strings and the unwinder into the exe.
// None of them can be reached from any stored value: everything read is checked before use.
#include <cstdlib>  // first: it says which standard library this is

#if defined(__GLIBCXX__)

#include <windows.h>

namespace {

[[noreturn]] void FailFast() {
    // Reported to Windows Error Reporting like any crash, without running anything more.
    RaiseFailFastException(nullptr, nullptr, 0);
    std::abort();
}

}  // namespace

namespace std {

[[noreturn]] void __throw_bad_exception() { FailFast(); }
[[noreturn]] void __throw_bad_alloc() { FailFast(); }
[[noreturn]] void __throw_bad_array_new_length() { FailFast(); }
[[noreturn]] void __throw_bad_cast() { FailFast(); }
[[noreturn]] void __throw_bad_typeid() { FailFast(); }
[[noreturn]] void __throw_logic_error(const char*) { FailFast(); }
[[noreturn]] void __throw_domain_error(const char*) { FailFast(); }
[[noreturn]] void __throw_invalid_argument(const char*) { FailFast(); }
[[noreturn]] void __throw_length_error(const char*) { FailFast(); }
[[noreturn]] void __throw_out_of_range(const char*) { FailFast(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { FailFast(); }
[[noreturn]] void __throw_runtime_error(const char*) { FailFast(); }
[[noreturn]] void __throw_range_error(const char*) { FailFast(); }
[[noreturn]] void __throw_overflow_error(const char*) { FailFast(); }
[[noreturn]] void __throw_underflow_error(const char*) { FailFast(); }

}  // namespace std

// The runtime's own terminate handler prints the failure for a console and drags a symbol
// demangler (about 50 KB) into the exe; this program has no console to print to.
namespace __gnu_cxx {

void __verbose_terminate_handler() { FailFast(); }

}  // namespace __gnu_cxx

#endif
