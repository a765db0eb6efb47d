// Korvane Barcode Reader SDK sample: reads Code 128 barcodes from pictures.
//
//   java -cp jna.jar;. ReadBarcode PICTURE.bmp...
//
// Needs a 32-bit Java runtime (the runtime is a 32-bit DLL) and JNA.
import com.sun.jna.Library;
import com.sun.jna.Native;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import javax.imageio.ImageIO;

public class ReadBarcode {
    public interface KvnBarcode extends Library {
        KvnBarcode INSTANCE = Native.load("KVNBarcodeRT", KvnBarcode.class);

        int KvnGetVersion(short[] version);
        int KvnEncodeCode128(String text, byte[] modules, int capacity);
        int KvnDecodeScanLine(byte[] pixels, int count, byte[] text, int capacity);
        String KvnResultText(int result);
    }

    // Rows tried across a picture: the middle first, then further out.
    private static final int ROWS_TRIED = 9;

    private static String read(BufferedImage picture) {
        KvnBarcode runtime = KvnBarcode.INSTANCE;
        byte[] line = new byte[picture.getWidth()];
        byte[] text = new byte[128];
        int result = -4;
        for (int attempt = 0; attempt < ROWS_TRIED; ++attempt) {
            int step = (attempt + 1) / 2 * (attempt % 2 == 1 ? 1 : -1);
            int y = picture.getHeight() / 2 + step * picture.getHeight() / 10;
            if (y < 0 || y >= picture.getHeight()) continue;
            for (int x = 0; x < line.length; ++x) {
                int rgb = picture.getRGB(x, y);
                int grey = (((rgb >> 16) & 0xFF) * 30 + ((rgb >> 8) & 0xFF) * 59 + (rgb & 0xFF) * 11) / 100;
                line[x] = (byte) grey;
            }
            result = runtime.KvnDecodeScanLine(line, line.length, text, text.length);
            if (result >= 0) return new String(text, 0, result, StandardCharsets.US_ASCII);
        }
        throw new IllegalStateException(runtime.KvnResultText(result));
    }

    public static void main(String[] args) {
        if (args.length == 0) {
            System.err.println("usage: ReadBarcode PICTURE.bmp...");
            System.exit(2);
        }
        short[] version = new short[4];
        if (KvnBarcode.INSTANCE.KvnGetVersion(version) == 0)
            System.out.printf("Korvane Barcode Reader runtime %d.%d.%d.%d%n", version[0], version[1],
                              version[2], version[3]);
        int failures = 0;
        for (String path : args) {
            try {
                BufferedImage picture = ImageIO.read(new File(path));
                if (picture == null) throw new IOException("not a picture");
                System.out.println(path + ": " + read(picture));
            } catch (IOException e) {
                System.out.println(path + ": cannot be read (" + e.getMessage() + ")");
                ++failures;
            } catch (IllegalStateException e) {
                System.out.println(path + ": no text (" + e.getMessage() + ")");
                ++failures;
            }
        }
        System.exit(failures == 0 ? 0 : 1);
    }
}
