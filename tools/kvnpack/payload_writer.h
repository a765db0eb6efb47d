#pragma once
// Writes the layers of a payload: package image, compressed image and the
// encrypted container the setup carries as its resource.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/block.h"
#include "package/aes_key.h"
#include "tools/kvnpack/tree_scan.h"

// The u32 at the start of every package image kvnpack writes: the format
// version. The setup skips it.
constexpr uint32_t kPackageFormatVersion = 1;

// The version word, then one record per entry in the given order: name
// length, UTF-16LE name, attributes, content length, content. Files are read
// now; a file whose length changed since the scan is an error.
bool BuildPackageImage(const std::vector<TreeEntry>& entries, std::vector<uint8_t>& image,
                       std::string& error);

// One zlib stream of the bytes at level 9 (what compress2 writes), appended to out.
bool DeflateLevel9(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string& error);

// u32 S, the zlib stream of the image, zero filler up to a multiple of 32,
// both AES layers over that, then the u32 length of the compressed image.
// foreignKey: the key blob's key bytes each XOR 0xA5, a payload that the
// setup cannot decode.
bool SealPackageImage(const std::vector<uint8_t>& image, bool foreignKey, CWBlock& container,
                      std::string& error);

// The setup's key blob, or the foreign one.
void MakeKeyBlob(bool foreignKey, CWBlock& blob);
// That key blob imported into key.
void ImportPackageKey(bool foreignKey, CWCryptAESKey& key);
