// hitblow in a browser: the transcript, the game's dialogue as page text, with the line being typed at its end.
'use strict';

// How many lines the transcript keeps, as a terminal keeps its scrollback:
// the oldest go first.
const KEPT_LINES = 2000;

// The transcript is a log (role="log", a polite live region): a <div> for
// each line, holding the game's text as plain text, which screen readers
// read once, as it is added.  What the player typed stands in the same
// lines, as a terminal's echo leaves it, but hidden from screen readers:
// they have heard it as it was typed, and the game's lines are what is new.
// The line being typed, with its caret, ends the last line.
class Transcript {
    // `log` is the element that holds the lines; `view` the one that
    // scrolls them.
    constructor(log, view)
    {
        this.log = log;
        this.view = view;
        this.pending = '';      // the game's text not yet put on the page
        this.scrolling = false; // the end is to be brought into view in the next frame
        this.typed = document.createElement('span');
        this.typed.className = 'typed';
        this.typed.setAttribute('aria-hidden', 'true');
        this.typedText = document.createTextNode('');
        this.caret = document.createElement('span');
        this.caret.className = 'caret';
        this.typed.append(this.typedText, this.caret);
        this.clear();
    }

    // Empties the transcript, for a new run.
    clear()
    {
        this.pending = '';
        this.typedText.data = '';
        const line = document.createElement('div');
        line.append(this.typed);
        this.log.replaceChildren(line);
    }

    // Adds the game's `text`.  What the game prints until it next waits
    // goes on the page at once, after its work: each line is then one piece
    // of text, read as one.
    print(text)
    {
        if (this.pending === '')
            queueMicrotask(() => this.flush());
        this.pending += text;
    }

    // Puts the game's text printed so far on the page.
    flush()
    {
        const text = this.pending;
        this.pending = '';
        if (text !== '')
            this.add(text, (part) => document.createTextNode(part));
    }

    // Adds the echo of lines the player handed over.
    echo(text)
    {
        this.flush();
        this.add(text, (part) => {
            const span = document.createElement('span');
            span.setAttribute('aria-hidden', 'true');
            span.textContent = part;
            return span;
        });
    }

    // Shows `line` as the line being typed.
    edit(line)
    {
        if (this.typedText.data !== line) {
            this.typedText.data = line;
            this.scroll();
        }
    }

    // Shows or hides the caret: it stands while a run waits for the player.
    showCaret(shown)
    {
        this.caret.hidden = !shown;
    }

    // Adds `text` at the end, before the line being typed: its first line
    // ends the last line of the transcript, and each line feed starts a new
    // one.  `node(part)` makes the node that holds one line's text.
    add(text, node)
    {
        let parts = text.split('\n');
        if (parts.length > KEPT_LINES) // all but the last lines would go at once
            parts = ['', ...parts.slice(-KEPT_LINES)];
        if (parts[0] !== '')
            this.typed.before(node(parts[0]));
        if (parts.length > 1) {
            const lines = document.createDocumentFragment();
            for (let i = 1; i < parts.length; i++) {
                const line = document.createElement('div');
                if (parts[i] !== '')
                    line.append(node(parts[i]));
                lines.append(line);
            }
            lines.lastChild.append(this.typed);
            this.log.append(lines);
            this.trim();
        }
        this.scroll();
    }

    // Drops the oldest lines beyond KEPT_LINES.
    trim()
    {
        const excess = this.log.childElementCount - KEPT_LINES;
        if (excess <= 0)
            return;
        const range = document.createRange();
        range.setStartBefore(this.log.firstElementChild);
        range.setEndBefore(this.log.children[excess]);
        range.deleteContents();
    }

    // Brings the end of the transcript, where the player types, into view,
    // in the next frame: the browser lays the page out for it then anyway,
    // and the game's answer is on the page without waiting for that.
    scroll()
    {
        if (this.scrolling)
            return;
        this.scrolling = true;
        requestAnimationFrame(() => {
            this.scrolling = false;
            this.view.scrollTop = this.view.scrollHeight;
        });
    }
}
