// The built libKovalinkHID.so exports exactly the names of reader/exports.txt,
// read from its dynamic symbol table, and rf_halt and rf_M1_Halt_same_K62TX
// are one function. Until every command family is built this test fails and
// names the exports still missing.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Defined global and weak symbols of the dynamic symbol table, by name.
template <typename Ehdr, typename Shdr, typename Sym>
bool readDynamicSymbols(const std::vector<char>& file, std::map<std::string, std::uint64_t>* out) {
    if (file.size() < sizeof(Ehdr)) return false;
    Ehdr header;
    std::memcpy(&header, file.data(), sizeof header);
    if (header.e_shoff == 0 || header.e_shentsize != sizeof(Shdr) ||
        header.e_shoff + std::uint64_t{header.e_shnum} * sizeof(Shdr) > file.size()) {
        return false;
    }
    std::vector<Shdr> sections(header.e_shnum);
    std::memcpy(sections.data(), file.data() + header.e_shoff, sections.size() * sizeof(Shdr));
    for (const Shdr& section : sections) {
        if (section.sh_type != SHT_DYNSYM || section.sh_link >= sections.size()) continue;
        const Shdr& names = sections[section.sh_link];
        if (section.sh_offset + section.sh_size > file.size() || names.sh_offset + names.sh_size > file.size()) {
            return false;
        }
        for (std::uint64_t at = sizeof(Sym); at + sizeof(Sym) <= section.sh_size; at += sizeof(Sym)) {
            Sym symbol;
            std::memcpy(&symbol, file.data() + section.sh_offset + at, sizeof symbol);
            const unsigned binding = symbol.st_info >> 4;
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
            if (symbol.st_name >= names.sh_size) return false;
            const char* name = file.data() + names.sh_offset + symbol.st_name;
            (*out)[std::string(name, strnlen(name, names.sh_size - symbol.st_name))] = symbol.st_value;
        }
        return true;
    }
    return false;
}

std::map<std::string, std::uint64_t> exportedSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, std::uint64_t> symbols;
    bool read = false;
    if (file.size() > EI_CLASS && std::memcmp(file.data(), ELFMAG, SELFMAG) == 0) {
        read = file[EI_CLASS] == ELFCLASS64 ? readDynamicSymbols<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym>(file, &symbols)
                                            : readDynamicSymbols<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym>(file, &symbols);
    }
    EXPECT_TRUE(read) << "no dynamic symbol table in " << path;
    return symbols;
}

// Ordinal and name of every line of the export list.
std::map<int, std::string> exportList() {
    std::ifstream in(std::string(KOVALINK_SOURCE_DIR) + "/reader/exports.txt");
    EXPECT_TRUE(in.good());
    std::map<int, std::string> list;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int ordinal = 0;
        std::string name;
        fields >> ordinal >> name;
        EXPECT_TRUE(list.emplace(ordinal, name).second) << "ordinal " << ordinal << " twice";
    }
    return list;
}

const std::string kLibrary = std::string(KOVALINK_OUT_DIR) + "/libKovalinkHID.so";

TEST(Exports, TheListHasOneHundredSixtyFourNamesUnderOrdinalsOneToNinetyOneAndHundredToHundredSeventyTwo) {
    const std::map<int, std::string> list = exportList();
    std::set<int> expected;
    for (int ordinal = 1; ordinal <= 91; ++ordinal) expected.insert(ordinal);
    for (int ordinal = 100; ordinal <= 172; ++ordinal) expected.insert(ordinal);
    std::set<int> ordinals;
    std::set<std::string> names;
    for (const auto& [ordinal, name] : list) {
        ordinals.insert(ordinal);
        names.insert(name);
    }
    EXPECT_EQ(ordinals, expected);
    EXPECT_EQ(names.size(), 164u);
    EXPECT_EQ(list.at(18), "rf_halt");
    EXPECT_EQ(list.at(167), "rf_M1_Halt_same_K62TX");
}

TEST(Exports, TheLibraryExportsExactlyTheListedNames) {
    std::set<std::string> listed;
    for (const auto& entry : exportList()) listed.insert(entry.second);
    std::set<std::string> exported;
    for (const auto& entry : exportedSymbols(kLibrary)) exported.insert(entry.first);

    std::string missing, unexpected;
    for (const std::string& name : listed) {
        if (!exported.count(name)) missing += " " + name;
    }
    for (const std::string& name : exported) {
        if (!listed.count(name)) unexpected += " " + name;
    }
    EXPECT_TRUE(missing.empty()) << "listed but not exported (not built yet?):" << missing;
    EXPECT_TRUE(unexpected.empty()) << "exported but not listed:" << unexpected;
}

TEST(Exports, HaltAndTheK62txHaltAreOneFunction) {
    const std::map<std::string, std::uint64_t> symbols = exportedSymbols(kLibrary);
    const auto halt = symbols.find("rf_halt");
    const auto k62tx = symbols.find("rf_M1_Halt_same_K62TX");
    ASSERT_NE(halt, symbols.end()) << "rf_halt is not exported";
    ASSERT_NE(k62tx, symbols.end()) << "rf_M1_Halt_same_K62TX is not exported";
    EXPECT_EQ(halt->second, k62tx->second);
}

}  // namespace
