// The staged SDK's layout and the files that are made, not built: the
// licence text, the wizard's pictures and icon, the compiled help; and the
// built programs' headers (no time stamp, no compiler DLL).
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/product_names.h"
#include "test_support.h"

// The system's compiled-help storage (itss), which the help viewer reads
// help files through; only the operations used here are declared. Outside
// the anonymous namespace: with internal linkage the compiler would take an
// object of it for impossible, as nothing here implements it.
struct IITStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD,
                                                     IStorage**) = 0;
};

namespace {

uint32_t U32(const std::string& b, size_t at) {
    if (at + 4 > b.size()) return 0;
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

std::vector<std::wstring> FolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (wcscmp(entry.cFileName, L".") && wcscmp(entry.cFileName, L"..")) names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(StagedSdk, HasThePackageLayoutWithItsNamesAsWritten) {
    const std::vector<std::wstring> expected = {
        L"Bin", L"Help", L"Images", L"Main", L"Redistributables", L"Samples", L"Sys32", L"include", L"lib"};
    EXPECT_EQ(FolderNames(Stage(L"")), expected);
    for (const wchar_t* file :
         {L"Main\\" KVN_NAME_UNINSTALL_PROGRAM, L"Main\\ReadMe.txt", L"Main\\License.txt",
          L"Bin\\" KVN_NAME_DEMO_PROGRAM, L"Sys32\\KVNBarcodeRT.dll", L"include\\kvnbarcode.h",
          L"lib\\KVNBarcodeRT.lib", L"Help\\kvnbarcode.chm", L"Help\\Java\\docs\\index.html",
          L"Samples\\ReadMe.txt", L"Samples\\C\\read_barcode.c", L"Samples\\CSharp\\ReadBarcode.cs",
          L"Samples\\Java\\ReadBarcode.java", L"Images\\ReadMe.txt", L"Images\\korvane_sdk.bmp",
          L"Redistributables\\KVNBarcodeRT.dll", L"Redistributables\\ReadMe.txt"})
        EXPECT_TRUE(PathExists(Stage(file))) << file;
    // Main and Bin both land in the installation folder: no name may clash.
    for (const std::wstring& name : FolderNames(Stage(L"Main")))
        EXPECT_FALSE(PathExists(Stage(L"Bin\\" + name))) << name;

    std::string licence, agreement, readme;
    ASSERT_TRUE(ReadBytes(Stage(L"Main\\License.txt"), &licence));
    ASSERT_TRUE(ReadBytes(Source(L"wizard\\res\\agreement.txt"), &agreement));
    EXPECT_EQ(licence, agreement);
    // Text files are staged with CR LF line ends.
    ASSERT_TRUE(ReadBytes(Stage(L"Main\\ReadMe.txt"), &readme));
    for (size_t i = readme.find('\n'); i != std::string::npos; i = readme.find('\n', i + 1))
        ASSERT_TRUE(i > 0 && readme[i - 1] == '\r') << "bare line feed at " << i;
}

// Import names and time stamps of a PE file.
struct PeFacts {
    bool valid = false;
    uint32_t headerStamp = 1;
    uint32_t exportStamp = 0;
    std::set<std::string> imports;
};

PeFacts ReadPe(const std::wstring& path) {
    PeFacts facts;
    std::string b;
    if (!ReadBytes(path, &b) || b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z') return facts;
    const size_t pe = U32(b, 0x3C);
    if (U32(b, pe) != 0x4550) return facts;  // "PE\0\0"
    facts.headerStamp = U32(b, pe + 8);
    const size_t sections = U16(b, pe + 6);
    const size_t optional = pe + 24;
    const size_t table = optional + U16(b, pe + 20);
    auto toOffset = [&](uint32_t rva) -> size_t {
        for (size_t s = 0; s < sections; ++s) {
            const size_t h = table + 40 * s;
            const uint32_t va = U32(b, h + 12), raw = U32(b, h + 20), size = U32(b, h + 16);
            if (rva >= va && rva < va + size) return raw + (rva - va);
        }
        return 0;
    };
    // The data directories follow the optional header's fixed part, 16 bytes
    // further in PE32+ (magic 0x20B) than in PE32.
    const size_t directories = optional + (U16(b, optional) == 0x20B ? 112 : 96);
    const uint32_t exportRva = U32(b, directories);
    if (exportRva) facts.exportStamp = U32(b, toOffset(exportRva) + 4);
    const uint32_t importRva = U32(b, directories + 8);
    for (size_t d = toOffset(importRva); d && U32(b, d + 12); d += 20) {
        std::string name = b.c_str() + toOffset(U32(b, d + 12));
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        facts.imports.insert(name);
    }
    facts.valid = true;
    return facts;
}

TEST(StagedSdk, ProgramsAreReproducibleAndSelfContained) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "advapi32.dll", "shell32.dll", "msvcrt.dll"};
    for (const wchar_t* file :
         {L"Main\\" KVN_NAME_UNINSTALL_PROGRAM, L"Bin\\" KVN_NAME_DEMO_PROGRAM, L"Sys32\\KVNBarcodeRT.dll"}) {
        const PeFacts facts = ReadPe(Stage(file));
        ASSERT_TRUE(facts.valid) << file;
        EXPECT_EQ(facts.headerStamp, 0u) << file;
        EXPECT_EQ(facts.exportStamp, 0u) << file;
        EXPECT_FALSE(facts.imports.empty()) << file;
        for (const std::string& dll : facts.imports)
            EXPECT_TRUE(system.count(dll)) << file << " needs " << dll;
    }
}

TEST(AgreementText, IsCrLfCodePage1252WithTheRegisteredSign) {
    std::string text;
    ASSERT_TRUE(ReadBytes(Source(L"wizard\\res\\agreement.txt"), &text));
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    int lines = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare carriage return at " << i;
        } else if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
            // The agreement page shows the text in 9-point Courier New without
            // wrapping; longer lines would need sideways scrolling.
            EXPECT_LE(i - 1 - start, 60u) << "line " << lines + 1;
            ++lines;
            start = i + 1;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // Bytes that code page 1252 leaves undefined, and other control codes.
        EXPECT_FALSE(c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) << i;
        EXPECT_FALSE(c < 0x20 && c != '\r' && c != '\n') << i;
    }
    EXPECT_GE(lines, 90);
    EXPECT_LE(lines, 100);
    EXPECT_GE(std::count(text.begin(), text.end(), '\xAE'), 2);

    std::vector<wchar_t> wide(text.size() + 1);
    const int n = MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                      wide.data(), static_cast<int>(wide.size()));
    ASSERT_EQ(n, static_cast<int>(text.size()));
    EXPECT_NE(std::wstring(wide.data(), static_cast<size_t>(n)).find(L"" KVN_NAME_PRODUCT_DISPLAY),
              std::wstring::npos);
}

struct BmpFacts {
    int32_t width = 0, height = 0;
    uint16_t bits = 0;
    uint32_t compression = 99, offset = 0;
};

BmpFacts ReadBmp(const std::string& b) {
    BmpFacts f;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || U32(b, 2) != b.size()) return f;
    f.offset = U32(b, 10);
    f.width = static_cast<int32_t>(U32(b, 18));
    f.height = static_cast<int32_t>(U32(b, 22));
    f.bits = U16(b, 28);
    f.compression = U32(b, 30);
    return f;
}

// The picture loads through the system's own loader at its size.
void ExpectLoads(const std::wstring& path, int width, int height) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << path.c_str();
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, width);
    EXPECT_EQ(dib.dsBm.bmHeight, height);
    DeleteObject(bitmap);
}

TEST(WizardPictures, WatermarkAndHeaderAre24BitsAtTheirSizesAndDrawn) {
    const struct {
        const wchar_t* file;
        int width, height;
    } pictures[] = {{L"wizard\\res\\watermark.bmp", 164, 370}, {L"wizard\\res\\header.bmp", 48, 49}};
    for (const auto& p : pictures) {
        std::string b;
        ASSERT_TRUE(ReadBytes(Source(p.file), &b)) << p.file;
        const BmpFacts f = ReadBmp(b);
        EXPECT_EQ(f.width, p.width) << p.file;
        EXPECT_EQ(f.height, p.height) << p.file;  // positive: bottom-up rows
        EXPECT_EQ(f.bits, 24) << p.file;
        EXPECT_EQ(f.compression, 0u) << p.file;
        ExpectLoads(Source(p.file), p.width, p.height);

        // Designed, not blank: many colours, mostly blue where not white.
        const size_t row = (static_cast<size_t>(p.width) * 3 + 3) & ~static_cast<size_t>(3);
        std::set<uint32_t> colours;
        long blue = 0, red = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const size_t at = f.offset + static_cast<size_t>(y) * row + static_cast<size_t>(x) * 3;
                const uint32_t pixel = U32(b, at) & 0xFFFFFF;
                colours.insert(pixel);
                if (pixel == 0xFFFFFF) continue;  // the header's white surround
                blue += static_cast<uint8_t>(b[at]);
                red += static_cast<uint8_t>(b[at + 2]);
            }
        EXPECT_GT(colours.size(), 100u) << p.file;
        EXPECT_GT(blue, red * 3 / 2) << p.file;
    }
}

TEST(WizardPictures, CheckBoxStripHoldsBlankEmptyAndCrossedBoxesOnWhite) {
    std::string b;
    ASSERT_TRUE(ReadBytes(Source(L"wizard\\res\\checkboxes.bmp"), &b));
    const BmpFacts f = ReadBmp(b);
    ASSERT_EQ(f.width, 48);
    ASSERT_EQ(f.height, 16);
    ASSERT_EQ(f.bits, 4);
    ASSERT_EQ(f.compression, 0u);
    ExpectLoads(Source(L"wizard\\res\\checkboxes.bmp"), 48, 16);
    // Colour of a pixel (x, y from the top) through the palette.
    auto colour = [&](int x, int y) {
        const size_t at = f.offset + static_cast<size_t>(15 - y) * 24 + static_cast<size_t>(x / 2);
        const int index = x % 2 ? (static_cast<uint8_t>(b[at]) & 0xF) : (static_cast<uint8_t>(b[at]) >> 4);
        return U32(b, 54 + 4 * static_cast<size_t>(index)) & 0xFFFFFF;
    };
    const uint32_t white = 0xFFFFFF;
    int dark[3] = {0, 0, 0};
    for (int image = 0; image < 3; ++image)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (colour(image * 16 + x, y) != white) ++dark[image];
    EXPECT_EQ(dark[0], 0);  // blank
    EXPECT_GT(dark[1], 30);
    EXPECT_GT(dark[2], dark[1] + 10);
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 16; ++x) {
            // Both boxes share one frame; the first is empty inside it.
            if (colour(16 + x, y) != white) {
                EXPECT_EQ(colour(32 + x, y), colour(16 + x, y)) << x << "," << y;
            }
            // Box and cross look the same from either side.
            EXPECT_EQ(colour(32 + x, y) != white, colour(48 - x, y) != white) << x << "," << y;
        }
    EXPECT_EQ(colour(16 + 8, 8), white);
    EXPECT_NE(colour(32 + 8, 8), white);
    for (int x = 0; x < 48; ++x) EXPECT_EQ(colour(x, 0), white) << "top row, " << x;
}

TEST(WizardPictures, IconHolds16_32And48PixelImagesWithAlpha) {
    std::string b;
    ASSERT_TRUE(ReadBytes(Source(L"wizard\\res\\setup.ico"), &b));
    ASSERT_EQ(U16(b, 0), 0);
    ASSERT_EQ(U16(b, 2), 1);
    ASSERT_EQ(U16(b, 4), 3);
    const int sizes[] = {16, 32, 48};
    for (size_t i = 0; i < 3; ++i) {
        const size_t entry = 6 + 16 * i;
        const int size = sizes[i];
        EXPECT_EQ(static_cast<uint8_t>(b[entry]), size);
        EXPECT_EQ(static_cast<uint8_t>(b[entry + 1]), size);
        EXPECT_EQ(U16(b, entry + 6), 32);
        const size_t bytes = U32(b, entry + 8), offset = U32(b, entry + 12);
        ASSERT_LE(offset + bytes, b.size());
        EXPECT_EQ(static_cast<int32_t>(U32(b, offset + 8)), 2 * size);  // colour and mask
        const size_t mask = static_cast<size_t>(((size + 31) / 32) * 4 * size);
        EXPECT_EQ(bytes, 40 + static_cast<size_t>(size * size * 4) + mask);
        // Transparent corners, a solid centre and soft edges.
        std::set<int> alphas;
        for (int p = 0; p < size * size; ++p)
            alphas.insert(static_cast<uint8_t>(b[offset + 40 + 4 * static_cast<size_t>(p) + 3]));
        EXPECT_TRUE(alphas.count(0) && alphas.count(255)) << size;
        EXPECT_GT(alphas.size(), 3u) << size;

        HICON icon = static_cast<HICON>(LoadImageW(nullptr, Source(L"wizard\\res\\setup.ico").c_str(),
                                                   IMAGE_ICON, size, size, LR_LOADFROMFILE));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

const CLSID kItStorageClass = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kItStorageInterface = {
    0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

std::string ReadHelpTopic(const std::wstring& chm, const std::wstring& topic) {
    IITStorage* storages = nullptr;
    if (FAILED(CoCreateInstance(kItStorageClass, nullptr, CLSCTX_INPROC_SERVER, kItStorageInterface,
                                reinterpret_cast<void**>(&storages))))
        return "";
    IStorage* help = nullptr;
    std::string content;
    if (SUCCEEDED(storages->StgOpenStorage(chm.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr,
                                           0, &help))) {
        IStream* stream = nullptr;
        if (SUCCEEDED(
                help->OpenStream(topic.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
            char buffer[4096];
            ULONG got = 0;
            while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0)
                content.append(buffer, got);
            stream->Release();
        }
        help->Release();
    }
    storages->Release();
    return content;
}

TEST(CompiledHelp, OpensThroughTheSystemsHelpStorageWithItsTopics) {
    std::string b;
    ASSERT_TRUE(ReadBytes(Stage(L"Help\\kvnbarcode.chm"), &b));
    ASSERT_EQ(b.substr(0, 4), "ITSF");
    EXPECT_EQ(U32(b, 16), 0u);  // no build time stamp: the same sources give the same file
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    const std::string index = ReadHelpTopic(Stage(L"Help\\kvnbarcode.chm"), L"index.html");
    EXPECT_NE(index.find("<title>Korvane Barcode Reader SDK</title>"), std::string::npos) << index;
    const std::string api = ReadHelpTopic(Stage(L"Help\\kvnbarcode.chm"), L"api.html");
    EXPECT_NE(api.find("KvnDecodeScanLine"), std::string::npos);
    EXPECT_NE(ReadHelpTopic(Stage(L"Help\\kvnbarcode.chm"), L"toc.hhc").find("getting_started.html"),
              std::string::npos);
    EXPECT_EQ(ReadHelpTopic(Stage(L"Help\\kvnbarcode.chm"), L"no_such_topic.html"), "");
    CoUninitialize();
}

}  // namespace
