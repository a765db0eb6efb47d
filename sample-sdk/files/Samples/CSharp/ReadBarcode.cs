// Korvane Barcode Reader SDK sample: reads Code 128 barcodes from pictures.
//
//   ReadBarcode PICTURE.bmp...
//
// Build for x86 (the runtime is a 32-bit DLL):  csc /platform:x86 ReadBarcode.cs
using System;
using System.Drawing;
using System.Runtime.InteropServices;
using System.Text;

[StructLayout(LayoutKind.Sequential)]
struct KvnVersion {
    public ushort Major, Minor, Patch, Build;
}

static class KvnBarcode {
    const string Dll = "KVNBarcodeRT.dll";

    [DllImport(Dll, CallingConvention = CallingConvention.Cdecl)]
    public static extern int KvnGetVersion(out KvnVersion version);

    [DllImport(Dll, CallingConvention = CallingConvention.Cdecl)]
    public static extern int KvnEncodeCode128(string text, byte[] modules, int capacity);

    [DllImport(Dll, CallingConvention = CallingConvention.Cdecl)]
    public static extern int KvnDecodeScanLine(byte[] pixels, int count, StringBuilder text,
                                               int capacity);

    [DllImport(Dll, CallingConvention = CallingConvention.Cdecl)]
    static extern IntPtr KvnResultText(int result);

    public static string ResultText(int result) {
        return Marshal.PtrToStringAnsi(KvnResultText(result));
    }
}

static class ReadBarcode {
    // Rows tried across a picture: the middle first, then further out.
    const int RowsTried = 9;

    static int Read(Bitmap picture, StringBuilder text) {
        int result = -4;
        byte[] line = new byte[picture.Width];
        for (int attempt = 0; attempt < RowsTried; ++attempt) {
            int step = (attempt + 1) / 2 * (attempt % 2 == 1 ? 1 : -1);
            int y = picture.Height / 2 + step * picture.Height / 10;
            if (y < 0 || y >= picture.Height) continue;
            for (int x = 0; x < picture.Width; ++x) {
                Color c = picture.GetPixel(x, y);
                line[x] = (byte)((c.R * 30 + c.G * 59 + c.B * 11) / 100);
            }
            result = KvnBarcode.KvnDecodeScanLine(line, line.Length, text, text.Capacity);
            if (result >= 0) break;
        }
        return result;
    }

    static int Main(string[] args) {
        if (args.Length == 0) {
            Console.Error.WriteLine("usage: ReadBarcode PICTURE.bmp...");
            return 2;
        }
        KvnVersion version;
        if (KvnBarcode.KvnGetVersion(out version) == 0)
            Console.WriteLine("Korvane Barcode Reader runtime {0}.{1}.{2}.{3}", version.Major,
                              version.Minor, version.Patch, version.Build);
        int failures = 0;
        foreach (string path in args) {
            try {
                using (Bitmap picture = new Bitmap(path)) {
                    StringBuilder text = new StringBuilder(128);
                    int result = Read(picture, text);
                    if (result >= 0) {
                        Console.WriteLine("{0}: {1}", path, text);
                    } else {
                        Console.WriteLine("{0}: no text ({1})", path, KvnBarcode.ResultText(result));
                        ++failures;
                    }
                }
            } catch (Exception e) {
                Console.WriteLine("{0}: cannot be read ({1})", path, e.Message);
                ++failures;
            }
        }
        return failures == 0 ? 0 : 1;
    }
}
