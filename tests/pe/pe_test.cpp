// Checks the shipped 32- and 64-bit trical.exe files as bytes: the target
// they were built for, that they run on a bare Windows install (system DLLs
// only), the entry points other programs look up by name, the resources
// the program loads by name at start-up, the version Windows shows for it
// (as version.h has it), its manifest, and that nothing in it depends on
// when or where it was built.
//
// The parser is first run against small executables built here, so a parser
// that reads nothing cannot make the checks on the real files pass.
#include "pe_image.h"
#include "version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#ifndef TRICAL_WIN32_EXE
#error "TRICAL_WIN32_EXE must name the 32-bit trical.exe"
#endif
#ifndef TRICAL_WIN64_EXE
#error "TRICAL_WIN64_EXE must name the 64-bit trical.exe"
#endif
#ifndef TRICAL_SOURCE_DIR
#error "TRICAL_SOURCE_DIR must name the source tree, which no executable may mention"
#endif

namespace {

// Names other programs look up in trical.exe with GetProcAddress; a name
// joins this list when its entry point is added.
const std::vector<std::string> kRequiredExports = {"CalDlg", "About"};

const char *const kSystemDlls[] = {"kernel32", "user32",  "gdi32", "msvcrt",   "comctl32",
                                   "advapi32", "shell32", "ole32", "comdlg32", "uxtheme"};
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
        return testing::AssertionFailure()
               << "no imported DLLs found; every Windows program imports kernel32";
    std::vector<std::string> rejected;
    for (const pe::ImportedDll &dll : dlls) {
        if (IsMinGwRuntimeDll(dll.name))
            rejected.push_back(dll.name + " (MinGW runtime)");
        else if (!IsSystemDll(dll.name))
            rejected.push_back(dll.name + " (not a Windows system DLL)");
    }
    if (!rejected.empty())
        return testing::AssertionFailure()
               << "imports DLLs a bare Windows install lacks: " << Join(rejected)
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
testing::AssertionResult ExportsResolveToCode(const pe::Image &image,
                                              const std::vector<pe::Export> &exports,
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
            problems.push_back("\"" + name + "\" points at " + pe::Hex(found->rva) +
                               ", which is not code");
    }
    for (size_t i = 1; i < exports.size(); ++i)
        if (std::strcmp(exports[i - 1].name.c_str(), exports[i].name.c_str()) >= 0)
            problems.push_back("export names out of order at \"" + exports[i].name + "\"");
    if (!problems.empty())
        return testing::AssertionFailure()
               << Join(problems) << "; exports found: " << Join(ExportNames(exports));
    return testing::AssertionSuccess();
}

testing::AssertionResult HasNamedResource(const std::vector<pe::Resource> &resources,
                                          const std::string &name) {
    std::vector<std::string> found;
    for (const pe::Resource &resource : resources) {
        if (resource.named && resource.name == name) {
            if (resource.dataSize == 0)
                return testing::AssertionFailure() << "resource \"" << name << "\" is empty";
            return testing::AssertionSuccess();
        }
        found.push_back(resource.named ? "\"" + resource.name + "\""
                                       : "#" + std::to_string(resource.id));
    }
    return testing::AssertionFailure()
           << "no resource named \"" << name << "\"; found: " << Join(found);
}

// The version resource must say what version.h says: the numbers Windows
// compares, the strings Explorer shows, no file date (it would differ
// between two builds), and a translation that leads to the strings.
constexpr uint32_t kVersionMs =
    static_cast<uint32_t>(TRICAL_VERSION_MAJOR) << 16 | TRICAL_VERSION_MINOR;
constexpr uint32_t kVosNtWindows32 = 0x00040004;
constexpr uint32_t kVftApp = 1;
const std::vector<pe::VersionString> kVersionStrings = {
    {"CompanyName", TRICAL_COMPANY_NAME}, {"FileDescription", TRICAL_DESCRIPTION},
    {"FileVersion", TRICAL_VERSION_TEXT}, {"InternalName", TRICAL_INTERNAL_NAME},
    {"LegalCopyright", TRICAL_COPYRIGHT}, {"OriginalFilename", TRICAL_FILE_NAME},
    {"ProductName", TRICAL_PRODUCT_NAME}, {"ProductVersion", TRICAL_VERSION_TEXT}};

testing::AssertionResult VersionMatchesHeader(const pe::VersionInfo &info) {
    std::vector<std::string> problems;
    auto number = [&](const char *what, uint32_t expected, uint32_t found) {
        if (found != expected)
            problems.push_back(std::string(what) + " is " + pe::Hex(found) + ", not " +
                               pe::Hex(expected));
    };
    number("signature", pe::kFixedFileInfoSignature, info.signature);
    number("file version", kVersionMs, info.fileVersionMs);
    number("file version (low half)", 0, info.fileVersionLs);
    number("product version", kVersionMs, info.productVersionMs);
    number("product version (low half)", 0, info.productVersionLs);
    number("file OS", kVosNtWindows32, info.fileOs);
    number("file type", kVftApp, info.fileType);
    number("file date", 0, info.fileDateMs);
    number("file date (low half)", 0, info.fileDateLs);

    if (info.translations.size() != 1 || info.stringTables.size() != 1) {
        problems.push_back(std::to_string(info.translations.size()) + " translations and " +
                           std::to_string(info.stringTables.size()) +
                           " string tables, not one of each");
    } else {
        char key[16];
        std::snprintf(key, sizeof key, "%04x%04x", info.translations[0] & 0xffff,
                      info.translations[0] >> 16);
        if (Lower(info.stringTables[0].key) != key)
            problems.push_back("the translation asks for string table " + std::string(key) +
                               ", the table is " + info.stringTables[0].key);
    }
    for (const pe::VersionString &expected : kVersionStrings) {
        const pe::VersionString *found = nullptr;
        for (const pe::StringTable &table : info.stringTables)
            for (const pe::VersionString &string : table.strings)
                if (string.name == expected.name)
                    found = &string;
        if (!found)
            problems.push_back(expected.name + " is missing");
        else if (found->value != expected.value)
            problems.push_back(expected.name + " is \"" + found->value + "\", not \"" +
                               expected.value + "\"");
    }
    if (!problems.empty())
        return testing::AssertionFailure() << Join(problems);
    return testing::AssertionSuccess();
}

// The dialog template keeps each control's text as zero-terminated UTF-16;
// the terminator keeps "Version 1.1" from matching "Version 1.10".
testing::AssertionResult DialogHasText(const std::vector<uint8_t> &dialog,
                                       const std::string &text) {
    std::vector<uint8_t> wanted;
    for (char c : text + std::string(1, '\0')) {
        wanted.push_back(static_cast<uint8_t>(c));
        wanted.push_back(0);
    }
    for (size_t at = 0; at + wanted.size() <= dialog.size(); at += 2)
        if (std::equal(wanted.begin(), wanted.end(), dialog.begin() + at))
            return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no control text \"" << text << "\"";
}

const char *const kSupportedOsIds[] = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
};

// The program runs with its user's rights and tells Windows 7 to 11 it knows
// them. The dialogs are laid out for the classic controls, so the manifest
// asks for no visual styles; it paints at each monitor's DPI, so it asks for
// per-monitor awareness in both the Windows 8.1 and the Windows 10 form,
// each in the namespace that Windows reads it from.
const char *const kDpiSettings[] = {
    "<dpiaware xmlns=\"http://schemas.microsoft.com/smi/2005/windowssettings\">true/pm</dpiaware>",
    "<dpiawareness xmlns=\"http://schemas.microsoft.com/smi/2016/windowssettings\">"
    "permonitorv2, permonitor</dpiawareness>"};

testing::AssertionResult ManifestIsAsIntended(const std::string &manifest) {
    std::string text = Lower(manifest);
    std::vector<std::string> problems;
    for (const char *required : {"level=\"asinvoker\"", "uiaccess=\"false\""})
        if (text.find(required) == std::string::npos)
            problems.push_back(std::string("no ") + required);
    for (const char *id : kSupportedOsIds)
        if (text.find(std::string("id=\"") + id + "\"") == std::string::npos)
            problems.push_back(std::string("no supportedOS ") + id);
    for (const char *setting : kDpiSettings)
        if (text.find(setting) == std::string::npos)
            problems.push_back(std::string("no ") + setting);
    for (const char *unwanted : {"microsoft.windows.common-controls"})
        if (text.find(unwanted) != std::string::npos)
            problems.push_back(std::string("asks for ") + unwanted);
    if (!problems.empty())
        return testing::AssertionFailure() << Join(problems);
    return testing::AssertionSuccess();
}

// Two builds of one commit must be the same bytes, so nothing may record
// when the program was linked or where its sources and build tree were:
// no time stamps in the headers or the resource tree, no debug directory
// (its records carry both), no path of the source tree.
testing::AssertionResult HasNoBuildTimesOrPaths(const pe::Image &image,
                                                const std::string &sourceDir) {
    std::vector<std::string> problems;
    std::string error;
    if (image.timeDateStamp != 0)
        problems.push_back("file header time stamp " + pe::Hex(image.timeDateStamp));
    uint32_t exportStamp;
    if (!pe::ReadExportTimeStamp(image, &exportStamp, &error))
        problems.push_back(error);
    else if (exportStamp != 0)
        problems.push_back("export directory time stamp " + pe::Hex(exportStamp));
    std::vector<uint32_t> stamps;
    if (!pe::ReadResourceTimeStamps(image, &stamps, &error))
        problems.push_back(error);
    for (size_t i = 0; i < stamps.size(); ++i)
        if (stamps[i] != 0)
            problems.push_back("resource directory " + std::to_string(i) + " time stamp " +
                               pe::Hex(stamps[i]));
    if (pe::Directory(image, pe::kDirDebug).rva != 0)
        problems.push_back("a debug directory");
    std::string wide;
    for (char c : sourceDir)
        wide += std::string(1, c) + '\0';
    for (const std::string &path : {sourceDir, wide})
        if (std::search(image.bytes.begin(), image.bytes.end(), path.begin(), path.end()) !=
            image.bytes.end())
            problems.push_back("the path " + sourceDir);
    if (!problems.empty())
        return testing::AssertionFailure() << "holds " << Join(problems);
    return testing::AssertionSuccess();
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
    FixtureResource(uint16_t type, std::string name, uint16_t id, std::vector<uint8_t> data = {})
        : type(type), name(std::move(name)), id(id), data(std::move(data)) {}

    uint16_t type;
    std::string name; // empty: numbered by id
    uint16_t id;
    std::vector<uint8_t> data; // empty: four bytes that name the type
};

struct Fixture {
    bool pe32Plus = false;
    uint16_t subsystem = pe::kSubsystemWindowsGui;
    std::vector<std::string> imports = {"KERNEL32.dll", "USER32.dll"};
    std::vector<std::string> delayImports;
    std::vector<std::string> exports = {"About", "CalDlg"}; // written in this order
    std::string exportIntoData;                             // an export aimed at .rdata
    std::vector<FixtureResource> resources = {{pe::kRtIcon, "", 1},
                                              {pe::kRtDialog, "CAL", 0},
                                              {pe::kRtDialog, "", 100},
                                              {pe::kRtGroupIcon, "WCODE", 0}};
    uint32_t timeDateStamp = 0;
    uint32_t exportTimeStamp = 0;
    uint32_t languageDirectoryStamp = 0; // in the last directory of the resource tree
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
    return {kRdataRva + static_cast<uint32_t>(descriptors),
            static_cast<uint32_t>((fixture.imports.size() + 1) * 20)};
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
        Put32(rdata, functions + function * 4,
              intoData ? kRdataRva : kTextRva + 0x10 * (function + 1));
        Put32(rdata, nameTable + i * 4,
              kRdataRva + static_cast<uint32_t>(AppendString(rdata, names[i])));
        Put16(rdata, ordinals + i * 2, function);
    }
    size_t moduleName = AppendString(rdata, "trical.exe");
    Put32(rdata, directory + 4, fixture.exportTimeStamp);
    Put32(rdata, directory + 12, kRdataRva + static_cast<uint32_t>(moduleName));
    Put32(rdata, directory + 16, 1); // ordinal base
    Put32(rdata, directory + 20, count);
    Put32(rdata, directory + 24, count);
    Put32(rdata, directory + 28, kRdataRva + static_cast<uint32_t>(functions));
    Put32(rdata, directory + 32, kRdataRva + static_cast<uint32_t>(nameTable));
    Put32(rdata, directory + 36, kRdataRva + static_cast<uint32_t>(ordinals));
    return {kRdataRva + static_cast<uint32_t>(directory),
            static_cast<uint32_t>(rdata.size() - directory)};
}

size_t AppendResourceDirectory(std::vector<uint8_t> &rsrc, uint16_t namedCount, uint16_t idCount,
                               uint32_t timeDateStamp = 0) {
    size_t at = rsrc.size();
    rsrc.resize(at + 16 + (namedCount + idCount) * 8);
    Put32(rsrc, at + 4, timeDateStamp);
    Put16(rsrc, at + 12, namedCount);
    Put16(rsrc, at + 14, idCount);
    return at + 16;
}

// type -> name -> language (1033) -> data, named entries before numbered
// ones as resource compilers order them.
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
        std::stable_partition(ofType.begin(), ofType.end(), [](const FixtureResource &resource) {
            return !resource.name.empty();
        });
        uint16_t namedCount = static_cast<uint16_t>(
            std::count_if(ofType.begin(), ofType.end(),
                          [](const FixtureResource &r) { return !r.name.empty(); }));

        Put32(rsrc, rootEntries + t * 8, types[t]);
        Put32(rsrc, rootEntries + t * 8 + 4, 0x80000000u | static_cast<uint32_t>(rsrc.size()));
        size_t nameEntries = AppendResourceDirectory(
            rsrc, namedCount, static_cast<uint16_t>(ofType.size() - namedCount));
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
            bool last = t + 1 == types.size() && n + 1 == ofType.size();
            size_t languageEntries =
                AppendResourceDirectory(rsrc, 0, 1, last ? fixture.languageDirectoryStamp : 0);
            Put32(rsrc, languageEntries, 1033);
            Put32(rsrc, languageEntries + 4, static_cast<uint32_t>(rsrc.size()));
            size_t dataEntry = rsrc.size();
            rsrc.resize(dataEntry + 16);
            size_t data = rsrc.size();
            if (resource.data.empty())
                Put32(rsrc, data, 0xC0DE0000u + resource.type);
            else
                rsrc.insert(rsrc.end(), resource.data.begin(), resource.data.end());
            Put32(rsrc, dataEntry, kRsrcRva + static_cast<uint32_t>(data));
            Put32(rsrc, dataEntry + 4, static_cast<uint32_t>(rsrc.size() - data));
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
    Put32(bytes, coff + 4, fixture.timeDateStamp);
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

// A version resource laid out as resource compilers write it: each node a
// header, a UTF-16 key, its value and its children, on four-byte bounds.
struct VersionParts {
    std::string rootKey = "VS_VERSION_INFO";
    uint32_t fixedSize = 52;
    uint32_t signature = pe::kFixedFileInfoSignature;
    uint32_t fileVersionMs = kVersionMs;
    uint32_t fileVersionLs = 0;
    uint32_t productVersionMs = kVersionMs;
    uint32_t productVersionLs = 0;
    uint32_t fileOs = kVosNtWindows32;
    uint32_t fileType = kVftApp;
    uint32_t fileDateMs = 0;
    uint32_t fileDateLs = 0;
    std::string tableKey = "040904B0";
    std::vector<pe::VersionString> strings = kVersionStrings;
    std::vector<uint32_t> translations = {0x04b00409};
};

void AppendUtf16(std::vector<uint8_t> &bytes, const std::string &text) {
    for (char c : text) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

// Writes a node's header, key and value; children follow, then EndVersionNode.
size_t BeginVersionNode(std::vector<uint8_t> &bytes, const std::string &key, bool text,
                        uint32_t valueLength) {
    Align(bytes, 4);
    size_t start = bytes.size();
    Put16(bytes, start + 2, valueLength);
    Put16(bytes, start + 4, text ? 1 : 0);
    AppendUtf16(bytes, key);
    Align(bytes, 4);
    return start;
}

void EndVersionNode(std::vector<uint8_t> &bytes, size_t start) {
    Put16(bytes, start, static_cast<uint32_t>(bytes.size() - start));
}

std::vector<uint8_t> BuildVersionResource(const VersionParts &parts) {
    std::vector<uint8_t> bytes;
    size_t root = BeginVersionNode(bytes, parts.rootKey, false, parts.fixedSize);
    size_t fixed = bytes.size();
    bytes.resize(fixed + parts.fixedSize);
    uint32_t fields[13] = {parts.signature,
                           0x00010000,
                           parts.fileVersionMs,
                           parts.fileVersionLs,
                           parts.productVersionMs,
                           parts.productVersionLs,
                           0x3f,
                           0,
                           parts.fileOs,
                           parts.fileType,
                           0,
                           parts.fileDateMs,
                           parts.fileDateLs};
    for (uint32_t i = 0; i < 13 && i * 4 + 4 <= parts.fixedSize; ++i)
        Put32(bytes, fixed + i * 4, fields[i]);

    size_t stringInfo = BeginVersionNode(bytes, "StringFileInfo", false, 0);
    size_t table = BeginVersionNode(bytes, parts.tableKey, false, 0);
    for (const pe::VersionString &string : parts.strings) {
        size_t node = BeginVersionNode(bytes, string.name, true,
                                       static_cast<uint32_t>(string.value.size() + 1));
        AppendUtf16(bytes, string.value);
        EndVersionNode(bytes, node);
    }
    EndVersionNode(bytes, table);
    EndVersionNode(bytes, stringInfo);

    size_t varInfo = BeginVersionNode(bytes, "VarFileInfo", false, 0);
    size_t translation = BeginVersionNode(bytes, "Translation", false,
                                          static_cast<uint32_t>(parts.translations.size() * 4));
    for (uint32_t value : parts.translations)
        Put32(bytes, bytes.size(), value);
    EndVersionNode(bytes, translation);
    EndVersionNode(bytes, varInfo);
    EndVersionNode(bytes, root);
    return bytes;
}

pe::VersionInfo ParseVersion(const std::vector<uint8_t> &bytes) {
    pe::VersionInfo info;
    std::string error;
    EXPECT_TRUE(pe::ParseVersionInfo(bytes, &info, &error)) << error;
    return info;
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
        EXPECT_EQ(section.rawOffset + 8, FileOffset(image, section.virtualAddress + 8, 4))
            << section.name;
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
        EXPECT_EQ(0xC0DE0000u + pe::kRtDialog,
                  pe::Get32(image.bytes, FileOffset(image, dialogs[0].dataRva, 4)));

        std::vector<pe::Resource> groups = Resources(image, pe::kRtGroupIcon);
        ASSERT_EQ(1u, groups.size());
        EXPECT_EQ("WCODE", groups[0].name);
        EXPECT_EQ(0xC0DE0000u + pe::kRtGroupIcon,
                  pe::Get32(image.bytes, FileOffset(image, groups[0].dataRva, 4)));

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
    rejects(std::vector<uint8_t>(good.begin(), good.begin() + kFirstRawOffset + 0x100),
            "cut inside section data");
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

TEST(PeParser, ReadsEveryTimeStamp) {
    Fixture fixture;
    fixture.timeDateStamp = 0x11111111;
    fixture.exportTimeStamp = 0x22222222;
    fixture.languageDirectoryStamp = 0x33333333;
    for (bool pe32Plus : {false, true}) {
        fixture.pe32Plus = pe32Plus;
        pe::Image image = ParseFixture(fixture);
        EXPECT_EQ(0x11111111u, image.timeDateStamp);
        uint32_t exportStamp = 0;
        std::string error;
        EXPECT_TRUE(pe::ReadExportTimeStamp(image, &exportStamp, &error)) << error;
        EXPECT_EQ(0x22222222u, exportStamp);
        // Root, three types, four languages; the stamp is in the last one.
        std::vector<uint32_t> stamps;
        ASSERT_TRUE(pe::ReadResourceTimeStamps(image, &stamps, &error)) << error;
        std::vector<uint32_t> expected(8, 0);
        expected.back() = 0x33333333;
        EXPECT_EQ(expected, stamps);
    }
}

TEST(PeParser, ReadsVersionResourceThroughTheResourceTree) {
    VersionParts parts;
    parts.fileVersionMs = 0x00020003;
    parts.fileVersionLs = 0x00040005;
    parts.productVersionMs = 0x00060007;
    parts.productVersionLs = 0x00080009;
    parts.fileOs = 0x00010001;
    parts.fileType = 2;
    parts.fileDateMs = 0x0a0b0c0d;
    parts.fileDateLs = 0x01020304;
    parts.tableKey = "040704E4";
    // Keys and values of odd and even lengths, so every kind of padding occurs.
    parts.strings = {
        {"A", "x"}, {"Bee", "a value longer than its key"}, {"Comments", ""}, {"Cd", "yz"}};
    parts.translations = {0x04e40407, 0x04b00409};

    Fixture fixture;
    fixture.resources.push_back({pe::kRtVersion, "", 1, BuildVersionResource(parts)});
    for (bool pe32Plus : {false, true}) {
        fixture.pe32Plus = pe32Plus;
        pe::Image image = ParseFixture(fixture);
        std::vector<pe::Resource> versions = Resources(image, pe::kRtVersion);
        ASSERT_EQ(1u, versions.size());
        EXPECT_EQ(1, versions[0].id);
        pe::VersionInfo info = ParseVersion(pe::ResourceData(image, versions[0]));
        EXPECT_EQ(pe::kFixedFileInfoSignature, info.signature);
        EXPECT_EQ(0x00020003u, info.fileVersionMs);
        EXPECT_EQ(0x00040005u, info.fileVersionLs);
        EXPECT_EQ(0x00060007u, info.productVersionMs);
        EXPECT_EQ(0x00080009u, info.productVersionLs);
        EXPECT_EQ(0x00010001u, info.fileOs);
        EXPECT_EQ(2u, info.fileType);
        EXPECT_EQ(0x0a0b0c0du, info.fileDateMs);
        EXPECT_EQ(0x01020304u, info.fileDateLs);
        ASSERT_EQ(1u, info.stringTables.size());
        EXPECT_EQ("040704E4", info.stringTables[0].key);
        ASSERT_EQ(parts.strings.size(), info.stringTables[0].strings.size());
        for (size_t i = 0; i < parts.strings.size(); ++i) {
            EXPECT_EQ(parts.strings[i].name, info.stringTables[0].strings[i].name);
            EXPECT_EQ(parts.strings[i].value, info.stringTables[0].strings[i].value);
        }
        EXPECT_EQ(parts.translations, info.translations);
    }
}

TEST(PeParser, RejectsDamagedVersionResources) {
    auto rejects = [](const std::vector<uint8_t> &bytes, const char *expected) {
        pe::VersionInfo info;
        std::string error;
        EXPECT_FALSE(pe::ParseVersionInfo(bytes, &info, &error)) << expected;
        EXPECT_NE(std::string::npos, error.find(expected)) << error;
    };
    const std::vector<uint8_t> good = BuildVersionResource(VersionParts());
    ParseVersion(good);

    rejects({}, "does not fit");
    rejects(std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), "claims");
    VersionParts parts;
    parts.rootKey = "VS_VERSION";
    rejects(BuildVersionResource(parts), "not VS_VERSION_INFO");
    parts = VersionParts();
    parts.fixedSize = 40;
    rejects(BuildVersionResource(parts), "40 bytes, not 52");

    // StringFileInfo follows the 52 bytes of fixed information at 40.
    std::vector<uint8_t> bytes = good;
    Put16(bytes, 92, 0xfff0);
    rejects(bytes, "claims 65520 bytes");
    // A string whose value length runs past its node.
    bytes = good;
    size_t firstString = 92 + 36 + 24;
    ASSERT_EQ('C', bytes[firstString + 6]) << "the first string is CompanyName";
    Put16(bytes, firstString + 2, 0x100);
    rejects(bytes, "value of \"CompanyName\" runs past its node");
    // A key with no terminator inside its node.
    rejects({10, 0, 0, 0, 0, 0, 'V', 0, 'S', 0}, "key of version node at 0x0 runs past the node");
}

// --- The checks applied to trical.exe must be able to fail -----------------

TEST(PeChecks, ImportCheckAcceptsSystemDllsInAnyCase) {
    std::vector<pe::ImportedDll> dlls;
    for (const char *name :
         {"KERNEL32.dll", "user32.DLL", "Gdi32.dll", "msvcrt.dll", "comctl32.dll", "ADVAPI32.dll",
          "shell32.dll", "ole32.dll", "comdlg32.dll", "UxTheme.dll",
          "api-ms-win-crt-runtime-l1-1-0.dll", "api-ms-win-core-synch-l1-2-0.dll"})
        dlls.push_back({name, false});
    EXPECT_TRUE(ImportsOnlySystemDlls(dlls));
}

TEST(PeChecks, ImportCheckRejectsEmptyListsAndOtherDlls) {
    EXPECT_FALSE(ImportsOnlySystemDlls({}))
        << "finding no DLLs means the import table was not read";
    for (const char *name :
         {"libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll",
          "kernel32x.dll", "kernel32.dll.dll", "msvcr120.dll", "api-ms-win-crt-.dll",
          "api-ms-win-shcore-scaling-l1-1-1.dll", "trical.dll"}) {
        testing::AssertionResult result =
            ImportsOnlySystemDlls({{"KERNEL32.dll", false}, {name, false}});
        EXPECT_FALSE(result) << name;
        EXPECT_NE(std::string::npos, std::string(result.message()).find(name)) << result.message();
    }
    EXPECT_NE(std::string::npos,
              std::string(ImportsOnlySystemDlls({{"libwinpthread-1.dll", false}}).message())
                  .find("MinGW runtime"));

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
    EXPECT_NE(std::string::npos,
              std::string(missing.message()).find("\"Settings\" is not exported"))
        << missing.message();
    EXPECT_EQ(std::string::npos, std::string(missing.message()).find("\"CalDlg\" is not"))
        << missing.message();

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
    testing::AssertionResult notCode =
        ExportsResolveToCode(dataImage, Exports(dataImage), {"Table"});
    EXPECT_FALSE(notCode);
    EXPECT_NE(std::string::npos, std::string(notCode.message()).find("not code"))
        << notCode.message();
}

TEST(PeChecks, ResourceCheckWantsTheNameNotANumber) {
    Fixture fixture;
    fixture.resources = {
        {pe::kRtDialog, "", 100}, {pe::kRtDialog, "CALX", 0}, {pe::kRtGroupIcon, "CAL", 0}};
    pe::Image image = ParseFixture(fixture);
    testing::AssertionResult result = HasNamedResource(Resources(image, pe::kRtDialog), "CAL");
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, std::string(result.message()).find("\"CALX\", #100"))
        << result.message();
    EXPECT_TRUE(HasNamedResource(Resources(image, pe::kRtGroupIcon), "CAL"));
    EXPECT_FALSE(HasNamedResource({}, "CAL"));

    pe::Resource empty;
    empty.named = true;
    empty.name = "CAL";
    EXPECT_FALSE(HasNamedResource({empty}, "CAL"));
}

TEST(PeChecks, VersionCheckNamesEveryMismatch) {
    EXPECT_TRUE(VersionMatchesHeader(ParseVersion(BuildVersionResource(VersionParts()))));

    struct Fault {
        void (*apply)(VersionParts &);
        const char *reported;
    };
    const Fault faults[] = {
        {[](VersionParts &v) { v.signature = 0; }, "signature"},
        {[](VersionParts &v) { v.fileVersionMs += 1; }, "file version is"},
        {[](VersionParts &v) { v.fileVersionLs = 1; }, "file version (low half)"},
        {[](VersionParts &v) { v.productVersionMs = 0x00010000; }, "product version is"},
        {[](VersionParts &v) { v.productVersionLs = 1; }, "product version (low half)"},
        {[](VersionParts &v) { v.fileType = 2; }, "file type"},
        {[](VersionParts &v) { v.fileOs = 4; }, "file OS"},
        {[](VersionParts &v) { v.fileDateLs = 0x5f000000; }, "file date (low half)"},
        {[](VersionParts &v) { v.strings[6].value += "!"; }, "ProductName is \""},
        {[](VersionParts &v) { v.strings.erase(v.strings.begin() + 4); },
         "LegalCopyright is missing"},
        {[](VersionParts &v) { v.tableKey = "040704B0"; },
         "the translation asks for string table 040904b0"},
        {[](VersionParts &v) { v.translations.clear(); }, "0 translations"},
    };
    for (const Fault &fault : faults) {
        VersionParts parts;
        fault.apply(parts);
        testing::AssertionResult result =
            VersionMatchesHeader(ParseVersion(BuildVersionResource(parts)));
        EXPECT_FALSE(result) << fault.reported;
        EXPECT_NE(std::string::npos, std::string(result.message()).find(fault.reported))
            << result.message();
    }
}

TEST(PeChecks, DialogTextCheckWantsTheWholeText) {
    std::vector<uint8_t> dialog(6, 0xff);
    AppendUtf16(dialog, "Version 1.10");
    EXPECT_FALSE(DialogHasText(dialog, "Version 1.1"));
    EXPECT_TRUE(DialogHasText(dialog, "Version 1.10"));
    EXPECT_FALSE(DialogHasText({}, "Version 1.1"));
}

TEST(PeChecks, ManifestCheckNamesWhatIsWrong) {
    const std::string good =
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"
        "<supportedOS Id=\"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}\"/>"
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>"
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>"
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"
        "<dpiAware "
        "xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
        "PerMonitorV2, PerMonitor</dpiAwareness>";
    EXPECT_TRUE(ManifestIsAsIntended(good)) << "GUIDs are not case-sensitive";

    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Fault {
        std::string manifest;
        const char *reported;
    };
    const Fault faults[] = {
        {replaced("asInvoker", "requireAdministrator"), "no level=\"asinvoker\""},
        {replaced("\"false\"", "\"true\""), "no uiaccess=\"false\""},
        {replaced("1f676c76", "1f676c77"), "no supportedOS {1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
        {good + "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
                "version=\"6.0.0.0\"/>",
         "asks for microsoft.windows.common-controls"},
        {replaced("true/pm", "true"), "no <dpiaware"},
        {replaced("2016", "2005"), "no <dpiawareness"},
        {replaced("PerMonitorV2, PerMonitor", "System"), "no <dpiawareness"},
        {"", "no level"},
    };
    for (const Fault &fault : faults) {
        testing::AssertionResult result = ManifestIsAsIntended(fault.manifest);
        EXPECT_FALSE(result) << fault.manifest;
        EXPECT_NE(std::string::npos, std::string(result.message()).find(fault.reported))
            << result.message();
    }
}

TEST(PeChecks, ReproducibilityCheckNamesTimesAndPaths) {
    const std::string tree = "/home/someone/trical";
    EXPECT_TRUE(HasNoBuildTimesOrPaths(ParseFixture(Fixture()), tree));

    Fixture stamped;
    stamped.timeDateStamp = 0x6b16d892;
    stamped.exportTimeStamp = 0x6b16d893;
    stamped.languageDirectoryStamp = 0x6b16d894;
    testing::AssertionResult result = HasNoBuildTimesOrPaths(ParseFixture(stamped), tree);
    EXPECT_FALSE(result);
    for (const char *reported :
         {"file header time stamp 0x6b16d892", "export directory time stamp 0x6b16d893",
          "resource directory 7 time stamp 0x6b16d894"})
        EXPECT_NE(std::string::npos, std::string(result.message()).find(reported))
            << result.message();

    pe::Image image = ParseFixture(Fixture());
    image.directories[pe::kDirDebug] = {kRdataRva, 28};
    EXPECT_FALSE(HasNoBuildTimesOrPaths(image, tree));

    // A path as the compiler leaves it in a string, and as a wide string.
    for (bool wide : {false, true}) {
        image = ParseFixture(Fixture());
        std::string text = tree + "/ui/main.cpp";
        if (wide) {
            std::vector<uint8_t> utf16;
            AppendUtf16(utf16, text);
            image.bytes.insert(image.bytes.end() - 16, utf16.begin(), utf16.end());
        } else {
            image.bytes.insert(image.bytes.end() - 16, text.begin(), text.end());
        }
        result = HasNoBuildTimesOrPaths(image, tree);
        EXPECT_FALSE(result) << (wide ? "wide" : "narrow");
        EXPECT_NE(std::string::npos, std::string(result.message()).find("the path " + tree))
            << result.message();
    }
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
            << "cannot read " << target.path << "; build it with cmake --build "
            << target.buildDirectory;
        std::string error;
        ASSERT_TRUE(pe::ParseImage(std::move(bytes), &image, &error))
            << target.path << ": " << error;
    }

    pe::Image image;
};

TEST_P(TricalExe, IsAWindowsGuiProgramForItsTarget) {
    EXPECT_EQ(pe::Hex(GetParam().machine), pe::Hex(image.machine));
    EXPECT_EQ(pe::Hex(GetParam().magic), pe::Hex(image.magic));
    EXPECT_EQ(pe::kSubsystemWindowsGui, image.subsystem);
    EXPECT_NE(0, image.fileCharacteristics & pe::kFileExecutableImage);
    EXPECT_EQ(0, image.fileCharacteristics & pe::kFileDll)
        << "exports must not turn the program into a DLL";
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

// Explorer shows these under the file's properties, and installers and
// support staff compare them; all of it comes from version.h.
TEST_P(TricalExe, CarriesTheVersionOfVersionH) {
    std::vector<pe::Resource> versions;
    std::string error;
    ASSERT_TRUE(pe::ReadResources(image, pe::kRtVersion, &versions, &error)) << error;
    ASSERT_EQ(1u, versions.size()) << "one version resource";
    EXPECT_FALSE(versions[0].named);
    EXPECT_EQ(1, versions[0].id);
    pe::VersionInfo info;
    ASSERT_TRUE(pe::ParseVersionInfo(pe::ResourceData(image, versions[0]), &info, &error)) << error;
    EXPECT_TRUE(VersionMatchesHeader(info));

    std::vector<pe::Resource> dialogs;
    ASSERT_TRUE(pe::ReadResources(image, pe::kRtDialog, &dialogs, &error)) << error;
    auto about = std::find_if(dialogs.begin(), dialogs.end(), [](const pe::Resource &resource) {
        return resource.name == "ABOUTBOX";
    });
    ASSERT_NE(dialogs.end(), about) << "no ABOUTBOX dialog";
    EXPECT_TRUE(DialogHasText(pe::ResourceData(image, *about), TRICAL_VERSION_LABEL));
}

// Windows reads only manifest 1 of an executable.
TEST_P(TricalExe, HasItsManifest) {
    std::vector<pe::Resource> manifests;
    std::string error;
    ASSERT_TRUE(pe::ReadResources(image, pe::kRtManifest, &manifests, &error)) << error;
    ASSERT_EQ(1u, manifests.size()) << "one manifest";
    EXPECT_FALSE(manifests[0].named);
    EXPECT_EQ(1, manifests[0].id);
    std::vector<uint8_t> data = pe::ResourceData(image, manifests[0]);
    EXPECT_TRUE(ManifestIsAsIntended(std::string(data.begin(), data.end())));
}

TEST_P(TricalExe, HasNoBuildTimesOrPaths) {
    EXPECT_TRUE(HasNoBuildTimesOrPaths(image, TRICAL_SOURCE_DIR));
}

INSTANTIATE_TEST_SUITE_P(Shipped, TricalExe,
                         testing::Values(Target{"win32", TRICAL_WIN32_EXE, "build/win32",
                                                pe::kMachineI386, pe::kMagicPe32},
                                         Target{"win64", TRICAL_WIN64_EXE, "build/win64",
                                                pe::kMachineAmd64, pe::kMagicPe32Plus}),
                         [](const testing::TestParamInfo<Target> &info) {
                             return std::string(info.param.label);
                         });
