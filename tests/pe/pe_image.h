// Reads the parts of a Windows executable that pe_test checks straight from
// its bytes, so the shipped trical.exe files can be inspected on the build
// machine with no Windows API and no tools beyond the compiler.
//
// Every read is bounds-checked against the file: the checks run on whatever
// the linker produced, and a damaged file must give an error, not a crash.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace pe {

constexpr uint16_t kMachineI386 = 0x14c;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMagicPe32 = 0x10b;
constexpr uint16_t kMagicPe32Plus = 0x20b;
constexpr uint16_t kSubsystemWindowsGui = 2;

constexpr uint16_t kFileExecutableImage = 0x0002;
constexpr uint16_t kFileDll = 0x2000;

constexpr uint32_t kSectionCode = 0x00000020;
constexpr uint32_t kSectionExecute = 0x20000000;

constexpr int kDirExport = 0;
constexpr int kDirImport = 1;
constexpr int kDirResource = 2;
constexpr int kDirDebug = 6;
constexpr int kDirDelayImport = 13;

constexpr uint16_t kRtIcon = 3;
constexpr uint16_t kRtMenu = 4;
constexpr uint16_t kRtDialog = 5;
constexpr uint16_t kRtGroupIcon = 14;
constexpr uint16_t kRtVersion = 16;
constexpr uint16_t kRtManifest = 24;

constexpr uint32_t kFixedFileInfoSignature = 0xfeef04bd;

// Upper bounds on table lengths; real tables are far smaller, and a corrupt
// count must not send a loop through gigabytes of nothing.
constexpr uint32_t kMaxTableEntries = 65536;
constexpr uint32_t kMaxNameLength = 1024;

struct DataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

struct Section {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
    uint32_t characteristics = 0;
};

struct Image {
    std::vector<uint8_t> bytes;
    uint16_t machine = 0;
    uint32_t timeDateStamp = 0;
    uint16_t fileCharacteristics = 0;
    uint16_t magic = 0;
    uint16_t subsystem = 0;
    uint64_t imageBase = 0;
    uint32_t sizeOfHeaders = 0;
    std::vector<DataDirectory> directories;
    std::vector<Section> sections;
};

struct ImportedDll {
    std::string name;
    bool delayLoaded = false;
};

struct Export {
    std::string name;
    uint32_t ordinal = 0;
    uint32_t rva = 0;
    bool forwarded = false;
};

// One resource of a given type: named ("CAL") or numbered, with the data of
// its first language.
struct Resource {
    bool named = false;
    std::string name;
    uint16_t id = 0;
    uint32_t dataRva = 0;
    uint32_t dataSize = 0;
};

inline bool InFile(const std::vector<uint8_t> &bytes, uint64_t offset, uint64_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

inline uint16_t Get16(const std::vector<uint8_t> &bytes, uint64_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline uint32_t Get32(const std::vector<uint8_t> &bytes, uint64_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

inline uint64_t Get64(const std::vector<uint8_t> &bytes, uint64_t at) {
    return Get32(bytes, at) | static_cast<uint64_t>(Get32(bytes, at + 4)) << 32;
}

inline bool Fail(std::string *error, const std::string &message) {
    if (error)
        *error = message;
    return false;
}

inline std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

inline bool ReadFile(const std::string &path, std::vector<uint8_t> *bytes) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes->clear();
    uint8_t buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + count);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

inline bool ParseImage(std::vector<uint8_t> bytes, Image *image, std::string *error) {
    *image = Image();
    image->bytes = std::move(bytes);
    const std::vector<uint8_t> &b = image->bytes;

    if (!InFile(b, 0, 64) || b[0] != 'M' || b[1] != 'Z')
        return Fail(error, "no DOS header");
    uint64_t peOffset = Get32(b, 0x3c);
    if (!InFile(b, peOffset, 4 + 20))
        return Fail(error, "PE header offset " + Hex(peOffset) + " is past the end of the file");
    if (Get32(b, peOffset) != 0x00004550)
        return Fail(error, "no PE signature at " + Hex(peOffset));

    uint64_t coff = peOffset + 4;
    image->machine = Get16(b, coff);
    uint16_t sectionCount = Get16(b, coff + 2);
    image->timeDateStamp = Get32(b, coff + 4);
    uint16_t optionalSize = Get16(b, coff + 16);
    image->fileCharacteristics = Get16(b, coff + 18);

    uint64_t optional = coff + 20;
    if (optionalSize < 2 || !InFile(b, optional, optionalSize))
        return Fail(error, "optional header does not fit the file");
    image->magic = Get16(b, optional);
    uint64_t countAt;
    uint64_t directoriesAt;
    if (image->magic == kMagicPe32) {
        countAt = 92;
        directoriesAt = 96;
    } else if (image->magic == kMagicPe32Plus) {
        countAt = 108;
        directoriesAt = 112;
    } else {
        return Fail(error, "unknown optional header magic " + Hex(image->magic));
    }
    if (optionalSize < directoriesAt)
        return Fail(error,
                    "optional header of " + std::to_string(optionalSize) + " bytes is too short");
    image->imageBase =
        image->magic == kMagicPe32 ? Get32(b, optional + 28) : Get64(b, optional + 24);
    image->sizeOfHeaders = Get32(b, optional + 60);
    image->subsystem = Get16(b, optional + 68);

    uint32_t directoryCount = Get32(b, optional + countAt);
    if (directoryCount > 16 || directoriesAt + directoryCount * 8ull > optionalSize)
        return Fail(error, std::to_string(directoryCount) +
                               " data directories do not fit the optional header");
    for (uint32_t i = 0; i < directoryCount; ++i) {
        uint64_t at = optional + directoriesAt + i * 8ull;
        image->directories.push_back({Get32(b, at), Get32(b, at + 4)});
    }

    uint64_t table = optional + optionalSize;
    if (!InFile(b, table, sectionCount * 40ull))
        return Fail(error, "section table is past the end of the file");
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint64_t at = table + i * 40ull;
        Section section;
        for (int c = 0; c < 8 && b[at + c] != 0; ++c)
            section.name += static_cast<char>(b[at + c]);
        section.virtualSize = Get32(b, at + 8);
        section.virtualAddress = Get32(b, at + 12);
        section.rawSize = Get32(b, at + 16);
        section.rawOffset = Get32(b, at + 20);
        section.characteristics = Get32(b, at + 36);
        if (!InFile(b, section.rawOffset, section.rawSize))
            return Fail(error,
                        "raw data of section " + section.name + " is past the end of the file");
        image->sections.push_back(section);
    }
    return true;
}

inline DataDirectory Directory(const Image &image, int index) {
    if (index < 0 || static_cast<size_t>(index) >= image.directories.size())
        return DataDirectory();
    return image.directories[index];
}

// The section the loader maps rva into, whether or not the file backs it.
inline const Section *SectionAt(const Image &image, uint32_t rva) {
    for (const Section &section : image.sections) {
        uint32_t span =
            section.virtualSize > section.rawSize ? section.virtualSize : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < span)
            return &section;
    }
    return nullptr;
}

// Where in the file the length bytes at rva live. Bytes past a section's raw
// data are zero-filled by the loader and have no file offset.
inline bool RvaToOffset(const Image &image, uint32_t rva, uint32_t length, uint32_t *offset) {
    if (static_cast<uint64_t>(rva) + length <= image.sizeOfHeaders &&
        InFile(image.bytes, rva, length)) {
        *offset = rva;
        return true;
    }
    for (const Section &section : image.sections) {
        uint32_t backed = section.rawSize;
        if (section.virtualSize != 0 && section.virtualSize < backed)
            backed = section.virtualSize;
        if (rva >= section.virtualAddress &&
            static_cast<uint64_t>(rva - section.virtualAddress) + length <= backed) {
            *offset = section.rawOffset + (rva - section.virtualAddress);
            return true;
        }
    }
    return false;
}

inline bool ReadCString(const Image &image, uint32_t rva, std::string *text) {
    text->clear();
    for (uint32_t i = 0; i < kMaxNameLength; ++i) {
        uint32_t at;
        if (!RvaToOffset(image, rva + i, 1, &at))
            return false;
        if (image.bytes[at] == 0)
            return true;
        text->push_back(static_cast<char>(image.bytes[at]));
    }
    return false;
}

inline bool ReadImportedDlls(const Image &image, std::vector<ImportedDll> *dlls,
                             std::string *error) {
    dlls->clear();
    const std::vector<uint8_t> &b = image.bytes;

    DataDirectory imports = Directory(image, kDirImport);
    for (uint32_t i = 0; imports.rva != 0; ++i) {
        uint32_t at;
        if (i == kMaxTableEntries)
            return Fail(error, "import directory has no terminating entry");
        if (!RvaToOffset(image, imports.rva + i * 20, 20, &at))
            return Fail(error, "import descriptor " + std::to_string(i) + " is outside the file");
        uint32_t nameRva = Get32(b, at + 12);
        uint32_t firstThunk = Get32(b, at + 16);
        if (nameRva == 0 && firstThunk == 0)
            break;
        ImportedDll dll;
        if (!ReadCString(image, nameRva, &dll.name))
            return Fail(error, "name of imported DLL " + std::to_string(i) + " at " + Hex(nameRva) +
                                   " is not readable");
        dlls->push_back(dll);
    }

    // A delay-loaded DLL is still a DLL the program needs at run time.
    DataDirectory delayed = Directory(image, kDirDelayImport);
    for (uint32_t i = 0; delayed.rva != 0; ++i) {
        uint32_t at;
        if (i == kMaxTableEntries)
            return Fail(error, "delay import directory has no terminating entry");
        if (!RvaToOffset(image, delayed.rva + i * 32, 32, &at))
            return Fail(error,
                        "delay import descriptor " + std::to_string(i) + " is outside the file");
        uint32_t attributes = Get32(b, at);
        uint32_t nameRva = Get32(b, at + 4);
        if (nameRva == 0)
            break;
        // Old-style descriptors hold addresses, not RVAs.
        if ((attributes & 1) == 0)
            nameRva = static_cast<uint32_t>(nameRva - image.imageBase);
        ImportedDll dll;
        dll.delayLoaded = true;
        if (!ReadCString(image, nameRva, &dll.name))
            return Fail(error,
                        "name of delay-loaded DLL " + std::to_string(i) + " is not readable");
        dlls->push_back(dll);
    }
    return true;
}

inline bool ReadExports(const Image &image, std::vector<Export> *exports, std::string *error) {
    exports->clear();
    const std::vector<uint8_t> &b = image.bytes;
    DataDirectory directory = Directory(image, kDirExport);
    if (directory.rva == 0)
        return true;

    uint32_t at;
    if (!RvaToOffset(image, directory.rva, 40, &at))
        return Fail(error, "export directory is outside the file");
    uint32_t base = Get32(b, at + 16);
    uint32_t functionCount = Get32(b, at + 20);
    uint32_t nameCount = Get32(b, at + 24);
    uint32_t functions = Get32(b, at + 28);
    uint32_t names = Get32(b, at + 32);
    uint32_t ordinals = Get32(b, at + 36);
    if (functionCount > kMaxTableEntries || nameCount > kMaxTableEntries)
        return Fail(error, "export table counts " + std::to_string(functionCount) + "/" +
                               std::to_string(nameCount) + " are not plausible");

    for (uint32_t i = 0; i < nameCount; ++i) {
        uint32_t nameAt, ordinalAt;
        if (!RvaToOffset(image, names + i * 4, 4, &nameAt) ||
            !RvaToOffset(image, ordinals + i * 2, 2, &ordinalAt))
            return Fail(error,
                        "export name table entry " + std::to_string(i) + " is outside the file");
        Export entry;
        if (!ReadCString(image, Get32(b, nameAt), &entry.name))
            return Fail(error, "export name " + std::to_string(i) + " is not readable");
        uint32_t index = Get16(b, ordinalAt);
        if (index >= functionCount)
            return Fail(error, "export " + entry.name + " refers to function " +
                                   std::to_string(index) + " of " + std::to_string(functionCount));
        uint32_t functionAt;
        if (!RvaToOffset(image, functions + index * 4, 4, &functionAt))
            return Fail(error, "export address of " + entry.name + " is outside the file");
        entry.ordinal = base + index;
        entry.rva = Get32(b, functionAt);
        // A target inside the export directory is a "DLL.Function" string.
        entry.forwarded = entry.rva >= directory.rva && entry.rva - directory.rva < directory.size;
        exports->push_back(entry);
    }
    return true;
}

// The export directory has a time stamp of its own, which the linker fills
// independently of the one in the file header.
inline bool ReadExportTimeStamp(const Image &image, uint32_t *stamp, std::string *error) {
    *stamp = 0;
    DataDirectory directory = Directory(image, kDirExport);
    if (directory.rva == 0)
        return true;
    uint32_t at;
    if (!RvaToOffset(image, directory.rva, 40, &at))
        return Fail(error, "export directory is outside the file");
    *stamp = Get32(image.bytes, at + 4);
    return true;
}

struct ResourceDirEntry {
    bool named = false;
    uint32_t nameOffset = 0;
    uint16_t id = 0;
    bool subdirectory = false;
    uint32_t target = 0;
};

// Offsets inside the resource tree count from the start of the tree.
inline bool ReadResourceDirectory(const Image &image, uint32_t root, uint32_t offset,
                                  std::vector<ResourceDirEntry> *entries, std::string *error,
                                  uint32_t *timeDateStamp = nullptr) {
    entries->clear();
    uint32_t at;
    if (!RvaToOffset(image, root + offset, 16, &at))
        return Fail(error, "resource directory at " + Hex(offset) + " is outside the file");
    if (timeDateStamp)
        *timeDateStamp = Get32(image.bytes, at + 4);
    uint32_t count =
        static_cast<uint32_t>(Get16(image.bytes, at + 12)) + Get16(image.bytes, at + 14);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t entryAt;
        if (!RvaToOffset(image, root + offset + 16 + i * 8, 8, &entryAt))
            return Fail(error,
                        "resource directory entry at " + Hex(offset) + " is outside the file");
        uint32_t name = Get32(image.bytes, entryAt);
        uint32_t target = Get32(image.bytes, entryAt + 4);
        ResourceDirEntry entry;
        entry.named = (name & 0x80000000u) != 0;
        entry.nameOffset = name & 0x7fffffffu;
        entry.id = static_cast<uint16_t>(name);
        entry.subdirectory = (target & 0x80000000u) != 0;
        entry.target = target & 0x7fffffffu;
        entries->push_back(entry);
    }
    return true;
}

// Resource names are UTF-16; the names checked here are ASCII, so anything
// else becomes '?' rather than a false match.
inline bool ReadResourceName(const Image &image, uint32_t root, uint32_t offset, std::string *name,
                             std::string *error) {
    name->clear();
    uint32_t at;
    if (!RvaToOffset(image, root + offset, 2, &at))
        return Fail(error, "resource name at " + Hex(offset) + " is outside the file");
    uint32_t length = Get16(image.bytes, at);
    uint32_t textAt;
    if (!RvaToOffset(image, root + offset + 2, length * 2, &textAt))
        return Fail(error, "resource name at " + Hex(offset) + " runs past the file");
    for (uint32_t i = 0; i < length; ++i) {
        uint16_t unit = Get16(image.bytes, textAt + i * 2);
        name->push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return true;
}

inline bool ReadResources(const Image &image, uint16_t type, std::vector<Resource> *resources,
                          std::string *error) {
    resources->clear();
    uint32_t root = Directory(image, kDirResource).rva;
    if (root == 0)
        return true;

    std::vector<ResourceDirEntry> types;
    if (!ReadResourceDirectory(image, root, 0, &types, error))
        return false;
    const ResourceDirEntry *typeEntry = nullptr;
    for (const ResourceDirEntry &entry : types)
        if (!entry.named && entry.id == type)
            typeEntry = &entry;
    if (!typeEntry)
        return true;
    if (!typeEntry->subdirectory)
        return Fail(error,
                    "resource type " + std::to_string(type) + " has data where its names belong");

    std::vector<ResourceDirEntry> names;
    if (!ReadResourceDirectory(image, root, typeEntry->target, &names, error))
        return false;
    for (const ResourceDirEntry &entry : names) {
        Resource resource;
        resource.named = entry.named;
        resource.id = entry.named ? 0 : entry.id;
        if (entry.named && !ReadResourceName(image, root, entry.nameOffset, &resource.name, error))
            return false;
        std::string label = entry.named ? resource.name : std::to_string(entry.id);
        if (!entry.subdirectory)
            return Fail(error, "resource " + label + " has no language level");

        std::vector<ResourceDirEntry> languages;
        if (!ReadResourceDirectory(image, root, entry.target, &languages, error))
            return false;
        if (languages.empty())
            return Fail(error, "resource " + label + " has no language entry");
        if (languages[0].subdirectory)
            return Fail(error, "resource " + label + " nests deeper than a language");
        uint32_t dataAt;
        if (!RvaToOffset(image, root + languages[0].target, 16, &dataAt))
            return Fail(error, "data entry of resource " + label + " is outside the file");
        resource.dataRva = Get32(image.bytes, dataAt);
        resource.dataSize = Get32(image.bytes, dataAt + 4);
        uint32_t contentAt;
        if (!RvaToOffset(image, resource.dataRva, resource.dataSize, &contentAt))
            return Fail(error, "data of resource " + label + " is outside the file");
        resources->push_back(resource);
    }
    return true;
}

// Every directory of the resource tree (types, names, languages) has a time
// stamp of its own. Collects them all, root first.
inline bool ReadResourceTimeStamps(const Image &image, std::vector<uint32_t> *stamps,
                                   std::string *error) {
    stamps->clear();
    uint32_t root = Directory(image, kDirResource).rva;
    if (root == 0)
        return true;
    std::vector<uint32_t> level = {0};
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
        std::vector<uint32_t> next;
        for (uint32_t offset : level) {
            std::vector<ResourceDirEntry> entries;
            uint32_t stamp;
            if (!ReadResourceDirectory(image, root, offset, &entries, error, &stamp))
                return false;
            stamps->push_back(stamp);
            for (const ResourceDirEntry &entry : entries)
                if (entry.subdirectory)
                    next.push_back(entry.target);
            if (next.size() > kMaxTableEntries)
                return Fail(error, "resource tree has more directories than is plausible");
        }
        level = next;
    }
    if (!level.empty())
        return Fail(error, "resource tree nests deeper than type, name and language");
    return true;
}

// The bytes of a resource found by ReadResources, which has checked that
// they lie inside the file.
inline std::vector<uint8_t> ResourceData(const Image &image, const Resource &resource) {
    uint32_t at;
    if (!RvaToOffset(image, resource.dataRva, resource.dataSize, &at))
        return {};
    return std::vector<uint8_t>(image.bytes.begin() + at,
                                image.bytes.begin() + at + resource.dataSize);
}

// The version resource (RT_VERSION): the fixed numbers Windows compares and
// the strings Explorer shows under the file's properties.
struct VersionString {
    std::string name;
    std::string value;
};

struct StringTable {
    std::string key; // language and code page as eight hex digits, "040904B0"
    std::vector<VersionString> strings;
};

struct VersionInfo {
    uint32_t signature = 0;
    uint32_t fileVersionMs = 0;
    uint32_t fileVersionLs = 0;
    uint32_t productVersionMs = 0;
    uint32_t productVersionLs = 0;
    uint32_t fileOs = 0;
    uint32_t fileType = 0;
    uint32_t fileDateMs = 0;
    uint32_t fileDateLs = 0;
    std::vector<StringTable> stringTables;
    std::vector<uint32_t> translations; // language in the low word, code page in the high
};

// One node of the version tree: length, value length, type, a UTF-16 key,
// then the value and the children, each starting on a four-byte boundary.
struct VersionNode {
    std::string key;
    bool text = false;
    uint32_t valueAt = 0;
    uint32_t valueSize = 0; // bytes
    uint32_t childrenAt = 0;
    uint32_t end = 0;
};

inline uint32_t Align4(uint32_t at) { return (at + 3) & ~3u; }

// Reads UTF-16 up to a terminating zero before limit; non-ASCII becomes '?',
// as the texts checked here are ASCII.
inline bool ReadUtf16(const std::vector<uint8_t> &data, uint32_t at, uint32_t limit,
                      std::string *text, uint32_t *after) {
    text->clear();
    for (; at + 2 <= limit; at += 2) {
        uint16_t unit = Get16(data, at);
        if (unit == 0) {
            *after = at + 2;
            return true;
        }
        text->push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return false;
}

inline bool ReadVersionNode(const std::vector<uint8_t> &data, uint32_t at, uint32_t limit,
                            VersionNode *node, std::string *error) {
    *node = VersionNode();
    if (at > limit || limit - at < 6)
        return Fail(error, "version node at " + Hex(at) + " does not fit in its parent");
    uint32_t length = Get16(data, at);
    uint32_t valueLength = Get16(data, at + 2);
    uint32_t type = Get16(data, at + 4);
    if (length < 6 || length > limit - at)
        return Fail(error, "version node at " + Hex(at) + " claims " + std::to_string(length) +
                               " bytes where " + std::to_string(limit - at) + " are left");
    node->end = at + length;
    uint32_t keyEnd;
    if (!ReadUtf16(data, at + 6, node->end, &node->key, &keyEnd))
        return Fail(error, "key of version node at " + Hex(at) + " runs past the node");
    // A text value's length counts UTF-16 units, a binary one's bytes.
    node->text = type == 1;
    node->valueAt = Align4(keyEnd);
    node->valueSize = node->text ? valueLength * 2 : valueLength;
    if (node->valueSize > 0 &&
        (node->valueAt > node->end || node->valueSize > node->end - node->valueAt))
        return Fail(error, "value of \"" + node->key + "\" runs past its node");
    node->childrenAt = Align4(node->valueAt + node->valueSize);
    return true;
}

inline bool ReadVersionChildren(const std::vector<uint8_t> &data, const VersionNode &parent,
                                std::vector<VersionNode> *children, std::string *error) {
    children->clear();
    for (uint32_t at = parent.childrenAt; at < parent.end; at = Align4(children->back().end)) {
        if (children->size() == kMaxTableEntries)
            return Fail(error, "\"" + parent.key + "\" has more children than is plausible");
        VersionNode child;
        if (!ReadVersionNode(data, at, parent.end, &child, error))
            return false;
        children->push_back(child);
    }
    return true;
}

inline bool ParseVersionInfo(const std::vector<uint8_t> &data, VersionInfo *info,
                             std::string *error) {
    *info = VersionInfo();
    VersionNode root;
    if (!ReadVersionNode(data, 0, static_cast<uint32_t>(data.size()), &root, error))
        return false;
    if (root.key != "VS_VERSION_INFO")
        return Fail(error, "version resource is keyed \"" + root.key + "\", not VS_VERSION_INFO");
    if (root.valueSize < 52)
        return Fail(error, "fixed file information has " + std::to_string(root.valueSize) +
                               " bytes, not 52");
    uint32_t fixed = root.valueAt;
    info->signature = Get32(data, fixed);
    info->fileVersionMs = Get32(data, fixed + 8);
    info->fileVersionLs = Get32(data, fixed + 12);
    info->productVersionMs = Get32(data, fixed + 16);
    info->productVersionLs = Get32(data, fixed + 20);
    info->fileOs = Get32(data, fixed + 32);
    info->fileType = Get32(data, fixed + 36);
    info->fileDateMs = Get32(data, fixed + 44);
    info->fileDateLs = Get32(data, fixed + 48);

    std::vector<VersionNode> blocks;
    if (!ReadVersionChildren(data, root, &blocks, error))
        return false;
    for (const VersionNode &block : blocks) {
        std::vector<VersionNode> entries;
        if (!ReadVersionChildren(data, block, &entries, error))
            return false;
        for (const VersionNode &entry : entries) {
            if (block.key == "StringFileInfo") {
                StringTable table;
                table.key = entry.key;
                std::vector<VersionNode> strings;
                if (!ReadVersionChildren(data, entry, &strings, error))
                    return false;
                for (const VersionNode &string : strings) {
                    VersionString value;
                    value.name = string.key;
                    uint32_t after;
                    // The stored length may or may not count the terminating zero.
                    if (string.valueSize > 0 &&
                        !ReadUtf16(data, string.valueAt, string.end, &value.value, &after))
                        return Fail(error, "value of \"" + string.key + "\" has no end");
                    table.strings.push_back(value);
                }
                info->stringTables.push_back(table);
            } else if (block.key == "VarFileInfo" && entry.key == "Translation") {
                for (uint32_t i = 0; i + 4 <= entry.valueSize; i += 4)
                    info->translations.push_back(Get32(data, entry.valueAt + i));
            }
        }
    }
    return true;
}

} // namespace pe
