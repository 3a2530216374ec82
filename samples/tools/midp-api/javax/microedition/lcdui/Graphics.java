package javax.microedition.lcdui;

/** Compile-only. The anchor points have the handset's values. */
public class Graphics {
    public static final int HCENTER = 1;
    public static final int VCENTER = 2;
    public static final int LEFT = 4;
    public static final int RIGHT = 8;
    public static final int TOP = 16;
    public static final int BOTTOM = 32;

    private Graphics() {}

    public void setColor(int rgb) {
        throw new RuntimeException("compile-only API");
    }

    public void setFont(Font font) {
        throw new RuntimeException("compile-only API");
    }

    public void setClip(int x, int y, int width, int height) {
        throw new RuntimeException("compile-only API");
    }

    public void fillRect(int x, int y, int width, int height) {
        throw new RuntimeException("compile-only API");
    }

    public void drawRect(int x, int y, int width, int height) {
        throw new RuntimeException("compile-only API");
    }

    public void drawString(String str, int x, int y, int anchor) {
        throw new RuntimeException("compile-only API");
    }

    public void drawImage(Image img, int x, int y, int anchor) {
        throw new RuntimeException("compile-only API");
    }
}
