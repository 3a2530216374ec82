package javax.microedition.lcdui;

/** Compile-only. The game actions and key codes have the handset's values. */
public abstract class Canvas extends Displayable {
    public static final int UP = 1;
    public static final int DOWN = 6;
    public static final int LEFT = 2;
    public static final int RIGHT = 5;
    public static final int FIRE = 8;
    public static final int KEY_NUM0 = 48;
    public static final int KEY_NUM2 = 50;
    public static final int KEY_NUM4 = 52;
    public static final int KEY_NUM5 = 53;
    public static final int KEY_NUM6 = 54;
    public static final int KEY_NUM8 = 56;

    protected Canvas() {}

    protected abstract void paint(Graphics g);

    public final void repaint() {
        throw new RuntimeException("compile-only API");
    }

    public int getGameAction(int keyCode) {
        throw new RuntimeException("compile-only API");
    }

    protected void keyPressed(int keyCode) {}

    protected void keyRepeated(int keyCode) {}

    protected void showNotify() {}

    protected void hideNotify() {}
}
