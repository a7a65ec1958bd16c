#include "Core/PFileFind.h"

CPFileFind::CPFileFind(std::string pattern) : pattern(std::move(pattern)) {}

CPFileFind::~CPFileFind() {
    CloseSearch();
}

HRESULT CPFileFind::FindFirst() {
    CloseSearch();
    search = FindFirstFileA(pattern.c_str(), &findData);
    if (search == INVALID_HANDLE_VALUE)
        return E_FAIL;
    fileName = findData.cFileName;
    return S_OK;
}

bool CPFileFind::FindNext() {
    if (!FindNextFileA(search, &findData))
        return false;
    fileName = findData.cFileName;
    return true;
}

void CPFileFind::CloseSearch() {
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    search = INVALID_HANDLE_VALUE;
}
