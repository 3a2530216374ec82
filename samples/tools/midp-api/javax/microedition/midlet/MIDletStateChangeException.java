package javax.microedition.midlet;

/** Compile-only. */
public class MIDletStateChangeException extends Exception {
    public MIDletStateChangeException() {}

    public MIDletStateChangeException(String message) {
        super(message);
    }
}
