// The generated SDK tree: its shape at full scale, its determinism, the
// bytes of each kind of file, and writing and comparing trees on disk.
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "bench/content.h"
#include "bench/tree_files.h"
#include "bench/tree_plan.h"
#include "tests/native/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

double CompressedShare(const std::string& bytes) {
    uLongf size = compressBound(bytes.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(bytes.data()),
              bytes.size(), 9);
    return static_cast<double>(size) / bytes.size();
}

TEST(TreePlan, FullScaleHasTheSizeAndMixOfTheSdk) {
    const TreePlan plan = PlanSdkTree(TreeShape());
    const PlanStats stats = Measure(plan);
    EXPECT_GE(stats.files, 1300u);
    EXPECT_LE(stats.files, 1500u);
    EXPECT_GE(stats.folders, 110u);
    EXPECT_LE(stats.folders, 130u);
    EXPECT_NEAR(stats.bytes / 1e6, 50.0, 0.5);
    EXPECT_NEAR(static_cast<double>(stats.binaryBytes) / stats.bytes, 0.405, 0.005);
    // The largest file bounds the extraction's own memory beyond the two blocks.
    uint64_t largest = 0;
    for (const PlannedFile& f : plan.files) largest = std::max(largest, f.size);
    EXPECT_EQ(largest, stats.largestFile);
    EXPECT_LT(largest, 3u * 1000 * 1000);
}

TEST(TreePlan, EveryPathCanBePackedAndInstalled) {
    for (double scale : {1.0, 0.02}) {
        TreeShape shape;
        shape.scale = scale;
        const TreePlan plan = PlanSdkTree(shape);
        std::set<std::string> folders, folded;
        for (const std::string& folder : plan.folders) {
            const std::string parent = ParentOf(folder);
            EXPECT_TRUE(parent.empty() || folders.count(parent)) << folder << " comes before its parent";
            folders.insert(folder);
            EXPECT_TRUE(folded.insert(Lower(folder)).second) << folder << " twice (ignoring case)";
        }
        for (const PlannedFile& file : plan.files) {
            EXPECT_TRUE(folders.count(ParentOf(file.path))) << file.path << " has no folder";
            EXPECT_TRUE(folded.insert(Lower(file.path)).second) << file.path << " twice (ignoring case)";
            EXPECT_LT(file.path.size(), 150u) << file.path;
        }
        for (const char* required : kRequiredFiles) EXPECT_TRUE(folded.count(Lower(required))) << required;
        for (const char* top :
             {"Main", "Bin", "Help", "Samples", "Images", "include", "lib", "Redistributables", "Sys32"})
            EXPECT_TRUE(folders.count(top)) << top;
    }
}

TEST(TreePlan, TheSameSeedGivesTheSameTreeAndAnotherSeedOtherBytes) {
    TreeShape shape;
    shape.scale = 0.05;
    const TreePlan a = PlanSdkTree(shape), b = PlanSdkTree(shape);
    ASSERT_EQ(a.files.size(), b.files.size());
    for (size_t i = 0; i < a.files.size(); ++i) {
        EXPECT_EQ(a.files[i].path, b.files[i].path);
        EXPECT_EQ(a.files[i].size, b.files[i].size);
        EXPECT_EQ(a.files[i].seed, b.files[i].seed);
    }
    shape.seed += 1;
    const TreePlan c = PlanSdkTree(shape);
    std::string first, other;
    MakeContent(a.files[0], first);
    MakeContent(c.files[0], other);
    EXPECT_NE(first, other);
}

TEST(TreePlan, ASmallerScaleShrinksFilesAndBytesButKeepsTheLayout) {
    TreeShape shape;
    shape.scale = 0.02;
    const PlanStats small = Measure(PlanSdkTree(shape));
    const PlanStats full = Measure(PlanSdkTree(TreeShape()));
    EXPECT_LT(small.files, full.files / 3);
    EXPECT_NEAR(small.bytes / 1e6, 1.0, 0.05);
    EXPECT_EQ(small.folders, full.folders);
    EXPECT_GT(small.binaryFiles, 0u);
}

TEST(Content, EveryKindHasExactlyItsSizeAndTheSameBytesEachTime) {
    const ContentKind kinds[] = {ContentKind::Binary, ContentKind::Header, ContentKind::Source,
                                 ContentKind::Html,   ContentKind::Text,   ContentKind::Xml};
    for (ContentKind kind : kinds) {
        for (uint64_t size : {1ull, 3ull, 64ull, 1000ull, 70001ull}) {
            PlannedFile file;
            file.path = "Bin/x.exe";
            file.kind = kind;
            file.size = size;
            file.seed = 42;
            std::string a, b;
            MakeContent(file, a);
            MakeContent(file, b);
            EXPECT_EQ(size, a.size()) << static_cast<int>(kind);
            EXPECT_EQ(a, b);
        }
    }
}

TEST(Content, BinariesDoNotCompressAndTextDoes) {
    PlannedFile file;
    file.size = 256 * 1024;
    file.seed = 7;
    std::string bytes;
    file.kind = ContentKind::Binary;
    file.path = "Main/x.dll";
    MakeContent(file, bytes);
    EXPECT_GT(CompressedShare(bytes), 0.99);
    for (ContentKind kind :
         {ContentKind::Header, ContentKind::Source, ContentKind::Html, ContentKind::Xml, ContentKind::Text}) {
        file.kind = kind;
        MakeContent(file, bytes);
        const double share = CompressedShare(bytes);
        EXPECT_LT(share, 0.40) << static_cast<int>(kind);
        EXPECT_GT(share, 0.05) << static_cast<int>(kind);  // not one repeated block either
    }
}

TEST(Content, TextFilesHoldOnlyPrintableTextOfTheirKind) {
    TreeShape shape;
    shape.scale = 0.05;
    std::string bytes;
    for (const PlannedFile& file : PlanSdkTree(shape).files) {
        if (file.kind == ContentKind::Binary) continue;
        MakeContent(file, bytes);
        const auto bad = std::find_if(bytes.begin(), bytes.end(), [](char c) {
            const unsigned char u = static_cast<unsigned char>(c);
            return !(u == '\n' || u == '\r' || u == '\t' || (u >= 0x20 && u < 0x7F));
        });
        ASSERT_EQ(bytes.end(), bad) << file.path << " at " << (bad - bytes.begin());
        if (file.kind == ContentKind::Html && file.size > 200) {
            EXPECT_EQ(0, bytes.compare(0, 9, "<!DOCTYPE")) << file.path;
        }
        if ((file.kind == ContentKind::Header || file.kind == ContentKind::Source) && file.size > 200) {
            EXPECT_EQ(0, bytes.compare(0, 2, "/*")) << file.path;
        }
    }
}

TEST(Content, BinariesStartWithTheirFormatsSignatureEvenWhenShorter) {
    PlannedFile file;
    file.kind = ContentKind::Binary;
    file.seed = 3;
    file.size = 4096;
    std::string bytes;
    file.path = "Bin/demo.exe";
    MakeContent(file, bytes);
    EXPECT_EQ(0, bytes.compare(0, 2, "MZ"));
    file.path = "Images/a/sample.png";
    MakeContent(file, bytes);
    EXPECT_EQ(0, bytes.compare(0, 8, "\x89PNG\r\n\x1a\n"));
    file.size = 3;  // shorter than the signature: cut, never longer
    MakeContent(file, bytes);
    EXPECT_EQ(std::string("\x89PN"), bytes);
}

TEST(TreeFiles, AWrittenTreeEqualsItselfAndEveryKindOfDifferenceIsFound) {
    TempFolder folder("trees");
    TreeShape shape;
    shape.scale = 0.01;
    const TreePlan plan = PlanSdkTree(shape);
    std::string error;
    const fs::path a = folder.path() / "a", b = folder.path() / "b";
    ASSERT_TRUE(WriteTree(plan, a, error)) << error;
    ASSERT_TRUE(WriteTree(plan, b, error)) << error;
    EXPECT_TRUE(CompareTrees(a, b).empty());
    for (const PlannedFile& f : plan.files) {
        ASSERT_EQ(f.size, fs::file_size(a / f.path)) << f.path;
    }

    // A changed byte of the same length, a missing file, an extra file, a folder for a file.
    const std::string changed = plan.files[0].path;
    {
        std::fstream f(b / changed, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(plan.files[0].size / 2));
        f.put('\x01');
    }
    const std::string missing = plan.files[1].path;
    fs::remove(b / missing);
    std::ofstream(b / "Main" / "extra.txt") << "x";
    const std::string kind = plan.files[2].path;
    fs::remove(b / kind);
    fs::create_directory(b / kind);

    const std::vector<std::string> problems = CompareTrees(a, b);
    auto has = [&](const std::string& text) {
        return std::any_of(problems.begin(), problems.end(), [&](const std::string& p) { return p == text; });
    };
    EXPECT_TRUE(has(changed + ": different bytes")) << changed;
    EXPECT_TRUE(has(missing + ": missing"));
    EXPECT_TRUE(has("Main/extra.txt: not expected"));
    EXPECT_TRUE(has(kind + ": a file was expected"));
    EXPECT_EQ(4u, problems.size());
}

TEST(TreeFiles, WritingRefusesAFolderThatHoldsSomething) {
    TempFolder folder("refuse");
    std::ofstream(folder.path() / "old.txt") << "old";
    TreeShape shape;
    shape.scale = 0.01;
    std::string error;
    EXPECT_FALSE(WriteTree(PlanSdkTree(shape), folder.path(), error));
    EXPECT_NE(std::string::npos, error.find("not empty"));
    EXPECT_TRUE(fs::exists(folder.path() / "old.txt"));
}

}  // namespace
