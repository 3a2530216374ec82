package javax.microedition.lcdui;

import javax.microedition.midlet.MIDlet;

/** Compile-only. */
public class Display {
    private Display() {}

    public static Display getDisplay(MIDlet m) {
        throw new RuntimeException("compile-only API");
    }

    public void setCurrent(Displayable nextDisplayable) {
        throw new RuntimeException("compile-only API");
    }
}
