#include "Core/PLineReader.h"

#include "Core/StringFunctions.h"

CPLineReader::CPLineReader(const void* bytes, std::size_t count)
    : data(static_cast<const char*>(bytes)), size(bytes ? count : 0) {}

bool CPLineReader::NextLine() {
    do {
        ReadRawLine();
        ApplyCommentRules();
        TrimString(line);
    } while (line.empty() && position < size);
    plainLine = !StripSectionBrackets();
    return !line.empty();
}

bool CPLineReader::ReadLine(std::string& out) {
    const bool result = NextLine();
    out = line;
    return result;
}

// Takes the bytes up to the next LF, NUL or the end of the data; the LF or
// NUL is consumed but not kept. CR stays and is trimmed later.
void CPLineReader::ReadRawLine() {
    ++lineNumber;
    std::size_t end = position;
    while (end < size && data[end] != '\n' && data[end] != '\0') {
        ++end;
    }
    line.assign(data + position, end - position);
    position = end < size ? end + 1 : end;
}

// The order matters: a line dropped for "//" cannot open a comment, and the
// line that closes a comment is dropped whole, also outside a comment.
void CPLineReader::ApplyCommentRules() {
    if (line.find("//") != std::string::npos) {
        line.clear();
    }
    if (line.find("/*") != std::string::npos) {
        inComment = true;
    }
    if (line.find("*/") != std::string::npos) {
        inComment = false;
        line.clear();
    }
    if (inComment) {
        line.clear();
    }
}

bool CPLineReader::StripSectionBrackets() {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return false;
    }
    line = line.substr(1, line.size() - 2);
    return true;
}
