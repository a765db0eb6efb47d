#include "bench/tree_plan.h"

#include <algorithm>
#include <cmath>

#include "app/product_names.h"
#include "bench/prng.h"

const char* const kRequiredFiles[5] = {"Main/" KVN_NAME_UNINSTALL_PROGRAM, "Bin/" KVN_NAME_DEMO_PROGRAM,
                                       "Help/kvnbarcode.chm", "Help/Java/docs/index.html",
                                       "Sys32/kvnbarcode_rt.dll"};

namespace {

const char* const kJavaPackages[] = {"reader",  "writer", "imaging", "symbology", "decoder",
                                     "encoder", "config", "events",  "license",   "util",
                                     "pdf",     "camera", "scanner", "batch"};
struct SampleLanguage {
    const char* folder;
    const char* source;   // extension of its sources
    const char* project;  // its project file
};
const SampleLanguage kSampleLanguages[] = {{"C", ".c", ".vcxproj"},      {"CPP", ".cpp", ".vcxproj"},
                                           {"CSharp", ".cs", ".csproj"}, {"VBNET", ".vb", ".vbproj"},
                                           {"Java", ".java", ".gradle"}, {"Delphi", ".pas", ".dproj"},
                                           {"Python", ".py", ".toml"}};
const char* const kSampleProjects[] = {"ReadFromFile", "ReadFromCamera", "BatchDecode", "WriteBarcode"};
const char* const kSymbologies[] = {"Code128", "Code39",     "EAN13",  "UPCA",
                                    "QRCode",  "DataMatrix", "PDF417", "Aztec"};
const char* const kNameWords[] = {
    "reader",      "writer",  "decoder",  "encoder",   "image",     "region",  "symbol",   "option",
    "result",      "point",   "rect",     "quad",      "module",    "bitmap",  "pixel",    "filter",
    "binarizer",   "locator", "sampler",  "grid",      "finder",    "pattern", "checksum", "format",
    "stream",      "buffer",  "license",  "session",   "settings",  "event",   "callback", "profile",
    "timeout",     "barcode", "scanner",  "camera",    "frame",     "batch",   "page",     "document",
    "orientation", "quality", "contrast", "threshold", "histogram", "kernel",  "matrix",   "vector",
    "error",       "status"};

std::string NumberedWord(const char* prefix, size_t index, const char* suffix) {
    const size_t n = sizeof kNameWords / sizeof kNameWords[0];
    std::string name = prefix;
    name += kNameWords[index % n];
    if (index >= n) name += std::to_string(index / n + 1);
    return name + suffix;
}

// Class names for the help pages: two words in CamelCase.
std::string ClassName(size_t index) {
    const size_t n = sizeof kNameWords / sizeof kNameWords[0];
    std::string a = kNameWords[index % n], b = kNameWords[(index * 7 + 3) % n];
    a[0] = static_cast<char>(a[0] - 32);
    b[0] = static_cast<char>(b[0] - 32);
    if (index >= n) b += std::to_string(index / n + 1);
    return a + b;
}

class Planner {
public:
    Planner(const TreeShape& shape) : m_shape(shape), m_random(shape.seed) {}

    void Folder(const std::string& path) { m_plan.folders.push_back(path); }

    // One file with a nominal size in KiB (rescaled later per class).
    void File(const std::string& path, ContentKind kind, double kib) {
        PlannedFile file;
        file.path = path;
        file.kind = kind;
        file.size = static_cast<uint64_t>(kib * 1024);
        file.seed = HashName(path.c_str(), m_shape.seed);
        m_plan.files.push_back(file);
    }

    // count files named by make(index), sizes drawn between low and high KiB.
    template <typename Make>
    void Files(size_t count, ContentKind kind, double lowKib, double highKib, Make make) {
        const size_t scaled = std::max<size_t>(1, static_cast<size_t>(std::lround(count * m_shape.scale)));
        for (size_t i = 0; i < scaled; ++i) {
            const double u = static_cast<double>(m_random.Below(1u << 20)) / (1u << 20);
            File(make(i), kind, lowKib + (highKib - lowKib) * u * u);  // skewed towards small files
        }
    }

    TreePlan Finish() {
        // Rescale each class to its share of the target size.
        const double total = static_cast<double>(m_shape.totalBytes) * m_shape.scale;
        const double binaryTarget = total * m_shape.binaryShare;
        const double textTarget = total - binaryTarget;
        double binary = 0, text = 0;
        for (const PlannedFile& f : m_plan.files) (f.kind == ContentKind::Binary ? binary : text) += f.size;
        for (PlannedFile& f : m_plan.files) {
            const double factor = f.kind == ContentKind::Binary ? binaryTarget / binary : textTarget / text;
            f.size = std::max<uint64_t>(64, static_cast<uint64_t>(f.size * factor));
        }
        return m_plan;
    }

private:
    TreeShape m_shape;
    BenchRandom m_random;
    TreePlan m_plan;
};

void PlanMain(Planner& p) {
    p.Folder("Main");
    p.Folder("Main/docs");
    p.Folder("Main/licenses");
    p.File("Main/" KVN_NAME_UNINSTALL_PROGRAM, ContentKind::Binary, 420);
    p.File("Main/kvnbarcode.dll", ContentKind::Binary, 2600);
    p.File("Main/kvnbarcode_imaging.dll", ContentKind::Binary, 1400);
    p.File("Main/readme.txt", ContentKind::Text, 14);
    p.File("Main/changes.txt", ContentKind::Text, 60);
    p.Files(8, ContentKind::Text, 8, 40, [](size_t i) { return NumberedWord("Main/docs/", i, ".txt"); });
    p.Files(10, ContentKind::Text, 6, 24,
            [](size_t i) { return NumberedWord("Main/licenses/license_", i, ".txt"); });
}

void PlanBin(Planner& p) {
    p.Folder("Bin");
    p.Folder("Bin/plugins");
    p.Folder("Bin/config");
    p.Folder("Bin/languages");
    p.File("Bin/" KVN_NAME_DEMO_PROGRAM, ContentKind::Binary, 1800);
    p.File("Bin/KVNBarcodeScan.exe", ContentKind::Binary, 900);
    p.File("Bin/kvnconvert.exe", ContentKind::Binary, 600);
    p.File("Bin/kvnbarcode_ui.dll", ContentKind::Binary, 700);
    p.Files(10, ContentKind::Binary, 120, 420,
            [](size_t i) { return NumberedWord("Bin/plugins/kvnplugin_", i, ".dll"); });
    p.Files(12, ContentKind::Xml, 2, 16,
            [](size_t i) { return NumberedWord("Bin/config/", i, i % 2 ? ".ini" : ".xml"); });
    p.Files(15, ContentKind::Xml, 20, 60,
            [](size_t i) { return NumberedWord("Bin/languages/strings_", i, ".xml"); });
}

void PlanHelp(Planner& p) {
    p.Folder("Help");
    p.File("Help/kvnbarcode.chm", ContentKind::Binary, 3000);
    const std::string java = "Help/Java/docs";
    p.Folder("Help/Java");
    p.Folder(java);
    p.Files(15, ContentKind::Html, 6, 40, [&](size_t i) {
        return i == 0 ? java + "/index.html" : NumberedWord((java + "/overview-").c_str(), i, ".html");
    });
    p.Folder(java + "/resources");
    p.Files(6, ContentKind::Binary, 2, 12,
            [&](size_t i) { return NumberedWord((java + "/resources/").c_str(), i, ".png"); });
    p.Files(4, ContentKind::Text, 4, 30, [&](size_t i) {
        return NumberedWord((java + "/resources/").c_str(), i, i % 2 ? ".js" : ".css");
    });
    p.Folder(java + "/com");
    p.Folder(java + "/com/korvane");
    p.Folder(java + "/com/korvane/barcode");
    size_t classBase = 0;
    for (const char* package : kJavaPackages) {
        const std::string folder = java + "/com/korvane/barcode/" + package;
        p.Folder(folder);
        p.Folder(folder + "/class-use");
        p.Files(18, ContentKind::Html, 8, 60,
                [&](size_t i) { return folder + "/" + ClassName(classBase + i) + ".html"; });
        p.Files(12, ContentKind::Html, 3, 14,
                [&](size_t i) { return folder + "/class-use/" + ClassName(classBase + i) + ".html"; });
        classBase += 18;
    }
    p.Folder("Help/cpp");
    p.Folder("Help/cpp/html");
    p.Folder("Help/cpp/html/search");
    p.Files(280, ContentKind::Html, 5, 50,
            [](size_t i) { return "Help/cpp/html/" + NumberedWord("class_kvn_", i, ".html"); });
    p.Files(40, ContentKind::Text, 1, 12,
            [](size_t i) { return NumberedWord("Help/cpp/html/search/all_", i, ".js"); });
    p.Folder("Help/net");
    p.Folder("Help/net/html");
    p.Folder("Help/net/html/icons");
    p.Files(150, ContentKind::Html, 5, 40,
            [](size_t i) { return "Help/net/html/T_Korvane_" + ClassName(i) + ".htm"; });
    p.Files(20, ContentKind::Binary, 1, 6,
            [](size_t i) { return NumberedWord("Help/net/html/icons/", i, ".gif"); });
    p.Folder("Help/images");
    p.Files(25, ContentKind::Binary, 6, 60,
            [](size_t i) { return NumberedWord("Help/images/figure_", i, ".png"); });
}

void PlanSamples(Planner& p) {
    p.Folder("Samples");
    p.File("Samples/readme.txt", ContentKind::Text, 8);
    size_t resources = 0;
    for (const SampleLanguage& language : kSampleLanguages) {
        const std::string lang = std::string("Samples/") + language.folder;
        p.Folder(lang);
        for (const char* project : kSampleProjects) {
            const std::string folder = lang + "/" + project;
            p.Folder(folder);
            p.Files(4, ContentKind::Source, 4, 30, [&](size_t i) {
                return folder + "/" + NumberedWord((std::string(project) + "_").c_str(), i, language.source);
            });
            p.File(folder + "/" + project + ".h", ContentKind::Header, 5);
            p.File(folder + "/" + project + language.project, ContentKind::Xml, 10);
            p.File(folder + "/readme.txt", ContentKind::Text, 3);
            if (resources < 8 && (project[0] == 'R')) {
                p.Folder(folder + "/res");
                p.Files(3, ContentKind::Binary, 4, 40,
                        [&](size_t i) { return NumberedWord((folder + "/res/").c_str(), i, ".ico"); });
                ++resources;
            }
            if (project[0] == 'B' || project[0] == 'W')
                if (std::string(language.folder) != "Python")
                    p.File(folder + "/" + project + ".exe", ContentKind::Binary, 120);
        }
    }
}

void PlanImages(Planner& p) {
    p.Folder("Images");
    for (const char* symbology : kSymbologies) {
        const std::string folder = std::string("Images/") + symbology;
        p.Folder(folder);
        p.Files(12, ContentKind::Binary, 8, 60,
                [&](size_t i) { return folder + "/" + NumberedWord("sample_", i, i % 3 ? ".png" : ".jpg"); });
    }
}

void PlanInclude(Planner& p) {
    p.Folder("include");
    p.File("include/kvnbarcode.h", ContentKind::Header, 120);
    for (const char* sub :
         {"include/kvn", "include/kvn/detail", "include/kvn/imaging", "include/kvn/symbology"}) {
        p.Folder(sub);
        const std::string prefix = std::string(sub) + "/kvn_";
        p.Files(20, ContentKind::Header, 4, 60,
                [&](size_t i) { return NumberedWord(prefix.c_str(), i, ".h"); });
    }
}

void PlanLib(Planner& p) {
    p.Folder("lib");
    p.Folder("lib/x86");
    p.Folder("lib/x64");
    p.Folder("lib/cmake");
    p.File("lib/x86/kvnbarcode.lib", ContentKind::Binary, 380);
    p.File("lib/x86/kvnbarcode_static.lib", ContentKind::Binary, 1500);
    p.File("lib/x86/kvnbarcode.def", ContentKind::Text, 18);
    p.File("lib/x64/kvnbarcode.lib", ContentKind::Binary, 400);
    p.File("lib/x64/kvnbarcode_static.lib", ContentKind::Binary, 1600);
    p.File("lib/x64/kvnbarcode.def", ContentKind::Text, 18);
    p.Files(4, ContentKind::Text, 2, 10,
            [](size_t i) { return NumberedWord("lib/cmake/kvnbarcode-", i, ".cmake"); });
}

void PlanRedist(Planner& p) {
    p.Folder("Redistributables");
    p.Folder("Redistributables/x86");
    p.Folder("Redistributables/x64");
    p.Folder("Redistributables/MergeModules");
    p.File("Redistributables/readme.txt", ContentKind::Text, 6);
    p.File("Redistributables/x86/kvnbarcode.dll", ContentKind::Binary, 1200);
    p.File("Redistributables/x86/kvnruntime.dll", ContentKind::Binary, 500);
    p.File("Redistributables/x64/kvnbarcode.dll", ContentKind::Binary, 1300);
    p.File("Redistributables/x64/kvnruntime.dll", ContentKind::Binary, 560);
    p.File("Redistributables/MergeModules/kvnbarcode_x86.msm", ContentKind::Binary, 800);
    p.File("Redistributables/MergeModules/kvnbarcode_x64.msm", ContentKind::Binary, 850);
}

void PlanSys32(Planner& p) {
    p.Folder("Sys32");
    p.File("Sys32/kvnbarcode_rt.dll", ContentKind::Binary, 600);
    p.File("Sys32/kvnbarcode_rt_imaging.dll", ContentKind::Binary, 300);
}

}  // namespace

TreePlan PlanSdkTree(const TreeShape& shape) {
    Planner planner(shape);
    PlanMain(planner);
    PlanBin(planner);
    PlanHelp(planner);
    PlanSamples(planner);
    PlanImages(planner);
    PlanInclude(planner);
    PlanLib(planner);
    PlanRedist(planner);
    PlanSys32(planner);
    return planner.Finish();
}

PlanStats Measure(const TreePlan& plan) {
    PlanStats stats;
    stats.folders = plan.folders.size();
    stats.files = plan.files.size();
    for (const PlannedFile& f : plan.files) {
        stats.bytes += f.size;
        if (f.size > stats.largestFile) stats.largestFile = f.size;
        if (f.kind == ContentKind::Binary) {
            ++stats.binaryFiles;
            stats.binaryBytes += f.size;
        }
    }
    return stats;
}
