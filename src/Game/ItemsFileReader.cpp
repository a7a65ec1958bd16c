#include "Game/ItemsFileReader.h"

#include "Core/PLineReader.h"
#include "Game/ObjectDescription.h"
#include "Game/RecordFields.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

class ItemsFileReader {
public:
    ItemsFileReader(ItemCatalogues& catalogues, TextProblems& problems)
        : catalogues(catalogues), problems(problems), sections(MakeSections()) {}

    void Read(const void* bytes, std::size_t size) {
        CPLineReader lines(bytes, size);
        std::string line;
        while (lines.ReadLine(line)) {
            lineNumber = lines.LineNumber();
            if (lines.IsPlainLine())
                ReadRecord(line);
            else
                OpenSection(line);
        }
        CheckPresetItems();
    }

private:
    using SectionReader = std::function<void(RecordFields&)>;

    std::map<std::string, SectionReader> MakeSections() {
        return {
            {"weapons",
             [this](RecordFields& f) {
                 Add(catalogues.weaponCatalogue,
                     WeaponInfo{f.Text(), f.Int(), f.Int(), f.Float(), f.Int(), f.Float(), f.Float(), f.Int(),
                                f.Float(), f.Float(), f.Text(), f.Int()},
                     f);
             }},
            {"mines",
             [this](RecordFields& f) {
                 Add(catalogues.mineCatalogue,
                     MineInfo{f.Text(), f.Int(), f.Int(), f.Float(), f.Float(), f.Int(), f.Float(), f.Float(),
                              f.Float(), f.Text(), f.Int()},
                     f);
             }},
            {"superweapons",
             [this](RecordFields& f) {
                 Add(catalogues.superWeaponCatalogue, SuperWeaponInfo{f.Text(), f.Int(), f.Text(), f.Int()},
                     f);
             }},
            {"bumpers", [this](RecordFields& f) { Add(catalogues.bumperCatalogue, ReadPart(f), f); }},
            {"equipment", [this](RecordFields& f) { Add(catalogues.equipmentCatalogue, ReadPart(f), f); }},
            {"armor", [this](RecordFields& f) { Add(catalogues.armorCatalogue, ReadPart(f), f); }},
            {"engines",
             [this](RecordFields& f) {
                 Add(catalogues.engineCatalogue,
                     EngineInfo{f.Text(), f.Int(), f.Float(), f.Float(), f.Float(), f.Float(), f.Float(),
                                f.Text(), f.Int()},
                     f);
             }},
            {"presets", [this](RecordFields& f) { AddPreset(f); }},
        };
    }

    static PartInfo ReadPart(RecordFields& f) {
        return PartInfo{f.Text(), f.Int(), f.Float(), f.Text(), f.Int()};
    }

    void OpenSection(const std::string& name) {
        const auto found = sections.find(name);
        section = found == sections.end() ? nullptr : &found->second;
        inUnknownSection = !section;
        if (!section)
            Report("unknown section [" + name + "]; its lines are skipped");
    }

    void ReadRecord(const std::string& line) {
        if (!section) {
            if (!inUnknownSection)
                Report("a record before the first section is skipped");
            return;
        }
        RecordFields fields(SplitFields(line, ";"));
        (*section)(fields);
    }

    // True when the record's fields all converted; reports it otherwise.
    bool Accept(const RecordFields& fields) {
        std::string error;
        if (fields.IsValid(error))
            return true;
        Report(error + "; the line is skipped");
        return false;
    }

    template <class Item>
    void Add(ItemCatalogue<Item>& catalogue, const Item& item, const RecordFields& fields) {
        if (!Accept(fields))
            return;
        if (item.name.empty())
            Report("an item without a name is skipped");
        else if (!catalogue.Add(item))
            Report("\"" + item.name + "\" is already in its catalogue; the first stays");
    }

    void AddPreset(RecordFields& f) {
        CarInfo car{f.Text(), f.Text(), f.Text(), f.Text(), f.Text(), f.Text(),
                    f.Text(), f.Text(), f.Text(), f.Int(),  f.Text()};
        if (!Accept(f))
            return;
        catalogues.presetCarInfos.push_back(std::move(car));
        presetLines.push_back(lineNumber);
    }

    // Presets may come before the items they name, so they are checked once
    // the whole file is read.
    void CheckPresetItems() {
        for (std::size_t i = 0; i < presetLines.size(); ++i) {
            for (const std::string& message : catalogues.FindUnknownItems(catalogues.presetCarInfos[i]))
                problems.push_back({presetLines[i], "preset names " + message});
        }
    }

    void Report(const std::string& message) { problems.push_back({lineNumber, message}); }

    ItemCatalogues& catalogues;
    TextProblems& problems;
    std::map<std::string, SectionReader> sections;
    const SectionReader* section = nullptr;
    std::vector<int> presetLines;
    int lineNumber = 0;
    bool inUnknownSection = false;
};

} // namespace

void ReadItemsFile(const void* bytes, std::size_t size, ItemCatalogues& catalogues, TextProblems& problems) {
    ReportDroppedLines(bytes, size, problems);
    ItemsFileReader(catalogues, problems).Read(bytes, size);
}
