#pragma once

#include <cstddef>
#include <string>

// Hands out the logical lines of a text held in memory: a line ends at LF or
// at a NUL byte; lines holding "//" and everything from a line holding "/*"
// to the next line holding "*/" are dropped; lines are trimmed and empty ones
// skipped. A line written as "[name]" is a section line: it reads as "name"
// and IsPlainLine() turns false until the next plain line.
//
// The reader does not own the bytes; they must outlive it. It cannot be
// rewound.
class CPLineReader {
public:
    CPLineReader(const void* bytes, std::size_t count);
    virtual ~CPLineReader() = default;

    // Advances to the next logical line; true when that line is not empty.
    // A line that reads as empty (a bare "[]") also gives false, so a
    // reading loop stops there even if more data follows.
    bool NextLine();

    // NextLine, then copies the line into `out`; returns the same result.
    bool ReadLine(std::string& out);

    // False when the line last read was a section line.
    bool IsPlainLine() const { return plainLine; }

    // The number (from 1) of the raw line the last logical line came from.
    int LineNumber() const { return lineNumber; }

private:
    void ReadRawLine();
    void ApplyCommentRules();
    bool StripSectionBrackets();

    const char* data;
    std::size_t size;
    std::size_t position = 0;
    std::string line;
    bool inComment = false;
    bool plainLine = true;
    int lineNumber = 0;
};
