// hitblow in a browser: the transcript, the game's dialogue as page text, with the line being typed at its end.
'use strict';

// How many lines the transcript keeps at least, as a terminal keeps its
// scrollback: a block goes, whole, once every line in it is older than the
// last KEPT_LINES.
const KEPT_LINES = 2000;

// How many line feeds `text` holds.
function lineFeeds(text)
{
    return text.split('\n').length - 1;
}

// `text` from just after its `count`th line feed (all of it, for none).
function afterLines(text, count)
{
    let at = -1;
    for (let i = 0; i < count; i++)
        at = text.indexOf('\n', at + 1);
    return text.slice(at + 1);
}

// The last KEPT_LINES lines of `text`.
function keep(text)
{
    return afterLines(text, lineFeeds(text) - KEPT_LINES);
}

// The echo of `text`, which screen readers do not hear: they heard it typed.
function hidden(text)
{
    return Object.assign(document.createElement('span'), {ariaHidden: 'true', textContent: text});
}

// The transcript is a column of blocks of plain text.  Each batch of the
// game's text (all it prints until it next waits) is one block, put on the
// page whole as soon as the game has printed it.  The player's echo ends the
// block it was typed after, hidden from screen readers, which heard it
// typed; the line being typed ends the last block; the page's own words are
// notes, blocks of their own.  A screen reader hears each block once, as one
// message: it is hidden from them (aria-hidden) until its turn.  A browser
// tells a screen reader of changes in an order of its own, so a block is
// heard at least HEARD_GAP_MS after the one before.  Blocks go into the log
// (role="log") while a run is played, and into the part before it, which
// says nothing, all at once while a run is brought back after a reload.
// The page's HTML holds the game's first screen, drawn before any script
// runs: a fresh run's first block, heard once the game has printed the same
// text, which is not added again.
const HEARD_GAP_MS = 250;

class Transcript {
    // `log` is the live region, which holds the first screen, a block hidden
    // from screen readers that ends with the line being typed (span.typed, its
    // caret inside); `earlier` the part before it, in the same flow; `view`
    // the element that scrolls them.
    constructor(log, earlier, view)
    {
        this.log = log;
        this.earlier = earlier;
        this.view = view;
        this.lastHeard = -Infinity; // when the last block was heard
        this.typed = log.querySelector('.typed');
        this.caret = this.typed.querySelector('.caret');
        this.typedText = this.typed.insertBefore(new Text(), this.caret);
        // An end in view stays in view whenever the view or what it holds
        // changes size: the bar, the keypad, the window, zoom, a phone's keyboard.
        // A scroll event where the view was last scrolled to moved nothing: the
        // page's own can come late, and WebKit sends one as the view grows lower.
        view.addEventListener('scroll', () => {
            if (view.scrollTop !== this.top)
                this.atEnd = view.scrollTop + view.clientHeight >= view.scrollHeight - 2;
            this.top = view.scrollTop;
        });
        const follow = new ResizeObserver(() => {
            if (this.atEnd)
                this.toEnd();
        });
        follow.observe(view);
        follow.observe(log.parentElement);
        const first = log.firstElementChild;
        this.clear(first.textContent === '' ? null : first);
    }

    // Empties the transcript, for a new run; at the page's start, but for
    // the `first` screen, a fresh run's first block, not yet heard.
    clear(first = null)
    {
        clearTimeout(this.timer);
        clearTimeout(this.hearing);
        this.timer = null;      // puts the waiting blocks on the page
        this.hearing = null;    // lets screen readers hear the next block
        this.waiting = [];      // blocks not yet on the page, and where they go, oldest first; the last may still grow
        this.placed = [];       // what waits for the waiting blocks to stand
        this.unheard = first === null ? [] : [first]; // blocks on the page, hidden from screen readers until their turn
        this.expected = first?.firstChild.data; // what of the first screen's text the game is yet to print
        this.lines = first === null ? 0 : lineFeeds(first.textContent); // how many line feeds the blocks on the page hold
        this.typedText.data = '';
        if (first === null)
            this.typed.remove();
        this.earlier.replaceChildren();
        this.log.replaceChildren(...this.unheard);
        this.parent = this.log; // where new blocks go
        this.scroll();          // and the end, in view, stays in view (atEnd)
        this.hearNext();
    }

    // Makes the blocks added from now on silent (a run brought back), or
    // heard again; what was added while silent goes on the page with them.
    silence(silent)
    {
        this.parent = silent ? this.earlier : this.log;
    }

    // Adds the game's `text`, but what the first screen shows of it already.
    print(text)
    {
        if (this.expected?.startsWith(text)) {
            this.expected = this.expected.slice(text.length);
            this.hearNext();
            return;
        }
        this.expected = undefined;
        this.gather().append(text);
    }

    // Adds the page's own `text` as a note, a block of its own after the game's text.
    note(text)
    {
        this.wait(Object.assign(document.createElement('div'), {className: 'note', textContent: text}));
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
    // On the page it joins the echo just before the line being typed, kept
    // to its last lines: hidden from screen readers, it can change.
    echo(text)
    {
        if (this.waiting.length > 0) {
            this.gather().append(hidden(text));
            return;
        }
        if (this.typed.parentNode === null)
            this.put(document.createElement('div'), this.parent);
        if (this.typed.previousSibling?.nodeName !== 'SPAN')
            this.typed.before(hidden(''));
        const echoed = this.typed.previousSibling;
        const before = lineFeeds(echoed.textContent);
        echoed.textContent = keep(echoed.textContent + text);
        this.lines += lineFeeds(echoed.textContent) - before;
        this.trim();
        this.scroll();
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

    // The last block waiting, to add text to: a new one after a note or none.
    gather()
    {
        const last = this.waiting[this.waiting.length - 1];
        if (last !== undefined && last.parent === this.parent && last.block.className !== 'note')
            return last.block;
        const block = document.createElement('div');
        this.wait(block);
        return block;
    }

    // Puts `block` in line for the page, once the game has done its work;
    // while silent, until the run is heard again.
    wait(block)
    {
        this.waiting.push({block, parent: this.parent});
        if (this.parent === this.log)
            this.timer ??= setTimeout(() => this.placeAll(), 0);
    }

    // Puts every waiting block on the page, and runs what waited for them:
    // also when the game waits for the player, and its batch is whole.
    placeAll()
    {
        clearTimeout(this.timer);
        this.timer = null;
        for (const {block, parent} of this.waiting.splice(0))
            this.put(block, parent);
        for (const action of this.placed.splice(0))
            action();
    }

    // Lets screen readers hear the oldest block still hidden from them, once
    // its turn has come: the first screen once the game has printed it, or
    // once something follows it; any block HEARD_GAP_MS after the one before.
    hearNext()
    {
        while (this.unheard[0]?.isConnected === false)
            this.unheard.shift(); // dropped from the scrollback unheard
        if (this.unheard.length === 0 || this.expected)
            return;
        const wait = this.lastHeard + HEARD_GAP_MS - performance.now();
        clearTimeout(this.hearing);
        if (wait > 0) {
            this.hearing = setTimeout(() => this.hearNext(), wait);
            return;
        }
        this.unheard.shift().removeAttribute('aria-hidden');
        this.lastHeard = performance.now();
        this.hearNext();
    }

    // Puts `block` last in `parent`, cut to its last lines, with the line being
    // typed at its end; in the log, hidden from screen readers until its turn.
    put(block, parent)
    {
        this.shorten(block);
        this.lines += lineFeeds(block.textContent);
        block.append(this.typed);
        parent.append(block);
        if (parent === this.log) {
            block.ariaHidden = 'true';
            this.unheard.push(block);
            this.expected = undefined; // the first screen, followed, is to be heard
        }
        this.trim();
        this.scroll();
        this.hearNext();
    }

    // Cuts the lines before its last KEPT_LINES off `block`, which no one has heard yet.
    shorten(block)
    {
        let over = lineFeeds(block.textContent) - KEPT_LINES;
        while (over > 0) {
            const first = block.firstChild;
            const feeds = lineFeeds(first.textContent);
            if (feeds < over)
                first.remove();
            else
                first.textContent = afterLines(first.textContent, over);
            over -= feeds;
        }
    }

    // Drops the oldest blocks, but the one being typed in, while the rest hold KEPT_LINES lines.
    trim()
    {
        for (let oldest = this.oldest(); !oldest.contains(this.typed); oldest = this.oldest()) {
            const feeds = lineFeeds(oldest.textContent);
            if (this.lines - feeds < KEPT_LINES)
                return;
            oldest.remove();
            this.lines -= feeds;
        }
    }

    // The oldest block on the page.
    oldest()
    {
        return this.earlier.firstElementChild || this.log.firstElementChild;
    }

    // Brings the end of the transcript into view in the next frame, when
    // the browser lays the page out anyway.
    scroll()
    {
        this.atEnd = true;
        requestAnimationFrame(() => this.toEnd());
    }

    // Puts the end of the transcript in view, noting where that leaves it.
    toEnd()
    {
        this.view.scrollTop = this.view.scrollHeight;
        this.top = this.view.scrollTop;
    }
}
