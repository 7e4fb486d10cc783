// Fenrallo1.0.exe is compiled without exceptions (app/CMakeLists.txt), yet the standard library
// would still throw from its own code: out of memory, a string past its largest size. Those calls
// end here instead, so the runtime's unwinder is never linked in, and so does std::terminate.
// A fatal error ends the process at once and quietly: abort() would first show the runtime's
// error box, and while it waited for a click the worker would go on moving files.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void endProcess() noexcept
{
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();  // never reached: the call above does not return for this process
}

}  // namespace

// GCC's default terminate handler would also print the demangled type of an uncaught exception
// to a console this GUI program does not have, and bring the whole demangler into the exe.
namespace __gnu_cxx {  // NOLINT(bugprone-reserved-identifier, cert-dcl58-cpp)

void __verbose_terminate_handler()  // NOLINT(bugprone-reserved-identifier)
{
    endProcess();
}

}  // namespace __gnu_cxx

// The linker sends the library's throw helpers here (--wrap=<name> turns each call of <name>
// into one of __wrap_<name>); the names are the helpers' mangled ones.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
[[noreturn]] void __wrap__ZSt17__throw_bad_allocv()
{
    endProcess();
}
[[noreturn]] void __wrap__ZSt28__throw_bad_array_new_lengthv()
{
    endProcess();
}
[[noreturn]] void __wrap__ZSt25__throw_bad_function_callv()
{
    endProcess();
}
[[noreturn]] void __wrap__ZSt19__throw_logic_errorPKc(const char*)
{
    endProcess();
}
[[noreturn]] void __wrap__ZSt20__throw_length_errorPKc(const char*)
{
    endProcess();
}
[[noreturn]] void __wrap__ZSt20__throw_out_of_rangePKc(const char*)
{
    endProcess();
}
[[noreturn]] void __wrap__ZSt24__throw_out_of_range_fmtPKcz(const char*, ...)
{
    endProcess();
}
}
// NOLINTEND(bugprone-reserved-identifier)

// The replaceable allocation functions: the library's own throw std::bad_alloc.
void* operator new(std::size_t size)
{
    if (void* memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    endProcess();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}
