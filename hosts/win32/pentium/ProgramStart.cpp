// The 32-bit program's entry point, in place of the toolchain's start-up
// object, whose compiled code uses an instruction the Pentium MMX and the
// K6-2 do not have.  It does what that object does for a program like ours,
// in its order: the C library learns that a windowed program runs, the x87
// unit is reset, the C library splits the command line (__argc, __argv),
// the C and C++ initialisers run, then WinMain, and its result ends the
// process through exit, which runs the functions registered with atexit.
#include <windows.h>

#include <float.h>
#include <stdlib.h>

extern "C" {

// The C library's start-up calls, which its headers do not declare.
struct StartupInfo {
    int newMode;
};
int __cdecl __getmainargs(int* argc, char*** argv, char*** environment, int expandWildcards, StartupInfo* info);
void __cdecl __set_app_type(int type);

using Initializer = void(__cdecl*)(void);
void __cdecl _initterm(Initializer* first, Initializer* last);

// The bounds of the C and C++ initialiser tables, and the static
// constructors' runner (which registers the static destructors).
extern Initializer __xi_a[], __xi_z[], __xc_a[], __xc_z[];
void __main(void);

// Static destructors and the program's own exit functions are the C
// library's, run by exit.
int __cdecl atexit(void(__cdecl* function)(void)) { return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1; }

}  // extern "C"

namespace {

constexpr int kWindowedApplication = 2;

// The command line after the program's name, as WinMain receives it: the
// name may be quoted and hold blanks.
char* ArgumentsOf(char* line)
{
    bool quoted = false;
    for (; *line != '\0' && (quoted || (*line != ' ' && *line != '\t')); ++line) {
        if (*line == '"') quoted = !quoted;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

int ShowCommand()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

extern "C" void WinMainCRTStartup(void)
{
    __set_app_type(kWindowedApplication);
    _fpreset();
    int argc = 0;
    char** argv = nullptr;
    char** environment = nullptr;
    StartupInfo startup = {0};
    __getmainargs(&argc, &argv, &environment, 0, &startup);
    _initterm(__xi_a, __xi_z);
    _initterm(__xc_a, __xc_z);
    __main();
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), ShowCommand()));
}
