// The run-time pseudo-relocator the toolchain's start-up code calls before
// anything else.  The toolchain's own is compiled with an instruction the
// Pentium MMX and the K6-2 do not have; ours has nothing to do, because the
// 32-bit binaries are linked with --disable-auto-import: a reference that
// would need patching at run time stops the link instead.
extern "C" void _pei386_runtime_relocator(void) {}
