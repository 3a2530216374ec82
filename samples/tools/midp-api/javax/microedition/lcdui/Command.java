package javax.microedition.lcdui;

/** Compile-only. */
public class Command {
    public static final int SCREEN = 1;
    public static final int EXIT = 7;

    public Command(String label, int commandType, int priority) {
        throw new RuntimeException("compile-only API");
    }
}
