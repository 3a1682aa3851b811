// Reads the built module the way a host does: loads it, finds the property list and the terminology,
// calls up the entry point by the name found there, and reads the version, the messages and the
// manifest. The expected bytes are assembled here from the published layout, not copied from the
// resource sources, so that a wrong length, a code with its characters in the wrong order or a lost
// padding byte shows up. The module's import and export tables are read too: a module that needs a
// runtime DLL beside it, or exports more or less than hosts look for, fails in a real host long before
// any resource matters.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian byte strings, written the way the layouts are described.
class ByteBuilder
{
public:
    ByteBuilder& Byte(uint8_t value)
    {
        bytes_.push_back(value);
        return *this;
    }
    ByteBuilder& Word(uint16_t value) { return Byte(uint8_t(value)).Byte(uint8_t(value >> 8)); }
    ByteBuilder& Long(uint32_t value) { return Word(uint16_t(value)).Word(uint16_t(value >> 16)); }
    // A four-character code is the 32-bit value of its characters read left to right.
    ByteBuilder& Code(const char (&code)[5])
    {
        return Long(uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
                    uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3])));
    }
    ByteBuilder& Text(const std::string& text)
    {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    ByteBuilder& Pascal(const std::string& text) { return Byte(uint8_t(text.size())).Text(text); }
    Bytes Get() const { return bytes_; }

private:
    Bytes bytes_;
};

uint16_t Word16(const Bytes& bytes, size_t at)
{
    return uint16_t(bytes.at(at) | bytes.at(at + 1) << 8);
}
uint32_t Long32(const Bytes& bytes, size_t at)
{
    return Word16(bytes, at) | uint32_t(Word16(bytes, at + 2)) << 16;
}

// Where two byte strings first differ, with the bytes around it, so a failure says what is wrong.
std::string FirstDifference(const Bytes& actual, const Bytes& expected)
{
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    if (at == actual.size() && at == expected.size())
        return "identical";
    char line[160];
    std::snprintf(line, sizeof line, "first difference at offset %zu (sizes %zu and %zu):", at, actual.size(),
                  expected.size());
    std::string text = line;
    for (const Bytes* side : {&actual, &expected}) {
        text += side == &actual ? "\n  actual:  " : "\n  expected:";
        for (size_t i = at; i < side->size() && i < at + 12; ++i) {
            std::snprintf(line, sizeof line, " %02X", (*side)[i]);
            text += line;
        }
    }
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

constexpr WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

Bytes ReadResource(HMODULE module, const char* type, WORD id, WORD language)
{
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    if (!found)
        return {};
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return data ? Bytes(data, data + SizeofResource(module, found)) : Bytes();
}

class ModuleResources : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { module_ = LoadLibraryA(CORVANE_MODULE_PATH); }
    static void TearDownTestSuite()
    {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << CORVANE_MODULE_PATH; }

    static HMODULE module_;
};

HMODULE ModuleResources::module_ = nullptr;

struct ExpectedProperty
{
    char key[5];
    uint32_t length; // as stored: a multiple of 4 that includes the zero padding
    Bytes data;      // before padding
};

std::vector<ExpectedProperty> ExpectedPiPLProperties()
{
    const char* uniqueString = "75d59f99-3ae5-401F-bf44-409a01ddec70";
    const char* enable = "in (PSHOP_ImageMode, RGBMode, GrayScaleMode, RGB48Mode, Gray16Mode, RGB96Mode, Gray32Mode)";
    ByteBuilder filterCases;
    for (int filterCase = 1; filterCase <= 7; ++filterCase)
        filterCases.Byte(1).Byte(1).Byte(0x01 | 0x04 | 0x08).Byte(0);
    return {
        {"kind", 4, ByteBuilder().Code("8BFM").Get()},
        {"name", 16, ByteBuilder().Pascal("Corvane Pro...").Byte(0).Get()},
        {"catg", 20, ByteBuilder().Pascal("Quillmark Software").Byte(0).Get()},
        {"vers", 4, ByteBuilder().Long(4u << 16 | 0u).Get()},
        {"8664", 12, ByteBuilder().Text("PluginMain").Byte(0).Get()},
        {"mode", 4, ByteBuilder().Byte(0x40 | 0x10).Byte(0).Get()},
        // The host's converter counts a 15-byte header before the string and then always pads, so
        // this length is 56 where plain rounding would give 52.
        {"hstm", 56, ByteBuilder().Long(0).Code("QMA1").Code("QMA1").Word(16000).Text(uniqueString).Byte(0).Get()},
        {"enbl", 92, ByteBuilder().Text(enable).Byte(0).Get()},
        {"ms32", 8, ByteBuilder().Long(32767).Long(32767).Get()},
        {"flly", 4, ByteBuilder().Byte(0x80).Get()},
        {"fici", 28, filterCases.Get()},
    };
}

TEST_F(ModuleResources, PiPLDeclaresTheFilterAndLeadsToItsEntryPointAndTerminology)
{
    // The code helper itself, against the byte order hosts read.
    ASSERT_EQ(ByteBuilder().Code("8BIM").Get(), (Bytes{0x4D, 0x49, 0x42, 0x38}));

    const Bytes pipl = ReadResource(module_, "PiPL", 16000, kEnglishUS);
    ASSERT_EQ(pipl.size(), 434u) << "no English (US) PiPL 16000, or one of the wrong size";
    EXPECT_EQ(Word16(pipl, 0), 1);
    EXPECT_EQ(Long32(pipl, 2), 0u);
    const std::vector<ExpectedProperty> expected = ExpectedPiPLProperties();
    ASSERT_EQ(Long32(pipl, 6), expected.size());

    // Walk the list as hosts do; every property is checked in full, padding included.
    std::string entryPoint;
    uint16_t terminologyId = 0;
    size_t at = 10;
    for (const ExpectedProperty& property : expected) {
        SCOPED_TRACE(property.key);
        ASSERT_LE(at + 16, pipl.size());
        const Bytes header(pipl.begin() + at, pipl.begin() + at + 16);
        const Bytes expectedHeader = ByteBuilder().Code("8BIM").Code(property.key).Long(0).Long(property.length).Get();
        ASSERT_TRUE(header == expectedHeader) << FirstDifference(header, expectedHeader);
        ASSERT_LE(property.data.size(), property.length) << "the expected data itself is too long";
        ASSERT_LE(at + 16 + property.length, pipl.size());
        const Bytes data(pipl.begin() + at + 16, pipl.begin() + at + 16 + property.length);
        Bytes expectedData = property.data;
        expectedData.resize(property.length, 0);
        EXPECT_TRUE(data == expectedData) << FirstDifference(data, expectedData);
        if (std::strcmp(property.key, "8664") == 0)
            entryPoint = reinterpret_cast<const char*>(data.data()); // zero-terminated, checked above
        if (std::strcmp(property.key, "hstm") == 0)
            terminologyId = Word16(data, 12);
        at += 16 + property.length;
    }
    EXPECT_EQ(at, pipl.size()) << "bytes after the last property";

    EXPECT_NE(GetProcAddress(module_, entryPoint.c_str()), nullptr) << "entry point '" << entryPoint << "'";
    EXPECT_FALSE(ReadResource(module_, "AETE", terminologyId, kEnglishUS).empty())
        << "no terminology under the id the PiPL names";
}

TEST_F(ModuleResources, TerminologyDeclaresTheElevenScriptingKeysInOrder)
{
    struct Parameter
    {
        const char* name;
        const char key[5];
        const char type[5];
        const char* description;
    };
    const Parameter parameters[] = {
        {"intensity", "Intn", "doub", "Corvane intensity"},
        {"length", "Lngt", "doub", "Corvane length"},
        {"angle", "Angl", "doub", "Corvane angle"},
        {"number of points", "numP", "long", "Corvane number of points"},
        {"spike sharpness", "spsH", "doub", "Corvane spike sharpness"},
        {"saturation", "Strt", "doub", "Corvane color saturation"},
        {"rainbow intensity", "rbwI", "doub", "Corvane rainbow intensity"},
        {"rainbow frequency", "rbwF", "doub", "Corvane rainbow frequency"},
        {"secondary spike intensity", "sspI", "doub", "Corvane secondary spike intensity"},
        {"soft flare brightness", "sflB", "doub", "Corvane soft flare brightness"},
        {"output spikes only", "opsO", "bool", "Corvane output spikes only"},
    };

    ByteBuilder expected;
    expected.Word(1).Byte(1).Byte(0).Word(0).Word(0); // reserved, version 1.0, English, Roman
    expected.Word(1).Pascal("Quillmark Software").Pascal("Quillmark Software").Code("QMA1").Word(1).Word(1);
    expected.Word(1).Pascal("Corvane Pro").Pascal("Corvane Pro filter plug-in").Code("QMA1").Code("QMA1");
    expected.Code("null").Pascal("").Word(0);      // no reply
    expected.Code("#ImR").Pascal("").Word(0xB000); // the image, optional
    expected.Word(11);
    for (const Parameter& parameter : parameters)
        expected.Pascal(parameter.name).Code(parameter.key).Code(parameter.type).Pascal(parameter.description).Word(0);
    expected.Word(0).Word(0).Word(0); // no classes, comparison operators or enumerations

    const Bytes terminology = ReadResource(module_, "AETE", 16000, kEnglishUS);
    EXPECT_TRUE(terminology == expected.Get()) << FirstDifference(terminology, expected.Get());
}

TEST_F(ModuleResources, CarriesTheHostMessagesAndTheProjectVersion)
{
    const struct
    {
        UINT id;
        const wchar_t* text;
    } messages[] = {
        {16990, L"An integer is required between ^1 and ^2."},
        {16991, L"A decimal number is required between ^1 and ^2."},
        {16992, L"This plug-in requires Adobe Photoshop\u00AE ^1 or later functionality."},
        {16993, L"This plug-in is incompatible with this version of the host program."},
        {16994, L"the required suite '^0' is unavailable"},
    };
    for (const auto& message : messages) {
        wchar_t text[256] = {};
        LoadStringW(module_, message.id, text, 256);
        EXPECT_STREQ(text, message.text) << "string " << message.id;
    }

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(CORVANE_MODULE_PATH, &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(CORVANE_MODULE_PATH, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
    const DWORD high = DWORD(CORVANE_VERSION_MAJOR) << 16 | CORVANE_VERSION_MINOR;
    const DWORD low = DWORD(CORVANE_VERSION_REVISION) << 16 | CORVANE_VERSION_BUILD;
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    const std::string text = std::to_string(CORVANE_VERSION_MAJOR) + "." + std::to_string(CORVANE_VERSION_MINOR) + "." +
                             std::to_string(CORVANE_VERSION_REVISION) + "." + std::to_string(CORVANE_VERSION_BUILD);
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
        EXPECT_STREQ(value, text.c_str()) << key;
    }
}

TEST_F(ModuleResources, ManifestGivesTheModuleVersionSixOfTheCommonControls)
{
    const Bytes manifest = ReadResource(module_, MAKEINTRESOURCEA(24), 2, kEnglishUS);
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << text;
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos) << text;

    // What the entry point does around its dialog: an activation context from this resource, and
    // the common controls loaded inside it.
    char modulePath[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(module_, modulePath, MAX_PATH), 0u);
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = modulePath;
    request.hModule = module_;
    request.lpResourceName = MAKEINTRESOURCEA(2);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest does not make an activation context";
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    // The side-by-side copy is what version 6 means. Its DllGetVersion is no help here: Wine 8's copy
    // reports 5.81 (noted 2024), so the test looks at which library was loaded.
    HMODULE controls = LoadLibraryA("comctl32.dll");
    ASSERT_NE(controls, nullptr);
    char controlsPath[MAX_PATH] = {};
    GetModuleFileNameA(controls, controlsPath, MAX_PATH);
    const std::string loaded = Lower(controlsPath);
    EXPECT_NE(loaded.find("\\winsxs\\"), std::string::npos) << controlsPath;
    EXPECT_NE(loaded.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos)
        << controlsPath;
    FreeLibrary(controls);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}

// The module's own tables, read from its image mapped without loading what it imports, so that a
// module needing a library that is not there is still examined instead of simply failing to load.
struct ImageTables
{
    explicit ImageTables(HMODULE image) : base(reinterpret_cast<const uint8_t*>(image))
    {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        headers = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    }
    template <typename T> const T* At(DWORD rva) const { return reinterpret_cast<const T*>(base + rva); }
    const IMAGE_DATA_DIRECTORY& Directory(int index) const { return headers->OptionalHeader.DataDirectory[index]; }

    std::vector<std::string> ImportedLibraries() const
    {
        std::vector<std::string> names;
        if (Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).Size == 0)
            return names;
        for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
             entry->Name != 0; ++entry)
            names.push_back(At<char>(entry->Name));
        return names;
    }
    std::vector<std::string> ExportedNames() const
    {
        std::vector<std::string> names;
        if (Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).Size == 0)
            return names;
        const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i)
            names.push_back(At<char>(At<DWORD>(exports->AddressOfNames)[i]));
        return names;
    }

    const uint8_t* base;
    const IMAGE_NT_HEADERS64* headers;
};

TEST(ModuleFile, IsA64BitDllThatNeedsOnlySystemLibrariesAndExportsItsEntryPointsByPlainName)
{
    HMODULE mapped = LoadLibraryExA(CORVANE_MODULE_PATH, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(mapped, nullptr) << "cannot map " << CORVANE_MODULE_PATH;
    const ImageTables image(mapped);
    ASSERT_EQ(image.headers->Signature, DWORD(IMAGE_NT_SIGNATURE));
    EXPECT_EQ(image.headers->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_TRUE(image.headers->FileHeader.Characteristics & IMAGE_FILE_DLL);

    // Libraries every Windows installation has. The C and C++ runtimes of the compiler are not among
    // them: a module that needs them beside it is refused by the host's loader.
    const std::set<std::string> systemLibraries = {
        "kernel32.dll", "user32.dll",  "gdi32.dll",   "comctl32.dll", "comdlg32.dll", "ole32.dll",
        "oleaut32.dll", "shell32.dll", "shlwapi.dll", "version.dll",  "advapi32.dll", "msvcrt.dll",
        "ucrtbase.dll", "uxtheme.dll", "dwmapi.dll",  "msimg32.dll",  "imm32.dll",    "winmm.dll",
    };
    const std::vector<std::string> imports = image.ImportedLibraries();
    EXPECT_FALSE(imports.empty());
    for (const std::string& library : imports) {
        const std::string name = Lower(library);
        EXPECT_TRUE(systemLibraries.count(name) != 0 || name.rfind("api-ms-win-", 0) == 0) << "imports " << library;
    }

    // Hosts call these by name; anything else exported would be the whole core leaking out.
    const std::set<std::string> entryPoints = {"PluginMain", "CorvaneProc", "DebugImageProc"};
    const std::vector<std::string> exports = image.ExportedNames();
    EXPECT_EQ(std::count(exports.begin(), exports.end(), std::string("PluginMain")), 1);
    EXPECT_EQ(std::count(exports.begin(), exports.end(), std::string("CorvaneProc")), 1);
    std::string unexpected;
    for (const std::string& name : exports)
        if (entryPoints.count(name) == 0)
            unexpected += " " + name;
    EXPECT_TRUE(unexpected.empty()) << exports.size() << " exports, unexpected:" << unexpected.substr(0, 300);
    FreeLibrary(mapped);
}

} // namespace
