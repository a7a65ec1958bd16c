#pragma once

#include "Platform/Win32Find.h"

#include <string>

// Lists the directory entries that match a pattern such as "data\*.*".
class CPFileFind {
public:
    explicit CPFileFind(std::string pattern);
    virtual ~CPFileFind();
    CPFileFind(const CPFileFind&) = delete;
    CPFileFind& operator=(const CPFileFind&) = delete;

    // S_OK when an entry matches (it becomes current), E_FAIL when none does.
    HRESULT FindFirst();
    // True when a further entry became current.
    bool FindNext();

    // The current entry; its attribute bits tell directories
    // (FILE_ATTRIBUTE_DIRECTORY) from files.
    const WIN32_FIND_DATAA& GetFindData() const { return findData; }
    const std::string& GetFileName() const { return fileName; }

private:
    void CloseSearch();

    std::string pattern;
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA findData;
    std::string fileName;
};
