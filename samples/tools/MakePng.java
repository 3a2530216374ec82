// Writes the pictures of the sample templates as small palette PNGs.
//
//   java MakePng.java OUTPUT_DIRECTORY
//
// The image data goes into stored (uncompressed) deflate blocks and the
// checksums come from java.util.zip, so the bytes depend on nothing but this
// file: every machine and every JDK writes the same PNGs. The jar's own
// compression squeezes them afterwards.

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.zip.Adler32;
import java.util.zip.CRC32;

public final class MakePng {

    /** A palette picture: one palette index per pixel, rows top to bottom. */
    record Picture(int width, int height, int[] palette, int transparentIndex, byte[] pixels) {}

    public static void main(String[] args) throws IOException {
        if (args.length != 1) {
            System.err.println("usage: java MakePng.java OUTPUT_DIRECTORY");
            System.exit(2);
        }
        Path out = Path.of(args[0]);
        write(out.resolve("block-icon.png"), blockIcon());
        write(out.resolve("back.png"), blockBackground());
        write(out.resolve("puzzle-icon.png"), puzzleIcon());
        write(out.resolve("bg.png"), puzzleBackground());
        write(out.resolve("chara.png"), character());
    }

    // ---- the pictures --------------------------------------------------

    /** Pixel art from rows of characters; each character picks a palette index. */
    static Picture art(String keys, int[] palette, int transparentIndex, String... rows) {
        int w = rows[0].length(), h = rows.length;
        byte[] px = new byte[w * h];
        for (int y = 0; y < h; y++) {
            if (rows[y].length() != w) throw new IllegalArgumentException("ragged row " + y);
            for (int x = 0; x < w; x++) {
                int i = keys.indexOf(rows[y].charAt(x));
                if (i < 0) throw new IllegalArgumentException("unknown key at " + x + "," + y);
                px[y * w + x] = (byte) i;
            }
        }
        return new Picture(w, h, palette, transparentIndex, px);
    }

    /** 16x16: a stack of falling blocks. */
    static Picture blockIcon() {
        return art(".krgby", new int[] {0x000000, 0x202020, 0xE03030, 0x30B040, 0x3060E0, 0xF0C020}, 0,
                "................",
                "......yyyy......",
                "......yyyy......",
                "......yyyy......",
                "......yyyy......",
                "................",
                "................",
                "kkkkkkkkkkkkkkkk",
                "krrrrkbbbbkggggk",
                "krrrrkbbbbkggggk",
                "krrrrkbbbbkggggk",
                "kkkkkkkkkkkkkkkk",
                "kggggkrrrrkbbbbk",
                "kggggkrrrrkbbbbk",
                "kggggkrrrrkbbbbk",
                "kkkkkkkkkkkkkkkk");
    }

    /** 48x64: a night sky fading to blue, with a grid of faint well lines. */
    static Picture blockBackground() {
        int w = 48, h = 64, shades = 16;
        int[] pal = new int[shades + 1];
        for (int i = 0; i < shades; i++) {
            int b = 0x30 + i * 0x0C, g = 0x10 + i * 0x06;
            pal[i] = (0x08 << 16) | (g << 8) | b;
        }
        pal[shades] = 0x5070A0; // grid line
        byte[] px = new byte[w * h];
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                px[y * w + x] = (byte) ((x % 8 == 7 || y % 8 == 7) ? shades : y * shades / h);
        return new Picture(w, h, pal, -1, px);
    }

    /** 16x16: a jigsaw piece. */
    static Picture puzzleIcon() {
        return art(".kpl", new int[] {0x000000, 0x303030, 0xE07020, 0xF8B070}, 0,
                "................",
                "......kkkk......",
                ".....kllllk.....",
                ".....kllppk.....",
                ".kkkkkkppkkkkkk.",
                ".kllllllppppppk.",
                ".klppppppppppk..",
                ".klpppppppppk...",
                ".klppppppppppk..",
                ".klppppppppppk..",
                ".klpppppppppppk.",
                ".klpppppppppppk.",
                ".kppppppppppppk.",
                ".kkkkkkkkkkkkkk.",
                "................",
                "................");
    }

    /** 64x64: a board of 4x4 panels in two tones. */
    static Picture puzzleBackground() {
        int w = 64, h = 64;
        int[] pal = {0xF4EEDC, 0xE2D6B4, 0x9C8660};
        byte[] px = new byte[w * h];
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                int edge = (x % 16 == 0 || y % 16 == 0) ? 2 : -1;
                int tone = ((x / 16) + (y / 16)) % 2;
                px[y * w + x] = (byte) (edge >= 0 ? edge : tone);
            }
        return new Picture(w, h, pal, -1, px);
    }

    /** 16x16: a small round character on a transparent ground. */
    static Picture character() {
        return art(".kwsre", new int[] {0xFF00FF, 0x202020, 0xFFFFFF, 0xFFD0A0, 0xE04060, 0x4060E0}, 0,
                "................",
                ".....kkkkkk.....",
                "....krrrrrrk....",
                "...krrrrrrrrk...",
                "...kssssssssk...",
                "..ksswkssswksk..",
                "..ksskksskkssk..",
                "..kssssssssssk..",
                "...ksssrrsssk...",
                "....kssssssk....",
                "...keeeeeeeek...",
                "..keeeeeeeeeek..",
                "..kskeeeeeeksk..",
                "...kkeeeeeekk...",
                "....kkk..kkk....",
                "................");
    }

    // ---- PNG writing ---------------------------------------------------

    static void write(Path file, Picture p) throws IOException {
        ByteArrayOutputStream png = new ByteArrayOutputStream();
        png.write(new byte[] {(byte) 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});

        ByteArrayOutputStream ihdr = new ByteArrayOutputStream();
        int32(ihdr, p.width());
        int32(ihdr, p.height());
        ihdr.write(8); // bits per palette index
        ihdr.write(3); // colour type: palette
        ihdr.write(0); // deflate
        ihdr.write(0); // adaptive filtering
        ihdr.write(0); // not interlaced
        chunk(png, "IHDR", ihdr.toByteArray());

        ByteArrayOutputStream plte = new ByteArrayOutputStream();
        for (int rgb : p.palette()) {
            plte.write(rgb >>> 16 & 0xFF);
            plte.write(rgb >>> 8 & 0xFF);
            plte.write(rgb & 0xFF);
        }
        chunk(png, "PLTE", plte.toByteArray());

        if (p.transparentIndex() >= 0) {
            byte[] alpha = new byte[p.transparentIndex() + 1];
            java.util.Arrays.fill(alpha, (byte) 0xFF);
            alpha[p.transparentIndex()] = 0;
            chunk(png, "tRNS", alpha);
        }

        ByteArrayOutputStream raw = new ByteArrayOutputStream();
        for (int y = 0; y < p.height(); y++) {
            raw.write(0); // filter: none
            raw.write(p.pixels(), y * p.width(), p.width());
        }
        chunk(png, "IDAT", zlibStored(raw.toByteArray()));
        chunk(png, "IEND", new byte[0]);

        Files.write(file, png.toByteArray());
    }

    /** A zlib stream of stored deflate blocks. */
    static byte[] zlibStored(byte[] data) {
        ByteArrayOutputStream z = new ByteArrayOutputStream();
        z.write(0x78);
        z.write(0x01);
        int pos = 0;
        do {
            int n = Math.min(65535, data.length - pos);
            boolean last = pos + n == data.length;
            z.write(last ? 1 : 0);
            z.write(n & 0xFF);
            z.write(n >>> 8);
            z.write(~n & 0xFF);
            z.write(~n >>> 8 & 0xFF);
            z.write(data, pos, n);
            pos += n;
        } while (pos < data.length);
        Adler32 adler = new Adler32();
        adler.update(data);
        int32(z, (int) adler.getValue());
        return z.toByteArray();
    }

    static void chunk(ByteArrayOutputStream png, String type, byte[] data) {
        byte[] t = type.getBytes(StandardCharsets.US_ASCII);
        int32(png, data.length);
        png.write(t, 0, 4);
        png.write(data, 0, data.length);
        CRC32 crc = new CRC32();
        crc.update(t);
        crc.update(data);
        int32(png, (int) crc.getValue());
    }

    static void int32(ByteArrayOutputStream s, int v) {
        s.write(v >>> 24);
        s.write(v >>> 16 & 0xFF);
        s.write(v >>> 8 & 0xFF);
        s.write(v & 0xFF);
    }
}
