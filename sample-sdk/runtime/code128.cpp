#include "sample-sdk/runtime/code128.h"

#include <cstddef>
#include <cstring>
#include <cstdlib>

#include "sample-sdk/include/kvnbarcode.h"

namespace kvn_code128 {

const char* const kPatterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

namespace {

constexpr int kSymbolModules = 11;
constexpr int kStopModules = 13;
// The longest run of symbols a scan line may hold (start, data, check).
constexpr int kMaxSymbols = 130;
// A quiet zone narrower than this (in modules) does not start or end a symbol;
// spaces inside a symbol are at most 4 modules wide.
constexpr int kMinQuietModules = 5;
// Below this difference between the darkest and lightest pixel there is no barcode.
constexpr int kMinContrast = 40;

int PutPattern(const char* pattern, unsigned char* out) {
  int written = 0;
  bool bar = true;
  for (const char* p = pattern; *p; ++p) {
    const int width = *p - '0';
    for (int i = 0; i < width; ++i) out[written++] = bar ? 1 : 0;
    bar = !bar;
  }
  return written;
}

long Sum(const int* runs, int elements) {
  long total = 0;
  for (int i = 0; i < elements; ++i) total += runs[i];
  return total;
}

// Whether the runs carry the pattern, judged by the distances between
// similar edges (a bar with the following space, a space with the following
// bar), each rounded to whole modules of the symbol's width. Those distances
// stay the same when printing makes every bar wider and every space narrower
// by the same amount, and they tell all Code 128 symbols apart.
bool SameEdges(const int* runs, int elements, long total, int modules, const char* pattern) {
  for (int i = 0; i + 1 < elements; ++i) {
    const long distance = static_cast<long>(runs[i]) + runs[i + 1];
    const long rounded = (2 * modules * distance + total) / (2 * total);
    if (rounded != (pattern[i] - '0') + (pattern[i + 1] - '0')) return false;
  }
  return true;
}

// Value of the 6 runs as a symbol other than the stop, or -1.
int MatchSymbol(const int* runs) {
  const long total = Sum(runs, 6);
  if (total <= 0) return -1;
  for (int value = 0; value < kStop; ++value) {
    if (SameEdges(runs, 6, total, kSymbolModules, kPatterns[value])) return value;
  }
  return -1;
}

bool MatchStop(const int* runs) {
  const long total = Sum(runs, 7);
  return total > 0 && SameEdges(runs, 7, total, kStopModules, kPatterns[kStop]);
}

enum class Attempt { kDecoded, kNoStart, kPattern, kChecksum, kBuffer };

// Rank of a failure: a more specific finding wins over a vaguer one.
int Rank(Attempt a) {
  switch (a) {
    case Attempt::kNoStart: return 0;
    case Attempt::kPattern: return 1;
    case Attempt::kChecksum: return 2;
    case Attempt::kBuffer: return 3;
    case Attempt::kDecoded: return 4;
  }
  return 0;
}

// Tries a symbol whose start pattern begins at bar run `first`. runs[] holds
// alternating bar and space widths, bars at the indexes of `first` parity.
Attempt ReadFrom(const int* runs, int runCount, int first, char* text, int capacity, int* length) {
  if (first + 6 > runCount) return Attempt::kNoStart;
  if (MatchSymbol(runs + first) != kStartB) return Attempt::kNoStart;
  const long moduleTimes11 = Sum(runs + first, 6);  // 11 modules
  if (first > 0 && runs[first - 1] * kSymbolModules < moduleTimes11 * kMinQuietModules)
    return Attempt::kNoStart;

  int values[kMaxSymbols];
  int symbols = 0;
  int at = first + 6;
  for (;;) {
    if (at + 7 <= runCount && MatchStop(runs + at)) {
      const long stopModule13 = Sum(runs + at, 7);
      const bool quietAfter = at + 7 == runCount ||
          runs[at + 7] * kStopModules >= stopModule13 * kMinQuietModules;
      if (quietAfter) break;
    }
    if (at + 6 > runCount || symbols == kMaxSymbols) return Attempt::kPattern;
    const int value = MatchSymbol(runs + at);
    if (value < 0) return Attempt::kPattern;
    values[symbols++] = value;
    at += 6;
  }
  if (symbols < 1) return Attempt::kPattern;  // no check symbol

  const int dataCount = symbols - 1;
  long check = kStartB;
  for (int i = 0; i < dataCount; ++i) {
    // Code set B only: values 0 to 94 are the characters 32 to 126.
    if (values[i] > 94) return Attempt::kPattern;
    check += static_cast<long>(i + 1) * values[i];
  }
  if (check % 103 != values[dataCount]) return Attempt::kChecksum;
  if (dataCount + 1 > capacity) return Attempt::kBuffer;
  for (int i = 0; i < dataCount; ++i) text[i] = static_cast<char>(values[i] + 32);
  text[dataCount] = '\0';
  *length = dataCount;
  return Attempt::kDecoded;
}

// Every bar run is a candidate start; the first full symbol wins.
Attempt ReadRuns(const int* runs, int runCount, bool firstIsBar, char* text, int capacity,
                 int* length) {
  Attempt best = Attempt::kNoStart;
  for (int first = firstIsBar ? 0 : 1; first < runCount; first += 2) {
    const Attempt a = ReadFrom(runs, runCount, first, text, capacity, length);
    if (a == Attempt::kDecoded) return a;
    if (Rank(a) > Rank(best)) best = a;
  }
  return best;
}

int ResultOf(Attempt a, int length) {
  switch (a) {
    case Attempt::kDecoded: return length;
    case Attempt::kNoStart: return KVN_E_NO_BARCODE;
    case Attempt::kPattern: return KVN_E_PATTERN;
    case Attempt::kChecksum: return KVN_E_CHECKSUM;
    case Attempt::kBuffer: return KVN_E_BUFFER;
  }
  return KVN_E_PATTERN;
}

}  // namespace

int ModuleCount(int textLength) {
  return 2 * KVN_QUIET_ZONE_MODULES + (textLength + 2) * kSymbolModules + kStopModules;
}

int Encode(const char* text, unsigned char* modules, int capacity) {
  if (!text || capacity < 0) return KVN_E_ARGUMENT;
  const std::size_t length = std::strlen(text);
  if (length > KVN_MAX_TEXT_LENGTH) return KVN_E_CHARACTER;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 32 || c > 126) return KVN_E_CHARACTER;
  }
  const int total = ModuleCount(static_cast<int>(length));
  if (!modules) return total;
  if (capacity < total) return KVN_E_BUFFER;

  int at = 0;
  std::memset(modules, 0, KVN_QUIET_ZONE_MODULES);
  at += KVN_QUIET_ZONE_MODULES;
  at += PutPattern(kPatterns[kStartB], modules + at);
  long check = kStartB;
  for (std::size_t i = 0; i < length; ++i) {
    const int value = static_cast<unsigned char>(text[i]) - 32;
    check += static_cast<long>(i + 1) * value;
    at += PutPattern(kPatterns[value], modules + at);
  }
  at += PutPattern(kPatterns[check % 103], modules + at);
  at += PutPattern(kPatterns[kStop], modules + at);
  std::memset(modules + at, 0, KVN_QUIET_ZONE_MODULES);
  return total;
}

int DecodeScanLine(const unsigned char* pixels, int count, char* text, int capacity) {
  if (!pixels || !text || count < 0 || capacity < 0) return KVN_E_ARGUMENT;
  if (capacity > 0) text[0] = '\0';
  if (count == 0) return KVN_E_NO_BARCODE;

  int darkest = 255, lightest = 0;
  for (int i = 0; i < count; ++i) {
    if (pixels[i] < darkest) darkest = pixels[i];
    if (pixels[i] > lightest) lightest = pixels[i];
  }
  if (lightest - darkest < kMinContrast) return KVN_E_NO_BARCODE;
  const int threshold = (darkest + lightest + 1) / 2;

  // Plain C allocation keeps the DLL free of the C++ library's machinery.
  int* runs = static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(count)));
  int* reversed = static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(count)));
  if (!runs || !reversed) {
    std::free(runs);
    std::free(reversed);
    return KVN_E_ARGUMENT;
  }
  int runCount = 0;
  const bool firstIsBar = pixels[0] < threshold;
  bool dark = firstIsBar;
  int width = 0;
  for (int i = 0; i < count; ++i) {
    const bool pixelDark = pixels[i] < threshold;
    if (pixelDark != dark) {
      runs[runCount++] = width;
      width = 0;
      dark = pixelDark;
    }
    ++width;
  }
  runs[runCount++] = width;
  for (int i = 0; i < runCount; ++i) reversed[i] = runs[runCount - 1 - i];
  const bool lastIsBar = dark;

  // The symbol may lie either way round on the line.
  int length = 0;
  Attempt result = ReadRuns(runs, runCount, firstIsBar, text, capacity, &length);
  if (result != Attempt::kDecoded) {
    const Attempt backwards = ReadRuns(reversed, runCount, lastIsBar, text, capacity, &length);
    if (backwards == Attempt::kDecoded || Rank(backwards) > Rank(result)) result = backwards;
  }
  std::free(runs);
  std::free(reversed);
  if (result != Attempt::kDecoded && capacity > 0) text[0] = '\0';
  return ResultOf(result, length);
}

}  // namespace kvn_code128
