/*
 * Korvane(R) Barcode Reader SDK: the runtime interface (KVNBarcodeRT.dll).
 *
 * Link with lib\KVNBarcodeRT.lib and ship KVNBarcodeRT.dll beside your
 * program (Redistributables) or rely on the copy the SDK setup puts into the
 * Windows system folder. All functions use the C calling convention and are
 * safe to call from several threads at once: they keep no state.
 *
 * Symbology: Code 128, code set B (printable ASCII, 32 to 126).
 */
#ifndef KVNBARCODE_H
#define KVNBARCODE_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KVN_BUILDING_RUNTIME)
#define KVN_API __declspec(dllexport)
#else
#define KVN_API __declspec(dllimport)
#endif
#define KVN_CALL __cdecl

/* Results: a length or count when not negative, otherwise one of these. */
#define KVN_E_ARGUMENT   (-1) /* a pointer is null or a count is negative */
#define KVN_E_CHARACTER  (-2) /* the text holds a character code set B cannot encode */
#define KVN_E_BUFFER     (-3) /* the output buffer is too small */
#define KVN_E_NO_BARCODE (-4) /* no start pattern on the scan line */
#define KVN_E_PATTERN    (-5) /* the bars do not form a valid symbol */
#define KVN_E_CHECKSUM   (-6) /* the check symbol does not match the data */

/* Quiet zone in modules that KvnEncodeCode128 puts on each side. */
#define KVN_QUIET_ZONE_MODULES 10
/* Longest text KvnEncodeCode128 accepts. */
#define KVN_MAX_TEXT_LENGTH 80

typedef struct KvnVersion {
  unsigned short major;
  unsigned short minor;
  unsigned short patch;
  unsigned short build;
} KvnVersion;

/* Fills *version with the runtime's version (the file version of the DLL).
   Returns 0, or KVN_E_ARGUMENT when version is null. */
KVN_API int KVN_CALL KvnGetVersion(KvnVersion* version);

/* Encodes the zero-terminated text as a Code 128 symbol (start B, data,
   check symbol, stop) with a quiet zone on each side. One byte per module:
   1 for a bar, 0 for a space. Returns the number of modules; with modules
   null it only returns that number. Returns KVN_E_BUFFER, without writing,
   when capacity is smaller than the number of modules. */
KVN_API int KVN_CALL KvnEncodeCode128(const char* text, unsigned char* modules, int capacity);

/* Reads one Code 128 (code set B) symbol from a scan line of grey levels
   (0 black to 255 white), left to right or right to left. Writes the text,
   zero-terminated, into text (capacity bytes including the zero) and returns
   its length. On failure text holds an empty string (when capacity > 0). */
KVN_API int KVN_CALL KvnDecodeScanLine(const unsigned char* pixels, int count, char* text,
                                       int capacity);

/* A short English description of a result code; never null. */
KVN_API const char* KVN_CALL KvnResultText(int result);

#ifdef __cplusplus
}
#endif

#endif /* KVNBARCODE_H */
