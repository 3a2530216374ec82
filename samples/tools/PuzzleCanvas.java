// The sliding puzzle's screen: numbered panels on a board over the background
// picture (bg.png), with the character (chara.png) standing in the gap. Both
// pictures are the entries that the template's File options replace.
//
// Keys: the arrows (2/4/6/8) walk the character, which swaps places with the
// panel it walks onto. The start message shows until the first key, and again
// after the board is solved; fire (5) then shuffles a new board.

import java.io.IOException;
import java.util.Random;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Font;
import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.Image;

class PuzzleCanvas extends Canvas {
    private static final int SMALLEST = 2;
    private static final int LARGEST = 6;

    private final String name;
    private final String vendor;
    private final int size;
    private final int textColor;
    private final String message;
    private final Image background;
    private final Image character;
    private final Random random = new Random();

    // Panel number at each place, row by row; 0 is the gap.
    private final int[] board;
    private int gap;
    private int moves;
    private boolean waiting = true;
    private boolean solved;

    PuzzleCanvas(String name, String vendor, int size, int textColor, String message) {
        this.name = name;
        this.vendor = vendor;
        this.size = Math.max(SMALLEST, Math.min(LARGEST, size));
        this.textColor = textColor;
        this.message = message;
        this.background = loadImage("/bg.png");
        this.character = loadImage("/chara.png");
        this.board = new int[this.size * this.size];
        shuffle();
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

    // ---- the puzzle ------------------------------------------------------------

    /** A board reached from the solved one by random moves, so it can always be solved. */
    private void shuffle() {
        for (int i = 0; i < board.length - 1; i++) board[i] = i + 1;
        board[board.length - 1] = 0;
        gap = board.length - 1;
        int steps = board.length * 20;
        for (int i = 0; i < steps; i++) {
            int[] dx = {0, 0, -1, 1}, dy = {-1, 1, 0, 0};
            int k = random.nextInt(4);
            walk(dx[k], dy[k]);
        }
        if (isSolved()) walk(gap % size == 0 ? 1 : -1, 0);
        moves = 0;
        solved = false;
    }

    /** Moves the gap one place, if the board goes that far; true when it moved. */
    private boolean walk(int dx, int dy) {
        int x = gap % size + dx, y = gap / size + dy;
        if (x < 0 || x >= size || y < 0 || y >= size) return false;
        int to = y * size + x;
        board[gap] = board[to];
        board[to] = 0;
        gap = to;
        return true;
    }

    private boolean isSolved() {
        for (int i = 0; i < board.length - 1; i++) {
            if (board[i] != i + 1) return false;
        }
        return true;
    }

    protected void keyPressed(int keyCode) {
        int action = getGameAction(keyCode);
        if (waiting) {
            waiting = false;
            if (solved) shuffle();
        } else if (action == UP || keyCode == KEY_NUM2) {
            step(0, -1);
        } else if (action == DOWN || keyCode == KEY_NUM8) {
            step(0, 1);
        } else if (action == LEFT || keyCode == KEY_NUM4) {
            step(-1, 0);
        } else if (action == RIGHT || keyCode == KEY_NUM6) {
            step(1, 0);
        }
        repaint();
    }

    private void step(int dx, int dy) {
        if (!walk(dx, dy)) return;
        moves++;
        if (isSolved()) {
            solved = true;
            waiting = true;
        }
    }

    // ---- drawing ---------------------------------------------------------------

    protected void paint(Graphics g) {
        int w = getWidth(), h = getHeight();
        Font small = Font.getFont(Font.FACE_SYSTEM, Font.STYLE_PLAIN, Font.SIZE_SMALL);
        Font bold = Font.getFont(Font.FACE_SYSTEM, Font.STYLE_BOLD, Font.SIZE_MEDIUM);
        int line = small.getHeight();

        g.setClip(0, 0, w, h);
        g.setColor(0xFFFFFF);
        g.fillRect(0, 0, w, h);
        if (background != null) {
            // Tiled, so that a picture of any size covers the screen.
            int bw = Math.max(1, background.getWidth()), bh = Math.max(1, background.getHeight());
            for (int y = 0; y < h; y += bh) {
                for (int x = 0; x < w; x += bw) g.drawImage(background, x, y, Graphics.TOP | Graphics.LEFT);
            }
        }

        g.setColor(textColor);
        g.setFont(bold);
        g.drawString(name, w / 2, 2, Graphics.TOP | Graphics.HCENTER);
        g.setFont(small);
        g.drawString(vendor, w / 2, 2 + bold.getHeight(), Graphics.TOP | Graphics.HCENTER);
        int top = 4 + bold.getHeight() + line;

        String status = new StringBuffer().append(size).append('x').append(size)
                .append("  moves ").append(moves).toString();
        g.drawString(status, w / 2, h - 2, Graphics.BOTTOM | Graphics.HCENTER);

        int room = Math.min(w - 8, h - top - line - 8);
        int cell = Math.max(8, room / size);
        int x0 = (w - cell * size) / 2, y0 = top + 2;
        for (int i = 0; i < board.length; i++) {
            int x = x0 + (i % size) * cell, y = y0 + (i / size) * cell;
            if (board[i] == 0) {
                drawCharacter(g, x, y, cell);
            } else {
                g.setColor(0xF0E8D0);
                g.fillRect(x + 1, y + 1, cell - 2, cell - 2);
                g.setColor(0x605030);
                g.drawRect(x + 1, y + 1, cell - 3, cell - 3);
                g.setColor(textColor);
                g.drawString(String.valueOf(board[i]), x + cell / 2, y + (cell - line) / 2,
                        Graphics.TOP | Graphics.HCENTER);
            }
        }

        if (waiting) {
            String text = solved ? "Solved!" : message;
            int boxW = Math.min(w - 8, bold.stringWidth(text) + 12);
            int boxH = bold.getHeight() + 8;
            int bx = (w - boxW) / 2, by = y0 + (cell * size - boxH) / 2;
            g.setColor(0xFFFFFF);
            g.fillRect(bx, by, boxW, boxH);
            g.setColor(textColor);
            g.drawRect(bx, by, boxW - 1, boxH - 1);
            g.setFont(bold);
            g.drawString(text, w / 2, by + 4, Graphics.TOP | Graphics.HCENTER);
        }
    }

    private void drawCharacter(Graphics g, int x, int y, int cell) {
        if (character != null) {
            g.drawImage(character, x + cell / 2, y + cell / 2, Graphics.VCENTER | Graphics.HCENTER);
        } else {
            g.setColor(textColor);
            g.drawRect(x + cell / 4, y + cell / 4, cell / 2, cell / 2);
        }
    }
}
