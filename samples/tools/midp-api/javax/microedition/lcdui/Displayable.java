package javax.microedition.lcdui;

/** Compile-only. Applications extend it only through Canvas. */
public abstract class Displayable {
    Displayable() {}

    public void addCommand(Command cmd) {
        throw new RuntimeException("compile-only API");
    }

    public void setCommandListener(CommandListener l) {
        throw new RuntimeException("compile-only API");
    }

    public int getWidth() {
        throw new RuntimeException("compile-only API");
    }

    public int getHeight() {
        throw new RuntimeException("compile-only API");
    }
}
