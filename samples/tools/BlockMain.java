// The block game's MIDlet: reads the personalisation that a build writes into
// the descriptor and hands it to the game screen.
//
// Handset classes only (MIDP 2.0, CLDC 1.1): no StringBuilder, no string "+"
// (javac would turn it into StringBuilder calls), no collections beyond
// java.util.Vector. make-samples.sh refuses a class that names anything else.

import javax.microedition.lcdui.Command;
import javax.microedition.lcdui.CommandListener;
import javax.microedition.lcdui.Display;
import javax.microedition.lcdui.Displayable;
import javax.microedition.midlet.MIDlet;

public class BlockMain extends MIDlet implements CommandListener {
    // The template's own defaults. The template descriptor itself carries the
    // option declarations ("速度,INT,3") under these keys, which parse as
    // nothing, so an archive run straight from the template plays with these.
    static final int DEFAULT_SPEED = 3;
    static final int DEFAULT_BACK_COLOR = 0xFFFFFF;

    private BlockCanvas canvas;
    private final Command exit = new Command("Exit", Command.EXIT, 1);

    protected void startApp() {
        if (canvas == null) {
            canvas = new BlockCanvas(
                    text("MIDlet-Name"),
                    text("MIDlet-Vendor"),
                    integer("Pelko-Speed", DEFAULT_SPEED),
                    integer("Pelko-BackColor", DEFAULT_BACK_COLOR) & 0xFFFFFF,
                    flag("Pelko-Sound", true),
                    text("MIDlet-Description"));
            canvas.addCommand(exit);
            canvas.setCommandListener(this);
        }
        Display.getDisplay(this).setCurrent(canvas);
        canvas.start();
    }

    protected void pauseApp() {
        if (canvas != null) canvas.stop();
    }

    protected void destroyApp(boolean unconditional) {
        if (canvas != null) canvas.stop();
    }

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

    /** A yes/no attribute: "1" is yes, "0" is no, anything else the fallback. */
    private boolean flag(String key, boolean fallback) {
        String value = text(key);
        if (value.equals("1")) return true;
        if (value.equals("0")) return false;
        return fallback;
    }
}
