// With the C++ runtime linked in statically, GCC's default terminate handler would print the
// demangled type of an uncaught exception to a console this GUI program does not have, and would
// bring the whole demangler into the exe (about 45 KiB of 110). Defining the handler here keeps
// the runtime's one out; an uncaught exception still ends the process at once.
#include <cstdlib>

#if defined(__GLIBCXX__)

namespace __gnu_cxx {  // NOLINT(bugprone-reserved-identifier, cert-dcl58-cpp)

void __verbose_terminate_handler()  // NOLINT(bugprone-reserved-identifier)
{
    std::abort();
}

}  // namespace __gnu_cxx
#endif
