// Checks the shipped 32- and 64-bit trical.exe files as bytes: the target
// they were built for, that they run on a bare Windows install (system DLLs
// only), the entry points other programs look up by name, and the resources
// the program loads by name at start-up.
//
// The parser is first run against small executables built here, so a parser
// that reads nothing cannot make the checks on the real files pass.
#include "pe_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#ifndef TRICAL_WIN32_EXE
#error "TRICAL_WIN32_EXE must name the 32-bit trical.exe"
#endif
#ifndef TRICAL_WIN64_EXE
#error "TRICAL_WIN64_EXE must name the 64-bit trical.exe"
#endif

namespace {

// Names other programs look up in trical.exe with GetProcAddress; a name
// joins this list when its entry point is added.
const std::vector<std::string> kRequiredExports = {"CalDlg", "About"};

const char *const kSystemDlls[] = {"kernel32", "user32",   "gdi32",  "msvcrt",   "comctl32",
                                   "advapi32", "shell32",  "ole32",  "comdlg32", "uxtheme"};
const char *const kSystemDllPrefixes[] = {"api-ms-win-crt-", "api-ms-win-core-"};
const char *const kMinGwRuntimePrefixes[] = {"libgcc_s", "libstdc++", "libwinpthread"};

std::string Lower(std::string text) {
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWith(const std::string &text, const char *prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool IsSystemDll(const std::string &name) {
    std::string base = Lower(name);
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".dll") == 0)
        base.resize(base.size() - 4);
    for (const char *dll : kSystemDlls)
        if (base == dll)
            return true;
    for (const char *prefix : kSystemDllPrefixes)
        if (base.size() > std::strlen(prefix) && StartsWith(base, prefix))
            return true;
    return false;
}

bool IsMinGwRuntimeDll(const std::string &name) {
    std::string lower = Lower(name);
    for (const char *prefix : kMinGwRuntimePrefixes)
        if (StartsWith(lower, prefix))
            return true;
    return false;
}

std::string Join(const std::vector<std::string> &items) {
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "(none)" : text;
}

std::vector<std::string> DllNames(const std::vector<pe::ImportedDll> &dlls) {
    std::vector<std::string> names;
    for (const pe::ImportedDll &dll : dlls)
        names.push_back(dll.name + (dll.delayLoaded ? " (delay-loaded)" : ""));
    return names;
}

// A program that imports nothing did not get parsed, so an empty list fails.
testing::AssertionResult ImportsOnlySystemDlls(const std::vector<pe::ImportedDll> &dlls) {
    if (dlls.empty())
        return testing::AssertionFailure() << "no imported DLLs found; every Windows program imports kernel32";
    std::vector<std::string> rejected;
    for (const pe::ImportedDll &dll : dlls) {
        if (IsMinGwRuntimeDll(dll.name))
            rejected.push_back(dll.name + " (MinGW runtime)");
        else if (!IsSystemDll(dll.name))
            rejected.push_back(dll.name + " (not a Windows system DLL)");
    }
    if (!rejected.empty())
        return testing::AssertionFailure() << "imports DLLs a bare Windows install lacks: " << Join(rejected)
                                           << "; all imports: " << Join(DllNames(dlls));
    return testing::AssertionSuccess();
}

std::vector<std::string> ExportNames(const std::vector<pe::Export> &exports) {
    std::vector<std::string> names;
    for (const pe::Export &entry : exports)
        names.push_back(entry.name);
    return names;
}

// GetProcAddress matches names exactly and by binary search, so each name
// must be present undecorated, the table sorted, and the target real code.
testing::AssertionResult ExportsResolveToCode(const pe::Image &image, const std::vector<pe::Export> &exports,
                                              const std::vector<std::string> &required) {
    std::vector<std::string> problems;
    for (const std::string &name : required) {
        auto found = std::find_if(exports.begin(), exports.end(),
                                  [&](const pe::Export &entry) { return entry.name == name; });
        if (found == exports.end()) {
            problems.push_back("\"" + name + "\" is not exported");
            continue;
        }
        if (found->forwarded) {
            problems.push_back("\"" + name + "\" is forwarded to another DLL");
            continue;
        }
        const pe::Section *section = pe::SectionAt(image, found->rva);
        if (!section || (section->characteristics & pe::kSectionExecute) == 0)
            problems.push_back("\"" + name + "\" points at " + pe::Hex(found->rva) + ", which is not code");
    }
    for (size_t i = 1; i < exports.size(); ++i)
        if (std::strcmp(exports[i - 1].name.c_str(), exports[i].name.c_str()) >= 0)
            problems.push_back("export names out of order at \"" + exports[i].name + "\"");
    if (!problems.empty())
        return testing::AssertionFailure() << Join(problems) << "; exports found: " << Join(ExportNames(exports));
    return testing::AssertionSuccess();
}

testing::AssertionResult HasNamedResource(const std::vector<pe::Resource> &resources, const std::string &name) {
    std::vector<std::string> found;
    for (const pe::Resource &resource : resources) {
        if (resource.named && resource.name == name) {
            if (resource.dataSize == 0)
                return testing::AssertionFailure() << "resource \"" << name << "\" is empty";
            return testing::AssertionSuccess();
        }
        found.push_back(resource.named ? "\"" + resource.name + "\"" : "#" + std::to_string(resource.id));
    }
    return testing::AssertionFailure() << "no resource named \"" << name << "\"; found: " << Join(found);
}

// ---------------------------------------------------------------------------
// A small executable built in memory, laid out as a linker would lay out
// trical.exe but with every section at a different RVA-to-file distance and
// the section data past the largest RVA, so an RVA read through the wrong
// section, or taken as a file offset, lands on padding instead of failing.

constexpr uint32_t kTextRva = 0x1000;
constexpr uint32_t kRdataRva = 0x2000;
constexpr uint32_t kRsrcRva = 0x4000;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kHeadersSize = 0x400;
constexpr uint32_t kFirstRawOffset = 0x5000;
constexpr uint32_t kPeOffset = 0x80;

struct FixtureResource {
    uint16_t type;
    std::string name; // empty: numbered by id
    uint16_t id;
};

struct Fixture {
    bool pe32Plus = false;
    uint16_t subsystem = pe::kSubsystemWindowsGui;
    std::vector<std::string> imports = {"KERNEL32.dll", "USER32.dll"};
    std::vector<std::string> delayImports;
    std::vector<std::string> exports = {"About", "CalDlg"}; // written in this order
    std::string exportIntoData;                              // an export aimed at .rdata
    std::vector<FixtureResource> resources = {
        {pe::kRtIcon, "", 1}, {pe::kRtDialog, "CAL", 0}, {pe::kRtDialog, "", 100}, {pe::kRtGroupIcon, "WCODE", 0}};
};

void Put16(std::vector<uint8_t> &bytes, size_t at, uint32_t value) {
    if (bytes.size() < at + 2)
        bytes.resize(at + 2);
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t> &bytes, size_t at, uint32_t value) {
    Put16(bytes, at, value & 0xffff);
    Put16(bytes, at + 2, value >> 16);
}

void Put64(std::vector<uint8_t> &bytes, size_t at, uint64_t value) {
    Put32(bytes, at, static_cast<uint32_t>(value));
    Put32(bytes, at + 4, static_cast<uint32_t>(value >> 32));
}

size_t AppendString(std::vector<uint8_t> &bytes, const std::string &text) {
    size_t at = bytes.size();
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return at;
}

void Align(std::vector<uint8_t> &bytes, size_t alignment) {
    bytes.resize((bytes.size() + alignment - 1) / alignment * alignment);
}

struct DirectoryPlace {
    uint32_t rva = 0;
    uint32_t size = 0;
};

DirectoryPlace WriteImports(const Fixture &fixture, std::vector<uint8_t> &rdata) {
    if (fixture.imports.empty())
        return {};
    size_t thunkSize = fixture.pe32Plus ? 8 : 4;
    size_t descriptors = rdata.size();
    rdata.resize(descriptors + (fixture.imports.size() + 1) * 20);
    for (size_t i = 0; i < fixture.imports.size(); ++i) {
        // One function imported by name, so each descriptor has real thunks.
        Align(rdata, 2);
        size_t hint = rdata.size();
        Put16(rdata, hint, 0);
        AppendString(rdata, "Function");
        Align(rdata, 8);
        size_t thunks = rdata.size();
        rdata.resize(thunks + 2 * thunkSize);
        if (fixture.pe32Plus)
            Put64(rdata, thunks, kRdataRva + hint);
        else
            Put32(rdata, thunks, kRdataRva + static_cast<uint32_t>(hint));
        size_t name = AppendString(rdata, fixture.imports[i]);
        size_t at = descriptors + i * 20;
        Put32(rdata, at, kRdataRva + static_cast<uint32_t>(thunks));
        Put32(rdata, at + 12, kRdataRva + static_cast<uint32_t>(name));
        Put32(rdata, at + 16, kRdataRva + static_cast<uint32_t>(thunks));
    }
    return {kRdataRva + static_cast<uint32_t>(descriptors), static_cast<uint32_t>((fixture.imports.size() + 1) * 20)};
}

DirectoryPlace WriteDelayImports(const Fixture &fixture, std::vector<uint8_t> &rdata) {
    if (fixture.delayImports.empty())
        return {};
    Align(rdata, 4);
    size_t descriptors = rdata.size();
    rdata.resize(descriptors + (fixture.delayImports.size() + 1) * 32);
    for (size_t i = 0; i < fixture.delayImports.size(); ++i) {
        size_t name = AppendString(rdata, fixture.delayImports[i]);
        size_t at = descriptors + i * 32;
        Put32(rdata, at, 1); // RVA-based descriptor
        Put32(rdata, at + 4, kRdataRva + static_cast<uint32_t>(name));
    }
    return {kRdataRva + static_cast<uint32_t>(descriptors),
            static_cast<uint32_t>((fixture.delayImports.size() + 1) * 32)};
}

// Name i points at function n-1-i, and function j lives at .text + 0x10*(j+1),
// so a parser that ignores the ordinal table gets the wrong address.
DirectoryPlace WriteExports(const Fixture &fixture, std::vector<uint8_t> &rdata) {
    std::vector<std::string> names = fixture.exports;
    if (!fixture.exportIntoData.empty())
        names.push_back(fixture.exportIntoData);
    if (names.empty())
        return {};
    uint32_t count = static_cast<uint32_t>(names.size());
    Align(rdata, 4);
    size_t directory = rdata.size();
    rdata.resize(directory + 40);
    size_t functions = rdata.size();
    rdata.resize(functions + count * 4);
    size_t nameTable = rdata.size();
    rdata.resize(nameTable + count * 4);
    size_t ordinals = rdata.size();
    rdata.resize(ordinals + count * 2);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t function = count - 1 - i;
        bool intoData = !fixture.exportIntoData.empty() && i == count - 1;
        Put32(rdata, functions + function * 4, intoData ? kRdataRva : kTextRva + 0x10 * (function + 1));
        Put32(rdata, nameTable + i * 4, kRdataRva + static_cast<uint32_t>(AppendString(rdata, names[i])));
        Put16(rdata, ordinals + i * 2, function);
    }
    size_t moduleName = AppendString(rdata, "trical.exe");
    Put32(rdata, directory + 12, kRdataRva + static_cast<uint32_t>(moduleName));
    Put32(rdata, directory + 16, 1); // ordinal base
    Put32(rdata, directory + 20, count);
    Put32(rdata, directory + 24, count);
    Put32(rdata, directory + 28, kRdataRva + static_cast<uint32_t>(functions));
    Put32(rdata, directory + 32, kRdataRva + static_cast<uint32_t>(nameTable));
    Put32(rdata, directory + 36, kRdataRva + static_cast<uint32_t>(ordinals));
    return {kRdataRva + static_cast<uint32_t>(directory), static_cast<uint32_t>(rdata.size() - directory)};
}

size_t AppendResourceDirectory(std::vector<uint8_t> &rsrc, uint16_t namedCount, uint16_t idCount) {
    size_t at = rsrc.size();
    rsrc.resize(at + 16 + (namedCount + idCount) * 8);
    Put16(rsrc, at + 12, namedCount);
    Put16(rsrc, at + 14, idCount);
    return at + 16;
}

// type -> name -> language (1033) -> four bytes of data, named entries
// before numbered ones as resource compilers order them.
std::vector<uint8_t> WriteResources(const Fixture &fixture) {
    std::vector<uint16_t> types;
    for (const FixtureResource &resource : fixture.resources)
        types.push_back(resource.type);
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());

    std::vector<uint8_t> rsrc;
    size_t rootEntries = AppendResourceDirectory(rsrc, 0, static_cast<uint16_t>(types.size()));
    for (size_t t = 0; t < types.size(); ++t) {
        std::vector<FixtureResource> ofType;
        for (const FixtureResource &resource : fixture.resources)
            if (resource.type == types[t])
                ofType.push_back(resource);
        std::stable_partition(ofType.begin(), ofType.end(),
                              [](const FixtureResource &resource) { return !resource.name.empty(); });
        uint16_t namedCount = static_cast<uint16_t>(
            std::count_if(ofType.begin(), ofType.end(), [](const FixtureResource &r) { return !r.name.empty(); }));

        Put32(rsrc, rootEntries + t * 8, types[t]);
        Put32(rsrc, rootEntries + t * 8 + 4, 0x80000000u | static_cast<uint32_t>(rsrc.size()));
        size_t nameEntries =
            AppendResourceDirectory(rsrc, namedCount, static_cast<uint16_t>(ofType.size() - namedCount));
        for (size_t n = 0; n < ofType.size(); ++n) {
            const FixtureResource &resource = ofType[n];
            if (resource.name.empty()) {
                Put32(rsrc, nameEntries + n * 8, resource.id);
            } else {
                Align(rsrc, 2);
                size_t text = rsrc.size();
                Put16(rsrc, text, static_cast<uint32_t>(resource.name.size()));
                for (size_t c = 0; c < resource.name.size(); ++c)
                    Put16(rsrc, text + 2 + c * 2, static_cast<unsigned char>(resource.name[c]));
                Put32(rsrc, nameEntries + n * 8, 0x80000000u | static_cast<uint32_t>(text));
            }
            Align(rsrc, 4);
            Put32(rsrc, nameEntries + n * 8 + 4, 0x80000000u | static_cast<uint32_t>(rsrc.size()));
            size_t languageEntries = AppendResourceDirectory(rsrc, 0, 1);
            Put32(rsrc, languageEntries, 1033);
            Put32(rsrc, languageEntries + 4, static_cast<uint32_t>(rsrc.size()));
            size_t dataEntry = rsrc.size();
            rsrc.resize(dataEntry + 16);
            size_t data = rsrc.size();
            Put32(rsrc, data, 0xC0DE0000u + resource.type);
            Put32(rsrc, dataEntry, kRsrcRva + static_cast<uint32_t>(data));
            Put32(rsrc, dataEntry + 4, 4);
        }
    }
    return rsrc;
}

std::vector<uint8_t> BuildImage(const Fixture &fixture) {
    std::vector<uint8_t> text(0x40, 0xc3); // ret
    std::vector<uint8_t> rdata;
    DirectoryPlace imports = WriteImports(fixture, rdata);
    DirectoryPlace delayImports = WriteDelayImports(fixture, rdata);
    DirectoryPlace exports = WriteExports(fixture, rdata);
    std::vector<uint8_t> rsrc = WriteResources(fixture);

    struct Part {
        const char *name;
        uint32_t rva;
        const std::vector<uint8_t> *content;
        uint32_t characteristics;
    };
    std::vector<Part> parts = {{".text", kTextRva, &text, 0x60000020},
                               {".rdata", kRdataRva, &rdata, 0x40000040}};
    if (!rsrc.empty())
        parts.push_back({".rsrc", kRsrcRva, &rsrc, 0x40000040});

    uint32_t optionalSize = fixture.pe32Plus ? 240 : 224;
    std::vector<uint8_t> bytes(kHeadersSize, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 0x3c, kPeOffset);
    Put32(bytes, kPeOffset, 0x00004550);
    size_t coff = kPeOffset + 4;
    Put16(bytes, coff, fixture.pe32Plus ? pe::kMachineAmd64 : pe::kMachineI386);
    Put16(bytes, coff + 2, static_cast<uint32_t>(parts.size()));
    Put16(bytes, coff + 16, optionalSize);
    Put16(bytes, coff + 18, fixture.pe32Plus ? 0x0022 : 0x0102);

    size_t optional = coff + 20;
    Put16(bytes, optional, fixture.pe32Plus ? pe::kMagicPe32Plus : pe::kMagicPe32);
    Put32(bytes, optional + 16, kTextRva); // entry point
    if (fixture.pe32Plus)
        Put64(bytes, optional + 24, 0x140000000ull);
    else
        Put32(bytes, optional + 28, 0x400000);
    Put32(bytes, optional + 32, 0x1000);
    Put32(bytes, optional + 36, kFileAlignment);
    Put32(bytes, optional + 56, 0x5000); // size of image
    Put32(bytes, optional + 60, kHeadersSize);
    Put16(bytes, optional + 68, fixture.subsystem);
    size_t directories = optional + (fixture.pe32Plus ? 112 : 96);
    Put32(bytes, directories - 4, 16);
    Put32(bytes, directories + pe::kDirExport * 8, exports.rva);
    Put32(bytes, directories + pe::kDirExport * 8 + 4, exports.size);
    Put32(bytes, directories + pe::kDirImport * 8, imports.rva);
    Put32(bytes, directories + pe::kDirImport * 8 + 4, imports.size);
    Put32(bytes, directories + pe::kDirResource * 8, rsrc.empty() ? 0 : kRsrcRva);
    Put32(bytes, directories + pe::kDirResource * 8 + 4, static_cast<uint32_t>(rsrc.size()));
    Put32(bytes, directories + pe::kDirDelayImport * 8, delayImports.rva);
    Put32(bytes, directories + pe::kDirDelayImport * 8 + 4, delayImports.size);

    size_t table = optional + optionalSize;
    bytes.resize(kFirstRawOffset);
    for (size_t i = 0; i < parts.size(); ++i) {
        size_t at = table + i * 40;
        std::memcpy(&bytes[at], parts[i].name, std::strlen(parts[i].name));
        uint32_t size = static_cast<uint32_t>(parts[i].content->size());
        uint32_t rawSize = (size + kFileAlignment - 1) / kFileAlignment * kFileAlignment;
        Put32(bytes, at + 8, size);
        Put32(bytes, at + 12, parts[i].rva);
        Put32(bytes, at + 16, rawSize);
        Put32(bytes, at + 20, static_cast<uint32_t>(bytes.size()));
        Put32(bytes, at + 36, parts[i].characteristics);
        bytes.insert(bytes.end(), parts[i].content->begin(), parts[i].content->end());
        bytes.resize(bytes.size() + (rawSize - size));
    }
    return bytes;
}

pe::Image ParseFixture(const Fixture &fixture) {
    pe::Image image;
    std::string error;
    EXPECT_TRUE(pe::ParseImage(BuildImage(fixture), &image, &error)) << error;
    return image;
}

std::vector<std::string> ImportNames(const pe::Image &image) {
    std::vector<pe::ImportedDll> dlls;
    std::string error;
    EXPECT_TRUE(pe::ReadImportedDlls(image, &dlls, &error)) << error;
    return DllNames(dlls);
}

std::vector<pe::Export> Exports(const pe::Image &image) {
    std::vector<pe::Export> exports;
    std::string error;
    EXPECT_TRUE(pe::ReadExports(image, &exports, &error)) << error;
    return exports;
}

std::vector<pe::Resource> Resources(const pe::Image &image, uint16_t type) {
    std::vector<pe::Resource> resources;
    std::string error;
    EXPECT_TRUE(pe::ReadResources(image, type, &resources, &error)) << error;
    return resources;
}

uint32_t FileOffset(const pe::Image &image, uint32_t rva, uint32_t length) {
    uint32_t offset = 0;
    EXPECT_TRUE(pe::RvaToOffset(image, rva, length, &offset)) << pe::Hex(rva);
    return offset;
}

Fixture Pe32Plus() {
    Fixture fixture;
    fixture.pe32Plus = true;
    return fixture;
}

} // namespace

// --- The parser, against executables built in memory -----------------------

TEST(PeParser, ReadsHeadersOfBothFormats) {
    pe::Image image32 = ParseFixture(Fixture());
    EXPECT_EQ(pe::kMachineI386, image32.machine);
    EXPECT_EQ(pe::kMagicPe32, image32.magic);
    EXPECT_EQ(0x400000u, image32.imageBase);
    EXPECT_EQ(0x0102, image32.fileCharacteristics);

    pe::Image image64 = ParseFixture(Pe32Plus());
    EXPECT_EQ(pe::kMachineAmd64, image64.machine);
    EXPECT_EQ(pe::kMagicPe32Plus, image64.magic);
    EXPECT_EQ(0x140000000ull, image64.imageBase);
    EXPECT_EQ(0x0022, image64.fileCharacteristics);

    for (const pe::Image *image : {&image32, &image64}) {
        EXPECT_EQ(pe::kSubsystemWindowsGui, image->subsystem);
        ASSERT_EQ(16u, image->directories.size());
        ASSERT_EQ(3u, image->sections.size());
        EXPECT_EQ(".text", image->sections[0].name);
        EXPECT_EQ(".rsrc", image->sections[2].name);
        EXPECT_EQ(kRsrcRva, image->sections[2].virtualAddress);
        EXPECT_EQ(kRsrcRva, image->directories[pe::kDirResource].rva);
    }

    Fixture console;
    console.subsystem = 3;
    EXPECT_EQ(3, ParseFixture(console).subsystem);
}

TEST(PeParser, ResolvesRvasThroughTheirOwnSection) {
    pe::Image image = ParseFixture(Fixture());
    for (const pe::Section &section : image.sections)
        EXPECT_EQ(section.rawOffset + 8, FileOffset(image, section.virtualAddress + 8, 4)) << section.name;
    EXPECT_EQ(0x3cu, FileOffset(image, 0x3c, 4)); // headers map to themselves

    uint32_t offset;
    const pe::Section &text = image.sections[0];
    EXPECT_FALSE(pe::RvaToOffset(image, text.virtualAddress + text.virtualSize - 2, 4, &offset))
        << "a read must not run off the end of a section";
    EXPECT_FALSE(pe::RvaToOffset(image, 0x3000, 1, &offset)) << "gap between sections";
    EXPECT_FALSE(pe::RvaToOffset(image, 0x7fff0000, 1, &offset));

    EXPECT_EQ(&image.sections[1], pe::SectionAt(image, kRdataRva + 1));
    EXPECT_EQ(nullptr, pe::SectionAt(image, 0x3000));
}

TEST(PeParser, ReadsImportedDllsInOrder) {
    Fixture fixture;
    fixture.imports = {"KERNEL32.dll", "msvcrt.dll", "libstdc++-6.dll"};
    fixture.delayImports = {"comdlg32.dll"};
    std::vector<std::string> expected = {"KERNEL32.dll", "msvcrt.dll", "libstdc++-6.dll",
                                         "comdlg32.dll (delay-loaded)"};
    EXPECT_EQ(expected, ImportNames(ParseFixture(fixture)));
    fixture.pe32Plus = true;
    EXPECT_EQ(expected, ImportNames(ParseFixture(fixture)));

    fixture.imports.clear();
    fixture.delayImports.clear();
    EXPECT_TRUE(ImportNames(ParseFixture(fixture)).empty());
}

TEST(PeParser, ReadsExportsThroughTheOrdinalTable) {
    for (const Fixture &fixture : {Fixture(), Pe32Plus()}) {
        std::vector<pe::Export> exports = Exports(ParseFixture(fixture));
        ASSERT_EQ(2u, exports.size());
        EXPECT_EQ("About", exports[0].name);
        EXPECT_EQ(2u, exports[0].ordinal);
        EXPECT_EQ(kTextRva + 0x20, exports[0].rva);
        EXPECT_EQ("CalDlg", exports[1].name);
        EXPECT_EQ(1u, exports[1].ordinal);
        EXPECT_EQ(kTextRva + 0x10, exports[1].rva);
        EXPECT_FALSE(exports[1].forwarded);
    }
    Fixture none;
    none.exports.clear();
    EXPECT_TRUE(Exports(ParseFixture(none)).empty());
}

TEST(PeParser, ReadsNamedResourcesUnderTheirTypeOnly) {
    for (const Fixture &fixture : {Fixture(), Pe32Plus()}) {
        pe::Image image = ParseFixture(fixture);
        std::vector<pe::Resource> dialogs = Resources(image, pe::kRtDialog);
        ASSERT_EQ(2u, dialogs.size());
        EXPECT_TRUE(dialogs[0].named);
        EXPECT_EQ("CAL", dialogs[0].name);
        EXPECT_FALSE(dialogs[1].named);
        EXPECT_EQ(100, dialogs[1].id);
        EXPECT_EQ(4u, dialogs[0].dataSize);
        EXPECT_EQ(0xC0DE0000u + pe::kRtDialog, pe::Get32(image.bytes, FileOffset(image, dialogs[0].dataRva, 4)));

        std::vector<pe::Resource> groups = Resources(image, pe::kRtGroupIcon);
        ASSERT_EQ(1u, groups.size());
        EXPECT_EQ("WCODE", groups[0].name);
        EXPECT_EQ(0xC0DE0000u + pe::kRtGroupIcon, pe::Get32(image.bytes, FileOffset(image, groups[0].dataRva, 4)));

        EXPECT_TRUE(Resources(image, pe::kRtMenu).empty());
    }
    Fixture none;
    none.resources.clear();
    EXPECT_TRUE(Resources(ParseFixture(none), pe::kRtDialog).empty());
}

TEST(PeParser, RejectsDamagedFiles) {
    const std::vector<uint8_t> good = BuildImage(Fixture());
    pe::Image image;
    std::string error;
    ASSERT_TRUE(pe::ParseImage(good, &image, &error)) << error;

    auto rejects = [](std::vector<uint8_t> bytes, const char *what) {
        pe::Image damaged;
        std::string message;
        EXPECT_FALSE(pe::ParseImage(std::move(bytes), &damaged, &message)) << what;
        EXPECT_FALSE(message.empty()) << what;
    };
    rejects({}, "empty file");
    rejects(std::vector<uint8_t>(good.begin(), good.begin() + 0x90), "cut inside the file header");
    rejects(std::vector<uint8_t>(good.begin(), good.begin() + kFirstRawOffset + 0x100), "cut inside section data");
    std::vector<uint8_t> bytes = good;
    bytes[1] = 'X';
    rejects(bytes, "no MZ");
    bytes = good;
    Put32(bytes, 0x3c, 0xfffffff0u);
    rejects(bytes, "PE offset past the end");
    bytes = good;
    bytes[kPeOffset + 2] = 'X';
    rejects(bytes, "PE signature");
    bytes = good;
    Put16(bytes, kPeOffset + 24, 0x107);
    rejects(bytes, "ROM image magic");
    bytes = good;
    Put32(bytes, kPeOffset + 24 + 92, 17);
    rejects(bytes, "more directories than the header holds");
    bytes = good;
    Put16(bytes, kPeOffset + 20, 64);
    rejects(bytes, "optional header too short");

    // Damage behind the headers parses, then fails where it is read.
    bytes = good;
    Put32(bytes, FileOffset(image, image.directories[pe::kDirImport].rva, 20) + 12, 0x3000);
    ASSERT_TRUE(pe::ParseImage(bytes, &image, &error)) << error;
    std::vector<pe::ImportedDll> dlls;
    EXPECT_FALSE(pe::ReadImportedDlls(image, &dlls, &error));
    EXPECT_NE(std::string::npos, error.find("not readable")) << error;

    bytes = good;
    uint32_t exportDirectory = FileOffset(image, image.directories[pe::kDirExport].rva, 40);
    Put16(bytes, FileOffset(image, pe::Get32(bytes, exportDirectory + 36), 2), 7);
    ASSERT_TRUE(pe::ParseImage(bytes, &image, &error)) << error;
    std::vector<pe::Export> exports;
    EXPECT_FALSE(pe::ReadExports(image, &exports, &error));
    EXPECT_NE(std::string::npos, error.find("function 7 of 2")) << error;

    // The dialog type is the second root entry; aim its first name far away.
    bytes = good;
    uint32_t root = FileOffset(image, kRsrcRva, 16);
    uint32_t dialogDirectory = pe::Get32(bytes, root + 16 + 8 + 4) & 0x7fffffffu;
    Put32(bytes, root + dialogDirectory + 16, 0x80000000u | 0x00fffff0u);
    ASSERT_TRUE(pe::ParseImage(bytes, &image, &error)) << error;
    std::vector<pe::Resource> resources;
    EXPECT_FALSE(pe::ReadResources(image, pe::kRtDialog, &resources, &error));
    EXPECT_NE(std::string::npos, error.find("resource name")) << error;
}

// --- The checks applied to trical.exe must be able to fail -----------------

TEST(PeChecks, ImportCheckAcceptsSystemDllsInAnyCase) {
    std::vector<pe::ImportedDll> dlls;
    for (const char *name : {"KERNEL32.dll", "user32.DLL", "Gdi32.dll", "msvcrt.dll", "comctl32.dll",
                             "ADVAPI32.dll", "shell32.dll", "ole32.dll", "comdlg32.dll", "UxTheme.dll",
                             "api-ms-win-crt-runtime-l1-1-0.dll", "api-ms-win-core-synch-l1-2-0.dll"})
        dlls.push_back({name, false});
    EXPECT_TRUE(ImportsOnlySystemDlls(dlls));
}

TEST(PeChecks, ImportCheckRejectsEmptyListsAndOtherDlls) {
    EXPECT_FALSE(ImportsOnlySystemDlls({})) << "finding no DLLs means the import table was not read";
    for (const char *name : {"libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll",
                             "kernel32x.dll", "kernel32.dll.dll", "msvcr120.dll", "api-ms-win-crt-.dll",
                             "api-ms-win-shcore-scaling-l1-1-1.dll", "trical.dll"}) {
        testing::AssertionResult result = ImportsOnlySystemDlls({{"KERNEL32.dll", false}, {name, false}});
        EXPECT_FALSE(result) << name;
        EXPECT_NE(std::string::npos, std::string(result.message()).find(name)) << result.message();
    }
    EXPECT_NE(std::string::npos,
              std::string(ImportsOnlySystemDlls({{"libwinpthread-1.dll", false}}).message()).find("MinGW runtime"));

    // The same verdicts through the parser, delay-loaded DLLs included.
    Fixture fixture;
    std::vector<pe::ImportedDll> dlls;
    std::string error;
    ASSERT_TRUE(pe::ReadImportedDlls(ParseFixture(fixture), &dlls, &error)) << error;
    EXPECT_TRUE(ImportsOnlySystemDlls(dlls));
    fixture.delayImports = {"libstdc++-6.dll"};
    ASSERT_TRUE(pe::ReadImportedDlls(ParseFixture(fixture), &dlls, &error)) << error;
    EXPECT_FALSE(ImportsOnlySystemDlls(dlls));
    fixture.delayImports.clear();
    fixture.imports.clear();
    ASSERT_TRUE(pe::ReadImportedDlls(ParseFixture(fixture), &dlls, &error)) << error;
    EXPECT_FALSE(ImportsOnlySystemDlls(dlls));
}

TEST(PeChecks, ExportCheckNamesWhatIsWrong) {
    pe::Image image = ParseFixture(Fixture());
    std::vector<pe::Export> exports = Exports(image);
    EXPECT_TRUE(ExportsResolveToCode(image, exports, {"CalDlg", "About"}));

    testing::AssertionResult missing = ExportsResolveToCode(image, exports, {"CalDlg", "Settings"});
    EXPECT_FALSE(missing);
    EXPECT_NE(std::string::npos, std::string(missing.message()).find("\"Settings\" is not exported"))
        << missing.message();
    EXPECT_EQ(std::string::npos, std::string(missing.message()).find("\"CalDlg\" is not")) << missing.message();

    // A stdcall name as the 32-bit compiler decorates it is a different name.
    Fixture decorated;
    decorated.exports = {"_CalDlg@16"};
    pe::Image decoratedImage = ParseFixture(decorated);
    EXPECT_FALSE(ExportsResolveToCode(decoratedImage, Exports(decoratedImage), {"CalDlg"}));

    Fixture unsorted;
    unsorted.exports = {"CalDlg", "About"};
    pe::Image unsortedImage = ParseFixture(unsorted);
    EXPECT_FALSE(ExportsResolveToCode(unsortedImage, Exports(unsortedImage), {"CalDlg"}));

    Fixture data;
    data.exportIntoData = "Table";
    pe::Image dataImage = ParseFixture(data);
    testing::AssertionResult notCode = ExportsResolveToCode(dataImage, Exports(dataImage), {"Table"});
    EXPECT_FALSE(notCode);
    EXPECT_NE(std::string::npos, std::string(notCode.message()).find("not code")) << notCode.message();
}

TEST(PeChecks, ResourceCheckWantsTheNameNotANumber) {
    Fixture fixture;
    fixture.resources = {{pe::kRtDialog, "", 100}, {pe::kRtDialog, "CALX", 0}, {pe::kRtGroupIcon, "CAL", 0}};
    pe::Image image = ParseFixture(fixture);
    testing::AssertionResult result = HasNamedResource(Resources(image, pe::kRtDialog), "CAL");
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, std::string(result.message()).find("\"CALX\", #100")) << result.message();
    EXPECT_TRUE(HasNamedResource(Resources(image, pe::kRtGroupIcon), "CAL"));
    EXPECT_FALSE(HasNamedResource({}, "CAL"));

    pe::Resource empty;
    empty.named = true;
    empty.name = "CAL";
    EXPECT_FALSE(HasNamedResource({empty}, "CAL"));
}

// --- The shipped executables ------------------------------------------------

struct Target {
    const char *label;
    const char *path;
    const char *buildDirectory;
    uint16_t machine;
    uint16_t magic;
};

// Names the target in failure reports instead of dumping the struct's bytes.
void PrintTo(const Target &target, std::ostream *out) {
    *out << target.label << " (" << target.path << ")";
}

class TricalExe : public testing::TestWithParam<Target> {
protected:
    void SetUp() override {
        const Target &target = GetParam();
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(pe::ReadFile(target.path, &bytes))
            << "cannot read " << target.path << "; build it with cmake --build " << target.buildDirectory;
        std::string error;
        ASSERT_TRUE(pe::ParseImage(std::move(bytes), &image, &error)) << target.path << ": " << error;
    }

    pe::Image image;
};

TEST_P(TricalExe, IsAWindowsGuiProgramForItsTarget) {
    EXPECT_EQ(pe::Hex(GetParam().machine), pe::Hex(image.machine));
    EXPECT_EQ(pe::Hex(GetParam().magic), pe::Hex(image.magic));
    EXPECT_EQ(pe::kSubsystemWindowsGui, image.subsystem);
    EXPECT_NE(0, image.fileCharacteristics & pe::kFileExecutableImage);
    EXPECT_EQ(0, image.fileCharacteristics & pe::kFileDll) << "exports must not turn the program into a DLL";
}

TEST_P(TricalExe, ImportsOnlySystemDlls) {
    std::vector<pe::ImportedDll> dlls;
    std::string error;
    ASSERT_TRUE(pe::ReadImportedDlls(image, &dlls, &error)) << error;
    std::printf("%s imports: %s\n", GetParam().label, Join(DllNames(dlls)).c_str());
    EXPECT_TRUE(ImportsOnlySystemDlls(dlls));
}

TEST_P(TricalExe, ExportsRequiredNames) {
    std::vector<pe::Export> exports;
    std::string error;
    ASSERT_TRUE(pe::ReadExports(image, &exports, &error)) << error;
    std::printf("%s exports: %s\n", GetParam().label, Join(ExportNames(exports)).c_str());
    EXPECT_TRUE(ExportsResolveToCode(image, exports, kRequiredExports));
}

TEST_P(TricalExe, HasCalendarDialogAndIcon) {
    std::vector<pe::Resource> dialogs, icons;
    std::string error;
    ASSERT_TRUE(pe::ReadResources(image, pe::kRtDialog, &dialogs, &error)) << error;
    ASSERT_TRUE(pe::ReadResources(image, pe::kRtGroupIcon, &icons, &error)) << error;
    EXPECT_TRUE(HasNamedResource(dialogs, "CAL"));
    EXPECT_TRUE(HasNamedResource(icons, "WCODE"));
}

INSTANTIATE_TEST_SUITE_P(Shipped, TricalExe,
                         testing::Values(Target{"win32", TRICAL_WIN32_EXE, "build/win32", pe::kMachineI386,
                                                pe::kMagicPe32},
                                         Target{"win64", TRICAL_WIN64_EXE, "build/win64", pe::kMachineAmd64,
                                                pe::kMagicPe32Plus}),
                         [](const testing::TestParamInfo<Target> &info) { return std::string(info.param.label); });
