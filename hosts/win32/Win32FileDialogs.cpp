#include "hosts/win32/Win32FileDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace varlin::win32 {

namespace {

// Room for the chosen name; an Open dialog that allows several files
// returns the folder and the names in it.
constexpr size_t kNameBufferSize = 1024;

OPENFILENAMEA DialogRecord(const std::string& filter, std::vector<char>& name)
{
    OPENFILENAMEA record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = GetActiveWindow();
    record.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    record.nFilterIndex = 1;
    record.lpstrFile = name.data();
    record.nMaxFile = static_cast<DWORD>(name.size());
    record.Flags = OFN_EXPLORER;
    return record;
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::string FilterForDialog(const std::string& filter)
{
    std::string converted = filter;
    std::replace(converted.begin(), converted.end(), '|', '\0');
    if (converted.empty() || converted.back() != '\0') converted.push_back('\0');
    converted.push_back('\0');
    return converted;
}

DialogResult Win32FileDialogs::AskSaveFileName(const SaveFileDialogOptions& options, std::string& chosenPath)
{
    const std::string filter = FilterForDialog(options.filter);
    std::vector<char> name(kNameBufferSize, '\0');
    options.initialFileName.copy(name.data(), name.size() - 1);
    OPENFILENAMEA record = DialogRecord(filter, name);
    record.lpstrDefExt = OrNull(options.defaultExtension);
    if (options.hideReadOnly) record.Flags |= OFN_HIDEREADONLY;
    if (options.confirmOverwrite) record.Flags |= OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameA(&record)) return DialogResult::Cancel;
    chosenPath = name.data();
    return DialogResult::Ok;
}

DialogResult Win32FileDialogs::AskOpenFileName(const OpenFileDialogOptions& options, std::string& chosenPath)
{
    const std::string filter = FilterForDialog(options.filter);
    std::vector<char> name(kNameBufferSize, '\0');
    OPENFILENAMEA record = DialogRecord(filter, name);
    record.lpstrDefExt = OrNull(options.defaultExtension);
    record.lpstrInitialDir = OrNull(options.initialDirectory);
    if (options.hideReadOnly) record.Flags |= OFN_HIDEREADONLY;
    if (options.pathMustExist) record.Flags |= OFN_PATHMUSTEXIST;
    if (options.allowMultiSelect) record.Flags |= OFN_ALLOWMULTISELECT;
    if (!GetOpenFileNameA(&record)) return DialogResult::Cancel;
    chosenPath = name.data();
    return DialogResult::Ok;
}

}  // namespace varlin::win32
