package javax.microedition.lcdui;

/** Compile-only. */
public final class Font {
    public static final int FACE_SYSTEM = 0;
    public static final int STYLE_PLAIN = 0;
    public static final int STYLE_BOLD = 1;
    public static final int SIZE_SMALL = 8;
    public static final int SIZE_MEDIUM = 0;
    public static final int SIZE_LARGE = 16;

    private Font() {}

    public static Font getFont(int face, int style, int size) {
        throw new RuntimeException("compile-only API");
    }

    public int getHeight() {
        throw new RuntimeException("compile-only API");
    }

    public int stringWidth(String str) {
        throw new RuntimeException("compile-only API");
    }

    public int charWidth(char ch) {
        throw new RuntimeException("compile-only API");
    }
}
