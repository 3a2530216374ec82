package javax.microedition.media;

/** Compile-only. */
public class MediaException extends Exception {
    public MediaException() {}

    public MediaException(String reason) {
        super(reason);
    }
}
