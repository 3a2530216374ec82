package javax.microedition.media;

/** Compile-only: the tone generator of the MIDP 2.0 sound subset. */
public final class Manager {
    private Manager() {}

    /** note: 0..127, 60 being middle C; duration in milliseconds; volume 0..100. */
    public static void playTone(int note, int duration, int volume) throws MediaException {
        throw new RuntimeException("compile-only API");
    }
}
