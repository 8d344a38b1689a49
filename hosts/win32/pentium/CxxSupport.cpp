// The parts of the C++ run-time library the 32-bit program would otherwise
// take precompiled from the toolchain, whose code uses instructions the
// Pentium MMX and the K6-2 do not have (and whose exception support would
// bring the unwinder, which uses them too).  The program is built without
// exceptions: memory that runs out and the library's internal checks end
// the process with a message instead of throwing.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void EndWithMessage(const char* text)
{
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONSTOP | MB_TOPMOST);
    ExitProcess(EXIT_FAILURE);
}

[[noreturn]] void OutOfMemory() { EndWithMessage("Malloc memory error!"); }

// Put together without the heap, which may be what failed.
[[noreturn]] void LibraryFault(const char* what)
{
    char text[256] = "Internal error: ";
    lstrcpynA(text + lstrlenA(text), what != nullptr ? what : "a library check failed", sizeof text - lstrlenA(text));
    EndWithMessage(text);
}

void* Allocate(std::size_t size) noexcept { return std::malloc(size != 0 ? size : 1); }

}  // namespace

void* operator new(std::size_t size)
{
    void* memory = Allocate(size);
    if (memory == nullptr) OutOfMemory();
    return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

// What the library's headers call where they would throw.
namespace std {

void __throw_bad_exception() { LibraryFault("bad exception"); }
void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { OutOfMemory(); }
void __throw_bad_cast() { LibraryFault("bad cast"); }
void __throw_bad_typeid() { LibraryFault("bad typeid"); }
void __throw_logic_error(const char* what) { LibraryFault(what); }
void __throw_domain_error(const char* what) { LibraryFault(what); }
void __throw_invalid_argument(const char* what) { LibraryFault(what); }
void __throw_length_error(const char* what) { LibraryFault(what); }
void __throw_out_of_range(const char* what) { LibraryFault(what); }
void __throw_out_of_range_fmt(const char* what, ...) { LibraryFault(what); }
void __throw_runtime_error(const char* what) { LibraryFault(what); }
void __throw_range_error(const char* what) { LibraryFault(what); }
void __throw_overflow_error(const char* what) { LibraryFault(what); }
void __throw_underflow_error(const char* what) { LibraryFault(what); }
void __throw_bad_function_call() { LibraryFault("bad function call"); }

}  // namespace std

extern "C" void __cxa_pure_virtual() { LibraryFault("pure virtual call"); }
extern "C" void __cxa_deleted_virtual() { LibraryFault("deleted virtual call"); }
