/*
 * Korvane Barcode Reader SDK sample: reads Code 128 barcodes from BMP pictures.
 *
 *   read_barcode PICTURE.bmp...
 *
 * Prints "PICTURE: TEXT" for each picture, or the reason nothing was read.
 * Uncompressed BMP files with 8 (palette), 24 or 32 bits per pixel are read.
 * Exit code: 0 when every picture gave a text, 1 when one did not, 2 without
 * arguments.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kvnbarcode.h"

/* Rows tried across a picture: the middle first, then further out. */
#define ROWS_TRIED 9

typedef struct Picture {
  long width;
  long height;
  unsigned char* grey; /* width * height grey levels, top row first */
} Picture;

static unsigned long ReadU32(const unsigned char* p) {
  return (unsigned long)p[0] | ((unsigned long)p[1] << 8) | ((unsigned long)p[2] << 16) |
         ((unsigned long)p[3] << 24);
}

static unsigned ReadU16(const unsigned char* p) { return (unsigned)p[0] | ((unsigned)p[1] << 8); }

static unsigned char Grey(unsigned red, unsigned green, unsigned blue) {
  return (unsigned char)((red * 30 + green * 59 + blue * 11) / 100);
}

/* Reads the whole file; NULL when it cannot be read. */
static unsigned char* LoadFile(const char* path, unsigned long* size) {
  FILE* file = fopen(path, "rb");
  unsigned char* data = NULL;
  long length;
  if (!file) return NULL;
  if (fseek(file, 0, SEEK_END) == 0 && (length = ftell(file)) > 0 && fseek(file, 0, SEEK_SET) == 0) {
    data = (unsigned char*)malloc((size_t)length);
    if (data && fread(data, 1, (size_t)length, file) != (size_t)length) {
      free(data);
      data = NULL;
    }
    *size = (unsigned long)length;
  }
  fclose(file);
  return data;
}

/* Converts a BMP file into grey levels. Returns a message on failure. */
static const char* LoadPicture(const char* path, Picture* picture) {
  unsigned long size = 0, offset, headerSize, compression, rowSize, colours;
  unsigned bits;
  long width, height, y, x;
  int topDown;
  unsigned char* data = LoadFile(path, &size);
  const unsigned char* palette;

  memset(picture, 0, sizeof *picture);
  if (!data) return "cannot be read";
  if (size < 54 || data[0] != 'B' || data[1] != 'M') {
    free(data);
    return "is not a BMP picture";
  }
  offset = ReadU32(data + 10);
  headerSize = ReadU32(data + 14);
  width = (long)ReadU32(data + 18);
  height = (long)ReadU32(data + 22);
  bits = ReadU16(data + 28);
  compression = ReadU32(data + 30);
  colours = ReadU32(data + 46);
  topDown = height < 0;
  if (topDown) height = -height;
  if (headerSize < 40 || headerSize > size - 14 || width <= 0 || height <= 0 ||
      width > 65535 || height > 65535 || (bits != 8 && bits != 24 && bits != 32) ||
      (compression != 0 && !(compression == 3 && bits == 32))) {
    free(data);
    return "is a BMP form this sample does not read";
  }
  rowSize = (((unsigned long)width * bits + 31) / 32) * 4;
  if (offset > size || rowSize > (size - offset) / (unsigned long)height) {
    free(data);
    return "is cut short";
  }
  if (colours == 0 || colours > 256) colours = 256;
  palette = data + 14 + headerSize;
  if (bits == 8 && (unsigned long)(palette - data) + colours * 4 > offset) {
    free(data);
    return "has a damaged palette";
  }

  picture->grey = (unsigned char*)malloc((size_t)width * (size_t)height);
  if (!picture->grey) {
    free(data);
    return "is too large";
  }
  for (y = 0; y < height; ++y) {
    const unsigned char* row = data + offset + rowSize * (unsigned long)(topDown ? y : height - 1 - y);
    unsigned char* out = picture->grey + (size_t)y * (size_t)width;
    for (x = 0; x < width; ++x) {
      if (bits == 8) {
        unsigned index = row[x];
        const unsigned char* entry = palette + 4 * (index < colours ? index : 0);
        out[x] = Grey(entry[2], entry[1], entry[0]);
      } else {
        const unsigned char* p = row + x * (long)(bits / 8);
        out[x] = Grey(p[2], p[1], p[0]);
      }
    }
  }
  picture->width = width;
  picture->height = height;
  free(data);
  return NULL;
}

/* Tries rows from the middle outwards; returns the runtime's last result. */
static int ReadPicture(const Picture* picture, char* text, int capacity) {
  int attempt, result = KVN_E_NO_BARCODE;
  for (attempt = 0; attempt < ROWS_TRIED; ++attempt) {
    /* 0, +1, -1, +2, -2, ... tenths of the height around the middle */
    int step = (attempt + 1) / 2 * (attempt % 2 ? 1 : -1);
    long y = picture->height / 2 + step * picture->height / 10;
    if (y < 0 || y >= picture->height) continue;
    result = KvnDecodeScanLine(picture->grey + (size_t)y * (size_t)picture->width,
                               (int)picture->width, text, capacity);
    if (result >= 0) break;
  }
  return result;
}

int main(int argc, char** argv) {
  int i, failures = 0;
  KvnVersion version;
  if (argc < 2) {
    fprintf(stderr, "usage: read_barcode PICTURE.bmp...\n");
    return 2;
  }
  if (KvnGetVersion(&version) == 0)
    printf("Korvane Barcode Reader runtime %u.%u.%u.%u\n", version.major, version.minor,
           version.patch, version.build);
  for (i = 1; i < argc; ++i) {
    Picture picture;
    char text[128];
    const char* problem = LoadPicture(argv[i], &picture);
    if (problem) {
      printf("%s: %s\n", argv[i], problem);
      ++failures;
      continue;
    }
    {
      int result = ReadPicture(&picture, text, (int)sizeof text);
      if (result >= 0) {
        printf("%s: %s\n", argv[i], text);
      } else {
        printf("%s: no text (%s)\n", argv[i], KvnResultText(result));
        ++failures;
      }
    }
    free(picture.grey);
  }
  return failures ? 1 : 0;
}
