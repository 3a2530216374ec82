package javax.microedition.midlet;

/** Compile-only: the application's life cycle, as the handset provides it. */
public abstract class MIDlet {
    protected MIDlet() {}

    protected abstract void startApp() throws MIDletStateChangeException;

    protected abstract void pauseApp();

    protected abstract void destroyApp(boolean unconditional) throws MIDletStateChangeException;

    public final void notifyDestroyed() {
        throw new RuntimeException("compile-only API");
    }

    /** An attribute of the descriptor, or else of the archive's manifest; null when neither has it. */
    public final String getAppProperty(String key) {
        throw new RuntimeException("compile-only API");
    }
}
