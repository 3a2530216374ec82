package javax.microedition.lcdui;

/** Compile-only. */
public interface CommandListener {
    void commandAction(Command c, Displayable d);
}
