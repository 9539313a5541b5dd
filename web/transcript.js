// hitblow in a browser: the transcript, the game's dialogue as page text, with the line being typed at its end.
'use strict';

// How many lines the transcript keeps, as a terminal keeps its scrollback:
// the oldest go first.
const KEPT_LINES = 2000;

// The transcript is a column of blocks, each shown from a new line, each
// holding plain text whose line feeds break its lines.  Every batch of the
// game's text, all it prints until it next waits for the player, is one
// block, added whole and never changed after: a screen reader presents it
// as one message, its lines in order, and nothing twice.  What the player
// typed ends the block it was typed after, as a terminal's echo leaves it,
// hidden from screen readers: they have heard it as it was typed.  The line
// being typed, with its caret, ends the last block.  The page's own words
// (the end of a run, a run that could not be brought back) are notes: a
// block of their own, or the last part of one.
//
// A browser tells a screen reader of the changes it gathered all at once,
// in an order of its own, so a block is heard at least HEARD_GAP_MS after
// the one before; what comes meanwhile is gathered into the next block, in
// order.
//
// The blocks go into one of two parents: the log (role="log", a polite live
// region) while a run is played, or, while a run is brought back after a
// reload, the part before it, which is no live region, so that nothing is
// said again.
const HEARD_GAP_MS = 250;

class Transcript {
    // `log` is the live region; `earlier` the part before it, in the same
    // flow; `view` the element that scrolls them.
    constructor(log, earlier, view)
    {
        this.log = log;
        this.earlier = earlier;
        this.view = view;
        this.parent = log;      // where new blocks go
        this.waiting = [];      // blocks not yet on the page, oldest first; the last may still grow
        this.lastHeard = -Infinity; // when the last block was added to the log
        this.timer = null;      // puts the next waiting block on the page
        this.placed = [];       // what waits for the waiting blocks to stand
        this.lines = 0;         // how many lines the blocks hold
        this.atEnd = true;      // the end of the transcript is in view
        this.scrolling = false; // the end is to be brought into view in the next frame
        this.typed = document.createElement('span');
        this.typed.className = 'typed';
        this.typed.setAttribute('aria-hidden', 'true');
        this.typedText = document.createTextNode('');
        this.caret = document.createElement('span');
        this.caret.className = 'caret';
        this.typed.append(this.typedText, this.caret);
        // Whenever the view or what it holds changes size (the bar under it
        // shown or hidden, the keypad, the window, zoom, a phone's keyboard),
        // an end that was in view stays in view.
        view.addEventListener('scroll', () => {
            this.atEnd = view.scrollTop + view.clientHeight >= view.scrollHeight - 2;
        }, {passive: true});
        const follow = new ResizeObserver(() => {
            if (this.atEnd)
                this.view.scrollTop = this.view.scrollHeight;
        });
        follow.observe(view);
        follow.observe(log.parentElement);
        this.clear();
    }

    // Empties the transcript, for a new run.
    clear()
    {
        clearTimeout(this.timer);
        this.timer = null;
        this.waiting = [];
        this.placed = [];
        this.lines = 0;
        this.typedText.data = '';
        this.earlier.replaceChildren();
        this.log.replaceChildren();
        this.parent = this.log;
        this.scroll();
    }

    // Makes the blocks added from now on silent (while a run is brought
    // back), or heard again.
    silence(silent)
    {
        const parent = silent ? this.earlier : this.log;
        if (parent !== this.parent) {
            this.placeAll();
            this.parent = parent;
        }
    }

    // Adds the game's `text`.
    print(text)
    {
        const block = this.gather();
        if (block.lastChild?.nodeType === Node.TEXT_NODE)
            block.lastChild.appendData(text);
        else
            block.append(this.keep(text));
        this.count(text);
    }

    // Adds the page's own `text` as a note, a block of its own after the game's text.
    note(text)
    {
        const note = document.createElement('div');
        note.className = 'note';
        note.textContent = text;
        this.wait(note);
    }

    // Runs `action` once all that was added before stands on the page.
    then(action)
    {
        if (this.waiting.length === 0)
            action();
        else
            this.placed.push(action);
    }

    // Adds the echo of lines the player handed over, after the game's text.
    echo(text)
    {
        const span = document.createElement('span');
        span.setAttribute('aria-hidden', 'true');
        span.textContent = this.keep(text);
        if (this.waiting.length > 0)
            this.gather().append(span);
        else if (this.typed.parentNode !== null)
            this.typed.before(span);
        else
            this.put(document.createElement('div')).append(span);
        this.count(text);
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

    // The last block waiting, that text may be added to: begun if there is
    // none, or if the last is a note.
    gather()
    {
        const last = this.waiting[this.waiting.length - 1];
        if (last !== undefined && last.className !== 'note')
            return last;
        const block = document.createElement('div');
        this.wait(block);
        return block;
    }

    // Puts `block` in line for the page.  It goes on once the game has done
    // its work, and no sooner than a screen reader can hear it apart from
    // the block before.
    wait(block)
    {
        this.waiting.push(block);
        this.lines++;
        if (this.timer === null)
            this.timer = setTimeout(() => this.placeNext(), 0);
    }

    // Puts the oldest waiting block on the page, if a screen reader can hear
    // it apart now; the next one later.
    placeNext()
    {
        this.timer = null;
        const heard = this.parent === this.log;
        const wait = heard ? this.lastHeard + HEARD_GAP_MS - performance.now() : 0;
        if (wait > 0) {
            this.timer = setTimeout(() => this.placeNext(), wait);
            return;
        }
        this.put(this.waiting.shift());
        if (this.waiting.length > 0)
            this.timer = setTimeout(() => this.placeNext(), heard ? HEARD_GAP_MS : 0);
        else
            this.ran();
    }

    // Puts every waiting block on the page at once: they will not be heard.
    placeAll()
    {
        clearTimeout(this.timer);
        this.timer = null;
        for (const block of this.waiting.splice(0))
            this.put(block);
        this.ran();
    }

    // Runs what waited for the waiting blocks to stand.
    ran()
    {
        for (const action of this.placed.splice(0))
            action();
    }

    // Puts `block` last, with the line being typed at its end, and returns it.
    put(block)
    {
        block.append(this.typed);
        this.parent.append(block);
        if (this.parent === this.log)
            this.lastHeard = performance.now();
        this.trim();
        this.scroll();
        return block;
    }

    // The end of `text` that the transcript can keep: all but its last
    // KEPT_LINES lines would go at once.
    keep(text)
    {
        let at = text.length;
        for (let feeds = 0; feeds < KEPT_LINES && at > 0; feeds++)
            at = text.lastIndexOf('\n', at - 1);
        return at <= 0 ? text : text.slice(at + 1);
    }

    // Counts the lines that `text` adds to the transcript.
    count(text)
    {
        for (let at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1))
            this.lines++;
    }

    // Drops the oldest blocks while the transcript holds more than
    // KEPT_LINES lines, keeping the last block whatever its size.
    trim()
    {
        while (this.lines > KEPT_LINES) {
            const oldest = this.earlier.firstElementChild || this.log.firstElementChild;
            if (oldest === null || oldest.contains(this.typed))
                return;
            const text = oldest.textContent;
            oldest.remove();
            this.lines -= text.split('\n').length;
        }
    }

    // Brings the end of the transcript, where the player types, into view,
    // in the next frame: the browser lays the page out for it then anyway,
    // and the game's answer is on the page without waiting for that.
    scroll()
    {
        this.atEnd = true;
        if (this.scrolling)
            return;
        this.scrolling = true;
        requestAnimationFrame(() => {
            this.scrolling = false;
            this.view.scrollTop = this.view.scrollHeight;
        });
    }
}
