// hitblow in a browser: the run's record in the tab's session storage, from which a reload brings the run back.
'use strict';

// The most characters a record holds, well past a day of play.  A run whose
// record would grow past it goes on without one.
const RECORD_LIMIT = 1 << 20;

// What a run needs to be played again to the same screen, the game being
// the same function of it: each second read from the clock; each piece of
// text handed over, with how many bytes of the game's text stood on the
// screen then; and the line being typed.  It is kept in the tab's session
// storage (`storage()`, which may throw or give none) under the page's
// path, and where it cannot be kept, a mark says so, which the next page
// reads as a run that was lost.
class RunRecord {
    // A record for a run that starts now; an earlier page's stays until this one writes.
    constructor(storage, path)
    {
        this.storage = storage;
        this.key = `hitblow run ${path}`;
        this.lineKey = `hitblow line ${path}`;
        this.data = {clock: [], input: []}; // null once the record is given up
        this.held = false; // notes are gathered but not yet written
    }

    // Holds the notes back from the storage while `held` (a run played
    // again, until it stands whole); writes them all once it is not.
    hold(held)
    {
        this.held = held;
        this.save();
    }

    // The run the last page in this tab left: {clock, input, line}, or null
    // for none (or one that has read and been typed nothing yet: a fresh run
    // is as good); 'lost' for one that was there and cannot be played again.
    // Never throws: what is not a record is a lost one.
    load()
    {
        let text;
        let line;
        try {
            text = this.storage().getItem(this.key);
            line = this.storage().getItem(this.lineKey) || '';
        } catch {
            return null; // no storage: nothing was kept
        }
        if (text === null)
            return null;
        try {
            const {clock, input} = JSON.parse(text);
            if (clock.every(Number.isSafeInteger) &&
                input.every(([at, handed]) => Number.isSafeInteger(at) && at >= 0 && typeof handed === 'string'))
                return clock.length + input.length === 0 && line === '' ? null : {clock, input, line: String(line)};
        } catch {
            // not JSON, or not the record's shape
        }
        return 'lost';
    }

    // Notes that the game read `seconds` from the clock.
    noteClock(seconds)
    {
        this.data?.clock.push(seconds);
        this.save();
    }

    // Notes that `text` was handed over after `at` bytes of the game's text.
    noteInput(at, text)
    {
        this.data?.input.push([at, text]);
        this.save();
    }

    // Notes the line being typed.
    noteLine(line)
    {
        if (this.data !== null && !this.held)
            this.write(this.lineKey, line);
    }

    // Forgets what was kept, and notes nothing more: the run has ended.
    forget()
    {
        this.data = null;
        try {
            this.storage().removeItem(this.key);
            this.storage().removeItem(this.lineKey);
        } catch {
            // nothing was kept
        }
    }

    // Gives the record up, leaving the mark of a run that was lost.
    giveUp()
    {
        this.forget();
        this.write(this.key, 'lost');
    }

    // Writes the record as it stands, unless it is held or given up; gives
    // it up where it grows past RECORD_LIMIT or the storage refuses it.
    save()
    {
        if (this.data === null || this.held)
            return;
        const text = JSON.stringify(this.data);
        if (text.length > RECORD_LIMIT || !this.write(this.key, text))
            this.giveUp();
    }

    // Stores `text` under `key`; false where the storage refuses it.
    write(key, text)
    {
        try {
            this.storage().setItem(key, text);
        } catch {
            return false;
        }
        return true;
    }
}
