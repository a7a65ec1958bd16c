#include "Core/Log.h"

#include "Platform/ErrorText.h"
#include "Platform/FileSystem.h"

#include <cstdarg>
#include <vector>

CPLog::~CPLog() {
    CloseFile();
}

void CPLog::Print(int /*level*/, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::vector<char> text(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        Write(std::string_view(text.data(), static_cast<size_t>(length)));
    }
    va_end(args);
}

bool CPLog::OpenFile(const char* path) {
    CloseFile();
    file = PlatCreateLogFile(path).release();
    return file != nullptr;
}

void CPLog::CloseFile() {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
}

void CPLog::SetSink(Sink newSink) {
    sink = std::move(newSink);
}

void CPLog::Write(std::string_view text) {
    if (sink)
        sink(text);
    else
        std::fwrite(text.data(), 1, text.size(), stderr);
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fflush(file);
    }
}

CPLog& GetLog() {
    static CPLog log;
    return log;
}

void ReportPlatformError(const char* module, int line, HRESULT hr) {
    GetLog().Print(0, "DXError if %s on line %d\n%s\n%s\n", module, line, PlatGetErrorString(hr),
                   PlatGetErrorDescription(hr));
}
