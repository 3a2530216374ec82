// The sliding puzzle's MIDlet: reads the personalisation that a build writes
// into the descriptor and hands it to the puzzle screen.
//
// Handset classes only (MIDP 2.0, CLDC 1.1): no StringBuilder, no string "+"
// (javac would turn it into StringBuilder calls). make-samples.sh refuses a
// class that names anything else.

import javax.microedition.lcdui.Command;
import javax.microedition.lcdui.CommandListener;
import javax.microedition.lcdui.Display;
import javax.microedition.lcdui.Displayable;
import javax.microedition.midlet.MIDlet;

public class PuzzleMain extends MIDlet implements CommandListener {
    // The template's own defaults, used when an attribute is missing or, as in
    // the template descriptor itself ("盤の大きさ,INT,4"), is no number.
    static final int DEFAULT_SIZE = 4;
    static final int DEFAULT_TEXT_COLOR = 0x0000FF;
    static final String DEFAULT_MESSAGE = "Tap to start";

    private PuzzleCanvas canvas;
    private final Command exit = new Command("Exit", Command.EXIT, 1);

    protected void startApp() {
        if (canvas == null) {
            String message = text("Pelko-Message");
            canvas = new PuzzleCanvas(
                    text("MIDlet-Name"),
                    text("MIDlet-Vendor"),
                    integer("Pelko-Size", DEFAULT_SIZE),
                    integer("Pelko-TextColor", DEFAULT_TEXT_COLOR) & 0xFFFFFF,
                    message.length() == 0 ? DEFAULT_MESSAGE : message);
            canvas.addCommand(exit);
            canvas.setCommandListener(this);
        }
        Display.getDisplay(this).setCurrent(canvas);
    }

    protected void pauseApp() {}

    protected void destroyApp(boolean unconditional) {}

    public void commandAction(Command c, Displayable d) {
        if (c == exit) {
            destroyApp(true);
            notifyDestroyed();
        }
    }

    /** The attribute's value, or "" when the descriptor and manifest lack it. */
    private String text(String key) {
        String value = getAppProperty(key);
        return value == null ? "" : value.trim();
    }

    /** A decimal attribute (how a build writes INT and COLOR options), or the fallback. */
    private int integer(String key, int fallback) {
        try {
            return Integer.parseInt(text(key));
        } catch (NumberFormatException e) {
            return fallback;
        }
    }
}
