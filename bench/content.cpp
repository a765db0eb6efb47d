#include "bench/content.h"

#include <cstring>

#include "bench/prng.h"

namespace {

const char* const kProse[] = {"the",         "a",           "of",           "to",           "and",
                              "is",          "in",          "for",          "this",         "that",
                              "with",        "be",          "returns",      "value",        "when",
                              "if",          "not",         "barcode",      "image",        "reader",
                              "by",          "on",          "are",          "or",           "function",
                              "set",         "an",          "it",           "default",      "which",
                              "from",        "can",         "all",          "call",         "error",
                              "option",      "as",          "each",         "result",       "must",
                              "see",         "pixels",      "region",       "decoding",     "symbology",
                              "width",       "height",      "supplied",     "number",       "time",
                              "handle",      "buffer",      "string",       "parameter",    "null",
                              "zero",        "used",        "license",      "first",        "last",
                              "given",       "page",        "document",     "format",       "enabled",
                              "disabled",    "mode",        "threshold",    "quality",      "scan",
                              "scanning",    "found",       "symbols",      "orientation",  "angle",
                              "rotation",    "degrees",     "module",       "size",         "minimum",
                              "maximum",     "length",      "data",         "characters",   "checksum",
                              "encoded",     "decoded",     "text",         "bytes",        "memory",
                              "allocated",   "released",    "thread",       "safe",         "callback",
                              "event",       "raised",      "timeout",      "milliseconds", "camera",
                              "frame",       "stream",      "input",        "output",       "file",
                              "path",        "folder",      "application",  "sample",       "shows",
                              "how",         "use",         "new",          "version",      "previous",
                              "changed",     "fixed",       "added",        "removed",      "improved",
                              "performance", "support",     "windows",      "platform",     "library",
                              "runtime",     "install",     "installation", "directory",    "program",
                              "code",        "quiet",       "zone",         "contrast",     "low",
                              "high",        "noise",       "damaged",      "partially",    "visible",
                              "printed",     "label",       "package",      "shipping",     "industrial",
                              "retail",      "recognition", "accuracy",     "speed",        "faster",
                              "only",        "also",        "more",         "less",         "than",
                              "before",      "after",       "during",       "while",        "until",
                              "other",       "any",         "every",        "some",         "several",
                              "following",   "example",     "note",         "important",    "warning",
                              "otherwise"};

const char* const kIdentWords[] = {
    "Barcode",  "Reader", "Image",  "Region",  "Result",  "Option",   "Symbol",  "Format", "Point",
    "Rect",     "Decode", "Encode", "Scan",    "Page",    "Count",    "Index",   "Value",  "Text",
    "Data",     "Length", "Width",  "Height",  "Angle",   "Quality",  "Mode",    "Flags",  "Type",
    "Handle",   "Buffer", "Stream", "Timeout", "License", "Camera",   "Frame",   "Module", "Zone",
    "Check",    "Sum",    "Error",  "Status",  "Event",   "Callback", "Profile", "Filter", "Threshold",
    "Contrast", "Grid",   "Finder", "Pattern", "Batch"};

const char* const kTypes[] = {"int",        "unsigned int", "const char*", "KVN_HANDLE",
                              "KVN_RESULT", "double",       "KVN_RECT*",   "KVN_POINT",
                              "void*",      "long",         "KVN_BOOL",    "const wchar_t*"};

const char* const kLicenceBanner =
    "/*\n"
    " * Korvane Barcode Reader SDK\n"
    " * Copyright (c) Korvane Software. All rights reserved.\n"
    " *\n"
    " * This file is part of the Korvane Barcode Reader SDK. Use of this file is\n"
    " * governed by the licence agreement that ships with the SDK (see\n"
    " * licence.txt in the installation folder). Redistribution of this file, in\n"
    " * source or binary form, is permitted only as that agreement allows.\n"
    " */\n\n";

const char* const kHtmlHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    "\"http://www.w3.org/TR/html4/loose.dtd\">\n"
    "<html lang=\"en\">\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"../../../../stylesheet.css\" title=\"Style\">\n"
    "<script type=\"text/javascript\" src=\"../../../../script.js\"></script>\n";

const char* const kHtmlNav =
    "<div class=\"topNav\"><a name=\"navbar.top\"></a>\n<ul class=\"navList\" title=\"Navigation\">\n"
    "<li><a href=\"../../../../overview-summary.html\">Overview</a></li>\n"
    "<li><a href=\"package-summary.html\">Package</a></li>\n<li class=\"navBarCell1Rev\">Class</li>\n"
    "<li><a href=\"class-use/index.html\">Use</a></li>\n<li><a href=\"package-tree.html\">Tree</a></li>\n"
    "<li><a href=\"../../../../deprecated-list.html\">Deprecated</a></li>\n"
    "<li><a href=\"../../../../index-all.html\">Index</a></li>\n"
    "<li><a href=\"../../../../help-doc.html\">Help</a></li>\n</ul>\n</div>\n";

class TextMaker {
public:
    TextMaker(uint64_t seed, std::string& out) : m_random(seed), m_out(out) {}

    BenchRandom& Random() { return m_random; }
    void Put(const char* text) { m_out += text; }
    void Put(const std::string& text) { m_out += text; }
    void Number(uint32_t bound) { m_out += std::to_string(m_random.Below(bound)); }

    // A word of prose, skewed towards the common ones at the start of the list.
    const char* Word() {
        const uint32_t n = sizeof kProse / sizeof kProse[0];
        const uint32_t a = m_random.Below(n), b = m_random.Below(n);
        return kProse[a < b ? a : b];
    }
    void Sentence(int low, int high) {
        const int words = static_cast<int>(m_random.Between(low, high));
        for (int i = 0; i < words; ++i) {
            std::string w = Word();
            if (i == 0) w[0] = static_cast<char>(w[0] >= 'a' && w[0] <= 'z' ? w[0] - 32 : w[0]);
            m_out += w;
            m_out += i + 1 < words ? " " : ". ";
        }
    }
    std::string Ident(int parts) {
        std::string id;
        for (int i = 0; i < parts; ++i) id += m_random.Pick(kIdentWords);
        return id;
    }
    std::string Type() { return m_random.Pick(kTypes); }

private:
    BenchRandom m_random;
    std::string& m_out;
};

void MakeBinary(const PlannedFile& file, std::string& out) {
    BenchRandom random(file.seed);
    out.resize(file.size);
    for (size_t i = 0; i < out.size(); i += 8) {
        const uint64_t v = random.Next();
        const size_t n = out.size() - i < 8 ? out.size() - i : 8;
        std::memcpy(&out[i], &v, n);
    }
    const std::string& p = file.path;
    const auto endsWith = [&](const char* ext) {
        const size_t n = std::strlen(ext);
        return p.size() >= n && p.compare(p.size() - n, n, ext) == 0;
    };
    const char* header = nullptr;
    if (endsWith(".exe") || endsWith(".dll"))
        header = "MZ\x90";
    else if (endsWith(".png"))
        header = "\x89PNG\r\n\x1a\n";
    else if (endsWith(".jpg"))
        header = "\xff\xd8\xff\xe0";
    else if (endsWith(".chm"))
        header = "ITSF";
    else if (endsWith(".gif"))
        header = "GIF89a";
    if (header)
        out.replace(0, std::strlen(header) < out.size() ? std::strlen(header) : out.size(), header,
                    std::strlen(header) < out.size() ? std::strlen(header) : out.size());
}

void MakeHeader(TextMaker& t, size_t size, std::string& out) {
    t.Put(kLicenceBanner);
    const std::string guard = "KVN_" + t.Ident(2) + "_H";
    t.Put("#ifndef " + guard + "\n#define " + guard +
          "\n\n#include \"kvn/kvn_types.h\"\n\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n");
    while (out.size() < size) {
        switch (t.Random().Below(4)) {
            case 0: {
                t.Put("/**\n * ");
                t.Sentence(6, 14);
                t.Put(
                    "\n *\n * @param hReader  Handle of the reader, as returned by KVN_CreateReader.\n * "
                    "@param n");
                const std::string name = t.Ident(2);
                t.Put(name + "  ");
                t.Sentence(4, 9);
                t.Put("\n * @return KVN_OK on success, otherwise one of the KVN_ERR_ codes.\n */\n");
                t.Put("KVN_API " + t.Type() + " KVN_CALL KVN_" + t.Ident(2) + "(KVN_HANDLE hReader, " +
                      t.Type() + " n" + name + ");\n\n");
                break;
            }
            case 1: {
                const std::string e = t.Ident(1);
                t.Put("typedef enum KVN_" + e + "_tag {\n");
                const int values = static_cast<int>(t.Random().Between(3, 8));
                for (int i = 0; i < values; ++i) {
                    t.Put("    KVN_" + e + "_" + t.Ident(1) + " = ");
                    t.Number(4096);
                    t.Put(",  /**< ");
                    t.Sentence(3, 7);
                    t.Put("*/\n");
                }
                t.Put("} KVN_" + e + ";\n\n");
                break;
            }
            case 2: {
                t.Put("#define KVN_" + t.Ident(2) + "_" + t.Ident(1) + "    ");
                t.Number(65536);
                t.Put("\n");
                break;
            }
            default: {
                const std::string s = t.Ident(2);
                t.Put("typedef struct KVN_" + s + "_tag {\n");
                const int fields = static_cast<int>(t.Random().Between(2, 6));
                for (int i = 0; i < fields; ++i)
                    t.Put("    " + t.Type() + " " + t.Ident(1) + t.Ident(1) + ";\n");
                t.Put("} KVN_" + s + ";\n\n");
                break;
            }
        }
    }
}

void MakeSource(TextMaker& t, size_t size, std::string& out) {
    t.Put(kLicenceBanner);
    t.Put("#include \"kvnbarcode.h\"\n#include <stdio.h>\n#include <stdlib.h>\n\n");
    while (out.size() < size) {
        const std::string fn = t.Ident(2);
        t.Put("/* ");
        t.Sentence(5, 12);
        t.Put("*/\nstatic int " + fn +
              "(KVN_HANDLE hReader, const char* pszFile)\n{\n    KVN_RESULT result;\n");
        const int statements = static_cast<int>(t.Random().Between(3, 10));
        for (int i = 0; i < statements; ++i) {
            switch (t.Random().Below(3)) {
                case 0:
                    t.Put("    result = KVN_Set" + t.Ident(1) + "(hReader, KVN_" + t.Ident(1) + "_" +
                          t.Ident(1) + ", ");
                    t.Number(256);
                    t.Put(");\n    if (result != KVN_OK) {\n        printf(\"Error %d: ");
                    t.Sentence(2, 5);
                    t.Put("\\n\", result);\n        return result;\n    }\n");
                    break;
                case 1:
                    t.Put("    for (int i = 0; i < KVN_Get" + t.Ident(1) +
                          "Count(hReader); ++i) {\n        printf(\"%s\\n\", KVN_Get" + t.Ident(2) +
                          "(hReader, i));\n    }\n");
                    break;
                default:
                    t.Put("    /* ");
                    t.Sentence(4, 10);
                    t.Put("*/\n");
                    break;
            }
        }
        t.Put("    return KVN_OK;\n}\n\n");
    }
}

void MakeHtml(TextMaker& t, size_t size, std::string& out) {
    const std::string cls = t.Ident(2);
    t.Put(kHtmlHead);
    t.Put("<title>" + cls + " (Korvane Barcode Reader SDK API)</title>\n</head>\n<body>\n");
    t.Put(kHtmlNav);
    t.Put("<div class=\"header\">\n<div class=\"subTitle\">com.korvane.barcode</div>\n<h2 title=\"Class " +
          cls + "\" class=\"title\">Class " + cls +
          "</h2>\n</div>\n<div class=\"contentContainer\">\n<div class=\"block\">");
    t.Sentence(10, 25);
    t.Put(
        "</div>\n<table class=\"memberSummary\" border=\"0\" cellpadding=\"3\" cellspacing=\"0\" "
        "summary=\"Method Summary\">\n");
    while (out.size() < size) {
        const std::string method = t.Ident(2);
        const std::string type = t.Type();
        t.Put("<tr class=\"altColor\">\n<td class=\"colFirst\"><code>" + type +
              "</code></td>\n<td class=\"colLast\"><code><span class=\"memberNameLink\"><a href=\"#" +
              method + "-int-\">" + method + "</a></span>(int&nbsp;" + t.Ident(1) +
              ")</code>\n<div class=\"block\">");
        t.Sentence(6, 20);
        t.Put("</div>\n</td>\n</tr>\n");
    }
    t.Put("</table>\n</div>\n</body>\n</html>\n");
}

void MakeXml(TextMaker& t, size_t size, std::string& out) {
    t.Put(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Project DefaultTargets=\"Build\" "
        "ToolsVersion=\"15.0\">\n");
    while (out.size() < size) {
        t.Put("  <ItemGroup Label=\"" + t.Ident(1) + "\">\n");
        const int items = static_cast<int>(t.Random().Between(2, 8));
        for (int i = 0; i < items; ++i) {
            t.Put("    <String Id=\"IDS_" + t.Ident(2) + "\" Value=\"");
            t.Sentence(2, 8);
            t.Put("\" />\n");
        }
        t.Put("  </ItemGroup>\n");
    }
    t.Put("</Project>\n");
}

void MakeProse(TextMaker& t, size_t size, std::string& out) {
    t.Put("Korvane Barcode Reader SDK\r\n==========================\r\n\r\n");
    while (out.size() < size) {
        const int sentences = static_cast<int>(t.Random().Between(2, 6));
        for (int i = 0; i < sentences; ++i) t.Sentence(6, 18);
        t.Put("\r\n\r\n");
    }
}

}  // namespace

void MakeContent(const PlannedFile& file, std::string& out) {
    out.clear();
    if (file.kind == ContentKind::Binary) {
        MakeBinary(file, out);
        return;
    }
    out.reserve(file.size + 4096);
    TextMaker maker(file.seed, out);
    switch (file.kind) {
        case ContentKind::Header: MakeHeader(maker, file.size, out); break;
        case ContentKind::Source: MakeSource(maker, file.size, out); break;
        case ContentKind::Html: MakeHtml(maker, file.size, out); break;
        case ContentKind::Xml: MakeXml(maker, file.size, out); break;
        default: MakeProse(maker, file.size, out); break;
    }
    out.resize(file.size, '\n');
}
