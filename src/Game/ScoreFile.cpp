#include "Game/ScoreFile.h"

#include "Core/PFileWriter.h"
#include "Platform/Graphics/ByteReader.h"

namespace {

bool ReadInt(PlatByteReader& reader, int32_t& value) {
    uint32_t bits = 0;
    if (!reader.ReadU32(&bits))
        return false;
    value = static_cast<int32_t>(bits);
    return true;
}

// One record, or false when it is cut short or out of range.
bool ReadRecord(PlatByteReader& reader, ScoreRecord& record) {
    int32_t length = 0;
    if (!ReadInt(reader, record.table) || record.table < 0 || record.table >= kScoreTableCount ||
        !ReadInt(reader, length) || length < 0)
        return false;
    const auto* name = reader.Take(static_cast<std::size_t>(length));
    if (!name)
        return false;
    record.line.name.assign(reinterpret_cast<const char*>(name), static_cast<std::size_t>(length));
    return ReadInt(reader, record.line.a) && ReadInt(reader, record.line.b) && ReadInt(reader, record.line.c);
}

} // namespace

ScoreTables InitialScoreTables() {
    ScoreTables tables;
    tables.fill(std::vector<ScoreLine>(kScoreTableLines));
    return tables;
}

void WriteScoreTables(CPFileWriter& writer, const ScoreTables& tables) {
    for (int32_t table = 0; table < kScoreTableCount; ++table) {
        for (const ScoreLine& line : tables[table]) {
            writer.WriteInt(table);
            writer.WriteString(line.name);
            writer.WriteInt(line.a);
            writer.WriteInt(line.b);
            writer.WriteInt(line.c);
        }
    }
}

bool DecodeScoreRecords(const uint8_t* bytes, std::size_t size, std::vector<ScoreRecord>& records,
                        std::string& error) {
    PlatByteReader reader(bytes, size);
    while (reader.Remaining() > 0) {
        const std::size_t offset = reader.Position();
        ScoreRecord record;
        if (!ReadRecord(reader, record)) {
            error = "the record at byte " + std::to_string(offset) + " is cut short or out of range";
            return false;
        }
        records.push_back(std::move(record));
    }
    return true;
}
