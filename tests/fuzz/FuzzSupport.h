// What the fuzz targets share: a private folder for the files some checks
// read, ports that stay quiet, and a check that stops the run when a
// property every input must keep is broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/FileDialogPort.h"
#include "platform/support/Files.h"
#include "platform/MessagePort.h"
#include "platform/PictureLoaderPort.h"
#include "platform/ProgressPort.h"
#include "hosts/HostSystem.h"

// Stops the run (libFuzzer keeps the input) when a property does not hold.
#define FUZZ_EXPECT(condition)                                                                    \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace varlin::fuzz {

// Writes the input to a file of this name in a folder of the process's own
// and returns its path.
std::string WriteInputFile(const std::string& name, const uint8_t* data, size_t size);
std::string InputFilePath(const std::string& name);

// Message boxes that show nothing and answer every question with Yes.
class QuietMessages : public MessagePort {
public:
    void ShowMessage(const std::string&) override { ++shown; }
    MessageAnswer ShowSystemMessage(const std::string&, const std::string&, SystemMessageStyle) override
    {
        ++shown;
        return MessageAnswer::Yes;
    }
    int shown = 0;
};

class QuietProgress : public ProgressPort {
public:
    void SetStepText(const std::string&) override {}
    void SetRange(uint32_t) override {}
    void SetPosition(uint32_t) override {}
    void SetPercentage(int32_t) override {}
};

class NoFileDialogs : public FileDialogPort {
public:
    DialogResult AskSaveFileName(const SaveFileDialogOptions&, std::string&) override { return DialogResult::Cancel; }
    DialogResult AskOpenFileName(const OpenFileDialogOptions&, std::string&) override { return DialogResult::Cancel; }
};

class NoPictures : public PictureLoaderPort {
public:
    bool LoadPicture(const uint8_t*, size_t, RgbImage&) override { return false; }
};

// The host system, as the NT family (the driver) or Windows 98 (the SMI).
class ChosenPlatformSystem : public HostSystem {
public:
    uint32_t PlatformVersion() override { return directMode ? 0xC0000A04u : 0x00000004u; }
    bool directMode = false;
};

}  // namespace varlin::fuzz
