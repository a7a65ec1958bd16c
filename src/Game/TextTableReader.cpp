#include "Game/TextTableReader.h"

#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"

void ReadTextTable(const void* bytes, std::size_t size, TextTable& table, TextProblems& problems) {
    ReportDroppedLines(bytes, size, problems);
    CPLineReader lines(bytes, size);
    std::string line, key, text;
    while (lines.ReadLine(line)) {
        CPTokenizer tokens(line, "~", true);
        tokens.NextToken(key);
        tokens.NextToken(text);
        if (table.Find(key))
            problems.push_back(
                {lines.LineNumber(), "the key \"" + key + "\" is already set; the first text stays"});
        else
            table[key] = text;
    }
}
