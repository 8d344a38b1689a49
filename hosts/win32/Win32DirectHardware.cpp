#include "hosts/win32/Win32DirectHardware.h"

#include <windows.h>

#include <cstring>

namespace varlin::win32 {

#if defined(__i386__)

namespace {

constexpr uint32_t kLowMemoryEnd = 0x100000;

}  // namespace

// The SMI handler takes and gives back the general registers; the OUT of al
// to dx raises it, with the carry flag cleared so that only the handler can
// set it.
void Win32DirectHardware::RaiseSmi(SmiRegisters& registers)
{
    uint32_t eax = registers.eax;
    uint32_t ebx = registers.ebx;
    uint32_t ecx = registers.ecx;
    uint32_t edx = registers.edx;
    uint32_t esi = registers.esi;
    uint32_t edi = registers.edi;
    bool carry = false;
    __asm__ volatile("clc\n\toutb %%al, %%dx"
                     : "+a"(eax), "+b"(ebx), "+c"(ecx), "+d"(edx), "+S"(esi), "+D"(edi), "=@ccc"(carry)
                     :
                     : "memory");
    registers = {eax, ebx, ecx, edx, esi, edi, carry};
}

// Port 0xEB decodes to nothing: the write only lets the bus settle.
void Win32DirectHardware::BusDelay() { __asm__ volatile("outb %%al, $0xEB" : : "a"(0)); }

// Windows 9x maps the first megabyte of physical memory at the same linear
// addresses in every process.
bool Win32DirectHardware::ReadLowMemory(uint32_t address, uint8_t* buffer, size_t length)
{
    if (address > kLowMemoryEnd || length > kLowMemoryEnd - address) return false;
    const void* source = reinterpret_cast<const void*>(static_cast<uintptr_t>(address));
    if (IsBadReadPtr(source, length)) return false;
    std::memcpy(buffer, source, length);
    return true;
}

#else

// The 64-bit program never runs in direct mode: every call is refused.
void Win32DirectHardware::RaiseSmi(SmiRegisters& registers) { registers.carry = true; }
void Win32DirectHardware::BusDelay() {}
bool Win32DirectHardware::ReadLowMemory(uint32_t, uint8_t*, size_t) { return false; }

#endif

}  // namespace varlin::win32
