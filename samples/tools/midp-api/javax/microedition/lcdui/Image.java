package javax.microedition.lcdui;

import java.io.IOException;

/** Compile-only. */
public class Image {
    private Image() {}

    /** Decodes a picture stored in the application's own archive, named from its root ("/back.png"). */
    public static Image createImage(String name) throws IOException {
        throw new RuntimeException("compile-only API");
    }

    public int getWidth() {
        throw new RuntimeException("compile-only API");
    }

    public int getHeight() {
        throw new RuntimeException("compile-only API");
    }
}
