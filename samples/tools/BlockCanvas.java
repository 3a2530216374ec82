// The block game's screen: a well of falling four-square pieces drawn over
// the background picture (back.png, the entry that the template's File option
// replaces), beside a panel that shows every setting the MIDlet was given.
//
// Keys: left/right (4/6) move, up (2) or fire (5) turns, down (8) drops one
// row. Fire after the game is over starts a new one.

import java.io.IOException;
import java.util.Random;
import java.util.Vector;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Font;
import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.Image;
import javax.microedition.media.MediaException;
import javax.microedition.media.Manager;

class BlockCanvas extends Canvas implements Runnable {
    private static final int COLUMNS = 8;
    private static final int ROWS = 14;

    // Seven pieces, four squares each, as (x, y) pairs around the turning point.
    private static final int[][] PIECES = {
        {-1, 0, 0, 0, 1, 0, 2, 0},   // I
        {0, 0, 1, 0, 0, 1, 1, 1},    // O
        {-1, 0, 0, 0, 1, 0, 0, 1},   // T
        {-1, 0, 0, 0, 0, 1, 1, 1},   // Z
        {0, 0, 1, 0, -1, 1, 0, 1},   // S
        {-1, 0, 0, 0, 1, 0, -1, 1},  // L
        {-1, 0, 0, 0, 1, 0, 1, 1},   // J
    };
    private static final int[] PIECE_COLORS = {
        0x30C0E0, 0xF0C020, 0xA040D0, 0xE03030, 0x30B040, 0xF08020, 0x3060E0,
    };

    private final String name;
    private final String vendor;
    private final int speed;
    private final int backColor;
    private final boolean sound;
    private final String description;
    private final Image background;
    private final Random random = new Random();

    // Colour of each settled square plus one, 0 for an empty cell.
    private final int[][] well = new int[ROWS][COLUMNS];
    private final int[] piece = new int[8];
    private int pieceKind;
    private int pieceX;
    private int pieceY;
    private int score;
    private boolean over;

    private volatile Thread ticker;

    BlockCanvas(String name, String vendor, int speed, int backColor, boolean sound, String description) {
        this.name = name;
        this.vendor = vendor;
        this.speed = Math.max(1, Math.min(10, speed));
        this.backColor = backColor;
        this.sound = sound;
        this.description = description;
        this.background = loadImage("/back.png");
        newGame();
    }

    /** A picture from the archive, or null when the entry is missing or no picture. */
    static Image loadImage(String entry) {
        try {
            return Image.createImage(entry);
        } catch (IOException e) {
            return null;
        } catch (IllegalArgumentException e) {
            return null;
        }
    }

    // ---- timing ------------------------------------------------------------

    void start() {
        if (ticker == null) {
            ticker = new Thread(this);
            ticker.start();
        }
    }

    void stop() {
        ticker = null;
    }

    /** Milliseconds between two steps down: speed 1 is leisurely, 10 is fast. */
    private int stepDelay() {
        return 1000 - (speed - 1) * 95;
    }

    public void run() {
        Thread self = Thread.currentThread();
        while (ticker == self) {
            try {
                Thread.sleep(stepDelay());
            } catch (InterruptedException e) {
                return;
            }
            if (ticker != self) return;
            fall();
            repaint();
        }
    }

    // ---- the game ------------------------------------------------------------

    private synchronized void newGame() {
        for (int y = 0; y < ROWS; y++) {
            for (int x = 0; x < COLUMNS; x++) well[y][x] = 0;
        }
        score = 0;
        over = false;
        nextPiece();
    }

    private void nextPiece() {
        pieceKind = random.nextInt(PIECES.length);
        System.arraycopy(PIECES[pieceKind], 0, piece, 0, 8);
        pieceX = COLUMNS / 2 - 1;
        pieceY = 0;
        if (!fits(piece, pieceX, pieceY)) over = true;
    }

    private boolean fits(int[] squares, int atX, int atY) {
        for (int i = 0; i < 8; i += 2) {
            int x = atX + squares[i], y = atY + squares[i + 1];
            if (x < 0 || x >= COLUMNS || y < 0 || y >= ROWS) return false;
            if (well[y][x] != 0) return false;
        }
        return true;
    }

    private synchronized void move(int dx) {
        if (!over && fits(piece, pieceX + dx, pieceY)) pieceX += dx;
    }

    private synchronized void turn() {
        if (over || pieceKind == 1) return;  // the square looks the same turned
        int[] turned = new int[8];
        for (int i = 0; i < 8; i += 2) {
            turned[i] = -piece[i + 1];
            turned[i + 1] = piece[i];
        }
        if (fits(turned, pieceX, pieceY)) System.arraycopy(turned, 0, piece, 0, 8);
    }

    private synchronized void fall() {
        if (over) return;
        if (fits(piece, pieceX, pieceY + 1)) {
            pieceY++;
            return;
        }
        for (int i = 0; i < 8; i += 2) well[pieceY + piece[i + 1]][pieceX + piece[i]] = pieceKind + 1;
        int cleared = clearFullRows();
        score += cleared * cleared * 10;
        beep(cleared > 0 ? 76 : 60);
        nextPiece();
        if (over) beep(48);
    }

    private int clearFullRows() {
        int cleared = 0;
        for (int y = ROWS - 1; y >= 0; y--) {
            boolean full = true;
            for (int x = 0; x < COLUMNS; x++) full &= well[y][x] != 0;
            if (!full) continue;
            for (int above = y; above > 0; above--) System.arraycopy(well[above - 1], 0, well[above], 0, COLUMNS);
            for (int x = 0; x < COLUMNS; x++) well[0][x] = 0;
            cleared++;
            y++;  // the row that moved down into y is looked at again
        }
        return cleared;
    }

    private void beep(int note) {
        if (!sound) return;
        try {
            Manager.playTone(note, 60, 60);
        } catch (MediaException e) {
            // A handset without a tone generator plays the game silently.
        }
    }

    protected void keyPressed(int keyCode) {
        int action = getGameAction(keyCode);
        if (over) {
            if (action == FIRE || keyCode == KEY_NUM5) newGame();
        } else if (action == LEFT || keyCode == KEY_NUM4) {
            move(-1);
        } else if (action == RIGHT || keyCode == KEY_NUM6) {
            move(1);
        } else if (action == UP || action == FIRE || keyCode == KEY_NUM2 || keyCode == KEY_NUM5) {
            turn();
        } else if (action == DOWN || keyCode == KEY_NUM8) {
            fall();
        }
        repaint();
    }

    protected void keyRepeated(int keyCode) {
        keyPressed(keyCode);
    }

    protected void hideNotify() {
        stop();
    }

    protected void showNotify() {
        start();
    }

    // ---- drawing ---------------------------------------------------------------

    protected synchronized void paint(Graphics g) {
        int w = getWidth(), h = getHeight();
        int ink = contrastingInk(backColor);
        Font small = Font.getFont(Font.FACE_SYSTEM, Font.STYLE_PLAIN, Font.SIZE_SMALL);
        Font bold = Font.getFont(Font.FACE_SYSTEM, Font.STYLE_BOLD, Font.SIZE_SMALL);
        int line = small.getHeight();

        g.setClip(0, 0, w, h);
        g.setColor(backColor);
        g.fillRect(0, 0, w, h);

        // Title and vendor across the top.
        g.setColor(ink);
        g.setFont(bold);
        g.drawString(name, 2, 1, Graphics.TOP | Graphics.LEFT);
        g.setFont(small);
        g.drawString(vendor, 2, 1 + bold.getHeight(), Graphics.TOP | Graphics.LEFT);
        int top = 3 + bold.getHeight() + line;

        // The well on the left, as tall as the screen allows.
        Vector<String> descriptionLines = wrap(description, small, w - 4);
        int bottomText = descriptionLines.size() * line + 2;
        int cell = Math.max(2, Math.min((w * 3 / 5) / COLUMNS, (h - top - bottomText - 2) / ROWS));
        int wellX = 2, wellY = top, wellW = cell * COLUMNS, wellH = cell * ROWS;
        drawWell(g, wellX, wellY, cell, wellW, wellH);
        g.setClip(0, 0, w, h);

        // The settings beside it.
        int panelX = wellX + wellW + 4;
        g.setColor(ink);
        int y = wellY;
        y = label(g, small, panelX, y, "Speed", String.valueOf(speed));
        y = label(g, small, panelX, y, "Sound", sound ? "on" : "off");
        y = label(g, small, panelX, y, "Colour", hex(backColor));
        y = label(g, small, panelX, y, "Score", String.valueOf(score));
        if (background == null) y = label(g, small, panelX, y, "Picture", "none");
        if (over) {
            g.setFont(bold);
            g.drawString("GAME OVER", panelX, y + line, Graphics.TOP | Graphics.LEFT);
            g.setFont(small);
            g.drawString("5: again", panelX, y + line + bold.getHeight(), Graphics.TOP | Graphics.LEFT);
        }

        // The description under the well.
        y = wellY + wellH + 2;
        for (int i = 0; i < descriptionLines.size(); i++) {
            g.drawString(descriptionLines.elementAt(i), 2, y, Graphics.TOP | Graphics.LEFT);
            y += line;
        }
    }

    private void drawWell(Graphics g, int x0, int y0, int cell, int wellW, int wellH) {
        g.setClip(x0, y0, wellW, wellH);
        g.setColor(0x000000);
        g.fillRect(x0, y0, wellW, wellH);
        if (background != null) {
            // Tiled, so that a picture of any size fills the well.
            int bw = Math.max(1, background.getWidth()), bh = Math.max(1, background.getHeight());
            for (int y = y0; y < y0 + wellH; y += bh) {
                for (int x = x0; x < x0 + wellW; x += bw) g.drawImage(background, x, y, Graphics.TOP | Graphics.LEFT);
            }
        }
        for (int y = 0; y < ROWS; y++) {
            for (int x = 0; x < COLUMNS; x++) {
                if (well[y][x] != 0) square(g, x0 + x * cell, y0 + y * cell, cell, PIECE_COLORS[well[y][x] - 1]);
            }
        }
        if (!over) {
            for (int i = 0; i < 8; i += 2) {
                square(g, x0 + (pieceX + piece[i]) * cell, y0 + (pieceY + piece[i + 1]) * cell, cell,
                        PIECE_COLORS[pieceKind]);
            }
        }
        g.setColor(0x808080);
        g.drawRect(x0, y0, wellW - 1, wellH - 1);
    }

    private static void square(Graphics g, int x, int y, int size, int color) {
        g.setColor(color);
        g.fillRect(x, y, size, size);
        g.setColor(0x202020);
        g.drawRect(x, y, size - 1, size - 1);
    }

    /** Draws "name" above "value" and returns the y below them. */
    private static int label(Graphics g, Font font, int x, int y, String name, String value) {
        g.setFont(font);
        g.drawString(name, x, y, Graphics.TOP | Graphics.LEFT);
        g.drawString(value, x + 4, y + font.getHeight(), Graphics.TOP | Graphics.LEFT);
        return y + 2 * font.getHeight() + 2;
    }

    /** Black on a light colour, white on a dark one. */
    static int contrastingInk(int rgb) {
        int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        return r * 299 + g * 587 + b * 114 > 128000 ? 0x000000 : 0xFFFFFF;
    }

    /** "#RRGGBB". */
    static String hex(int rgb) {
        String digits = Integer.toHexString((rgb & 0xFFFFFF) | 0x1000000).toUpperCase();
        return new StringBuffer("#").append(digits.substring(1)).toString();
    }

    /** The text broken into lines no wider than width; a character wider than that gets a line of its own. */
    static Vector<String> wrap(String text, Font font, int width) {
        Vector<String> lines = new Vector<String>();
        StringBuffer current = new StringBuffer();
        int used = 0;
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            int cw = font.charWidth(c);
            if (used + cw > width && current.length() > 0) {
                lines.addElement(current.toString());
                current.setLength(0);
                used = 0;
            }
            current.append(c);
            used += cw;
        }
        if (current.length() > 0) lines.addElement(current.toString());
        return lines;
    }
}
