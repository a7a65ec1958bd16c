#include "Application/InputReplay.h"

#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Input/KeyNames.h"

#include <charconv>

namespace {

bool ParseNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    return failure == std::errc() && stop == end && !text.empty();
}

bool ParseState(const std::string& text, bool& down) {
    down = text == "down";
    return down || text == "up";
}

// The words of the line, split at single spaces.
std::vector<std::string> Words(const std::string& line) {
    CPTokenizer tokens(line, " ", false);
    std::vector<std::string> words;
    std::string word;
    while (tokens.NextToken(word))
        words.push_back(word);
    return words;
}

// A key name may hold spaces ("NumPad 7"): it is every word between the
// frame and the state.
std::string KeyNameOf(const std::vector<std::string>& words) {
    std::string name = words[1];
    for (std::size_t i = 2; i + 1 < words.size(); ++i)
        name += " " + words[i];
    return name;
}

bool ParseChange(const std::vector<std::string>& words, PlatInputChange& change) {
    const std::string& kind = words[1];
    if (kind == "mouse" && words.size() == 4) {
        change.kind = PlatInputChange::Motion;
        return ParseNumber(words[2], change.x) && ParseNumber(words[3], change.y);
    }
    if (kind == "button" && words.size() == 4) {
        change.kind = PlatInputChange::Button;
        return ParseNumber(words[2], change.code) && change.code >= 0 && change.code < 3 &&
               ParseState(words[3], change.down);
    }
    if (kind == "wheel" && words.size() == 3) {
        change.kind = PlatInputChange::Wheel;
        return ParseNumber(words[2], change.x);
    }
    change.kind = PlatInputChange::Key;
    change.code = FindKeyName(KeyNameOf(words));
    return change.code > 0 && ParseState(words.back(), change.down);
}

} // namespace

bool CPInputReplay::Load(const std::string& fileName, std::string& error) {
    CPFileReader reader(fileName, false);
    if (FAILED(reader.Load())) {
        error = fileName + " cannot be read";
        return false;
    }
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lines.ReadLine(line)) {
        if (!ParseLine(line, error)) {
            error = fileName + ": " + error;
            return false;
        }
    }
    return true;
}

bool CPInputReplay::ParseLine(const std::string& line, std::string& error) {
    const std::vector<std::string> words = Words(line);
    PlatInputChange change;
    const bool framed = words.size() >= 3 && ParseNumber(words[0], change.pass) && change.pass >= 1;
    if (framed && words[1] == "autodrive" && words.size() == 3 && (words[2] == "on" || words[2] == "off")) {
        autodrive.push_back({change.pass, words[2] == "on"});
        return true;
    }
    if (!framed || !ParseChange(words, change)) {
        error = "\"" + line + "\" is not \"FRAME KEY down|up\", \"FRAME mouse DX DY\", \"FRAME button N " +
                "down|up\", \"FRAME wheel N\" or \"FRAME autodrive on|off\"";
        return false;
    }
    changes.push_back(change);
    return true;
}
